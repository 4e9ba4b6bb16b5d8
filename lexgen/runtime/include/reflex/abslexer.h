// reflex::AbstractLexer: what every generated scanner class is built on:
// its input and output, its matcher, and its start condition with a stack.
#ifndef REFLEX_ABSLEXER_H
#define REFLEX_ABSLEXER_H

#include <cstddef>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "reflex/input.h"
#include "reflex/matcher.h"
#include "reflex/pattern.h"

namespace reflex {

template <typename M>
class AbstractLexer {
 public:
  typedef M Matcher;

  explicit AbstractLexer(const Input& input = Input(), std::ostream& os = std::cout)
      : in_(input), os_(&os) {}
  AbstractLexer(const AbstractLexer&) = delete;
  AbstractLexer& operator=(const AbstractLexer&) = delete;

  virtual ~AbstractLexer() { delete matcher_; }
  virtual void set_debug(int flag) { debug_ = flag; }
  virtual int debug() const { return debug_; }
  // Called at the end of the input: true when new input has been set up
  // and scanning goes on.
  virtual bool wrap() { return false; }
  // A new matcher over `input`; the scanner gives it its pattern before
  // each scan. `options` is not used.
  virtual M* new_matcher(const Input& input, const char* options = nullptr) {
    (void)options;
    return new M(idle_pattern(), input);
  }
  // Reports a misuse of the scanner: the message and a newline on standard
  // error, then exit status 2.
  virtual void lexer_error(const char* message) {
    std::cerr << (message ? message : "") << std::endl;
    std::exit(2);
  }

  Input& in() { return in_; }
  // Reads from `input` from now on.
  void in(const Input& input) {
    in_ = input;
    ++input_changes_;
    if (matcher_) matcher_->input(in_);
  }
  std::ostream& out() { return *os_; }

  // The matcher, made over the current input when there is none yet.
  M& matcher() {
    if (!matcher_) matcher(new_matcher(in_));
    return *matcher_;
  }
  // Takes ownership of m in place of the current matcher.
  void matcher(M* m) {
    if (m == matcher_) return;
    delete matcher_;
    matcher_ = m;
    pattern_key_ = -1;
    if (!m) return;
    if (line_ != 1) m->lineno(static_cast<std::size_t>(line_));
    if (interactive_) m->interactive();
  }
  bool has_matcher() const { return matcher_ != nullptr; }

  // The current match; before the first scan "", 0, line 1, column 0.
  const char* text() const { return matcher_ ? matcher_->text() : no_text_; }
  std::size_t size() const { return matcher_ ? matcher_->size() : 0; }
  int lineno() const { return matcher_ ? static_cast<int>(matcher_->lineno()) : line_; }
  void lineno(int n) {
    if (matcher_) matcher_->lineno(static_cast<std::size_t>(n));
    else line_ = n;
  }
  int columno() const { return matcher_ ? static_cast<int>(matcher_->columno()) : 0; }

  // The next input byte, 0 at the end of input; the match is kept.
  int input() { return matcher().input(); }
  // Puts c back so that the next match starts with it.
  void unput(char c) { matcher().unput(c); }
  void output(char c) { out().put(c); }

  int start() const { return start_; }
  void start(int state) { start_ = state; }
  void push_state(int state) {
    states_.push_back(start_);
    start_ = state;
  }
  // Returns to the condition on top of the stack; nothing when it is empty.
  void pop_state() {
    if (states_.empty()) return;
    start_ = states_.back();
    states_.pop_back();
  }
  // The condition on top of the stack, 0 when it is empty.
  int top_state() const { return states_.empty() ? 0 : states_.back(); }
  bool states_empty() const { return states_.empty(); }

  // Scans with `pattern`; `key` names it (the start condition), so the
  // matcher is switched only when the pattern changes.
  std::size_t scan_pattern(int key, const Pattern& pattern) {
    M& m = matcher();
    if (key != pattern_key_) {
      m.pattern(pattern);
      pattern_key_ = key;
    }
    return m.scan();
  }
  // scan_pattern(key, pattern_of(key)), but pattern_of is called only when
  // the pattern changes: most scans go straight to the matcher.
  template <typename F>
  std::size_t scan_state(int key, F pattern_of) {
    if (matcher_ != nullptr && key == pattern_key_) return matcher_->scan();
    return scan_pattern(key, pattern_of(key));
  }
  // How many times the input was switched; tells a scanner whether an
  // end-of-input action or wrap() gave it new input.
  unsigned long input_changes() const { return input_changes_; }

  void* yyextra = nullptr;

 protected:
  // The pattern a matcher holds until the scanner gives it its own.
  static const Pattern& idle_pattern() {
    static const Pattern pattern("(?m)\\x00");
    return pattern;
  }

  Input in_;
  std::ostream* os_;
  M* matcher_ = nullptr;
  int debug_ = 0;
  int start_ = 0;
  std::vector<int> states_;
  int line_ = 1;  // the line set before there was a matcher
  int pattern_key_ = -1;
  unsigned long input_changes_ = 0;
  bool interactive_ = false;
  // "" through a pointer the compiler cannot see into, so that code that
  // indexes text() after a match draws no array-bounds warning.
  const char* no_text_ = "";
};

}  // namespace reflex

#endif
