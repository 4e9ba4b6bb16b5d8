// reflex::Pattern: a regular expression compiled once into a DFA.
#ifndef REFLEX_PATTERN_H
#define REFLEX_PATTERN_H

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace reflex {

// Thrown for a malformed regular expression or one whose DFA grows beyond
// Pattern::max_states or Pattern::max_table. what() says what is wrong and at which byte offset of
// the expression (counted from 0).
class regex_error : public std::runtime_error {
 public:
  static constexpr size_t npos = static_cast<size_t>(-1);
  // pos: offset in the expression, or npos when no single place is at fault.
  regex_error(const std::string& problem, size_t pos);
  size_t pos() const noexcept { return pos_; }

 private:
  size_t pos_;
};

namespace detail {
struct Program;  // the compiled tables; defined by the library
struct PatternMaker;
}

// The rules of a pattern are its top-level alternatives, numbered from 1;
// lexgen writes "(?m)(rule1)|(rule2)|...". Copies share the compiled tables.
class Pattern {
 public:
  // Largest DFA a pattern may compile to: at most max_states states, and
  // at most max_table transitions (its states times its byte classes: a
  // pattern with all 256 of them may have 65536 states). The compiler then
  // takes some 600 MB at most.
  static constexpr size_t max_states = size_t(1) << 20;
  static constexpr size_t max_table = size_t(1) << 24;

  Pattern(const char* regex);
  Pattern(const std::string& regex);

  const std::string& regex() const;
  // Number of rules.
  size_t size() const;
  // Number of states of the minimised DFA, the dead state included.
  size_t states() const;

 private:
  friend class Matcher;
  friend struct detail::PatternMaker;
  explicit Pattern(std::shared_ptr<const detail::Program> prog) : prog_(std::move(prog)) {}
  std::shared_ptr<const detail::Program> prog_;
};

}  // namespace reflex

#endif
