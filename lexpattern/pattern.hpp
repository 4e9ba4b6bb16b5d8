// Translation of lex-level patterns (quoted text, {NAME} references,
// trailing context) into the regex level that reflex::Pattern accepts:
// lexgen reads scanner descriptions with it, and tarnel checks the patterns
// of a description as they will be read.
#ifndef LEXGEN_PATTERN_HPP
#define LEXGEN_PATTERN_HPP

#include <cstddef>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace lexgen {

// A fault in a description, reported as "file:line: message".
class LexError : public std::runtime_error {
 public:
  LexError(int line, const std::string& message)
      : std::runtime_error(message), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

// The longest regex lexgen builds: one rule with its named patterns pasted
// in, or the whole pattern of a start condition.
constexpr std::size_t max_pattern_size = std::size_t(1) << 20;

// A pattern translated to the regex level. A named pattern that it uses is
// not pasted in but referred to, so however often and however deep names
// are used, each is translated and stored once; `size` tells how long the
// text is once they are pasted in, before anything is pasted.
struct Fragment {
  struct Piece {
    std::string text;
    std::shared_ptr<const Fragment> named;  // when set: "(?:", its text, ")"
  };
  std::vector<Piece> pieces;
  std::size_t size = 0;  // capped at max_pattern_size + 1
  bool empty() const { return pieces.empty(); }
};
using FragmentPtr = std::shared_ptr<const Fragment>;
using NamedPatterns = std::map<std::string, FragmentPtr>;

// Translates the pattern that starts at text[pos] and ends at the first
// blank or tab outside quotes, brackets, \Q...\E, (?#...) comments and
// free-spacing (?x:...) groups, or at the end of the text; pos is left on
// that blank (or at the end). `named` holds the earlier named patterns.
// Trailing context ("/") is allowed only when `rule` is true (a rule, not a
// named pattern). Throws LexError (at `line`) on a malformed pattern.
FragmentPtr translate_pattern(const std::string& text, std::size_t& pos,
                              const NamedPatterns& named, bool rule, int line);

// The regex text of f with its named patterns pasted in. Throws LexError
// (at `line`) when it would be longer than max_pattern_size; nothing is
// built then.
std::string expand_pattern(const Fragment& f, int line);

// Whether c may appear in the name of a named pattern or start condition.
bool is_name_char(char c);
bool is_name_start(char c);

}  // namespace lexgen

#endif
