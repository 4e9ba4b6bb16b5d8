// reflex::AbstractLexer: what every generated scanner class is built on:
// its input and output, its matcher, and its start condition with a stack.
#ifndef REFLEX_ABSLEXER_H
#define REFLEX_ABSLEXER_H

#include <cstddef>
#include <cstdlib>
#include <cstdio>
#include <iostream>
#include <string>
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
    return new M(yy_idle_pattern(), input);
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

  // The matcher, made over the current input when there is none yet; a
  // lexer given no input reads standard input.
  M& matcher() {
    if (!matcher_) {
      if (!in_.assigned()) in_ = Input(stdin);
      matcher(new_matcher(in_));
    }
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
  std::string str() const { return std::string(text(), size()); }
  // The first byte of the match (0 to 255), 0 when it is empty.
  int chr() const { return static_cast<unsigned char>(text()[0]); }
  // The match as UTF-8 decoded: its characters, their count, the first one.
  std::wstring wstr() const {
    std::wstring w;
    const char* t = text();
    for (std::size_t i = 0; i < size();) w += static_cast<wchar_t>(yy_utf8_decode(t, size(), i));
    return w;
  }
  std::size_t wsize() const {
    std::size_t n = 0;
    const char* t = text();
    for (std::size_t i = 0; i < size(); ++i) n += (static_cast<unsigned char>(t[i]) & 0xC0) != 0x80;
    return n;
  }
  int wchr() const {
    std::size_t i = 0;
    return size() > 0 ? yy_utf8_decode(text(), size(), i) : 0;
  }
  // The lines the match spans: one, and one more after each newline in it.
  std::size_t lines() const {
    std::size_t n = 1;
    const char* t = text();
    for (std::size_t i = 0; i < size(); ++i) n += t[i] == '\n';
    return n;
  }
  // The line of the last byte of the match.
  std::size_t lineno_end() const { return static_cast<std::size_t>(lineno()) + lines() - 1; }
  // The columns of the last line of the match, and the column where its
  // last character starts (columno() for an empty match), counted as
  // columno() counts them.
  std::size_t columns() const {
    std::size_t first, last, end;
    yy_column_span(first, last, end);
    return end - first;
  }
  std::size_t columno_end() const {
    std::size_t first, last, end;
    yy_column_span(first, last, end);
    return last;
  }
  // Writes the match to the output.
  void echo() { out().write(text(), static_cast<std::streamsize>(size())); }

  // The next input byte (0 to 255), EOF at the end of input; the match is
  // kept.
  int input() { return matcher().input(); }
  // The next input byte without consuming it, EOF at the end of input.
  int peek() { return matcher().peek(); }
  // Puts c back so that the next match starts with it.
  void unput(char c) { matcher().unput(c); }
  // input() and unput() of a character as UTF-8 bytes.
  int winput() {
    int c = input();
    if (c < 0xC0) return c;
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    int w = c & (0x3F >> more);
    for (; more > 0 && (peek() & 0xC0) == 0x80; --more) w = (w << 6) | (input() & 0x3F);
    return w;
  }
  void wunput(int c) {
    if (c < 0) return;
    char bytes[4];
    int n = 0;
    if (c < 0x80) {
      bytes[n++] = static_cast<char>(c);
    } else {
      static const int lead[] = {0, 0xC0, 0xE0, 0xF0};
      int more = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
      bytes[n++] = static_cast<char>(lead[more] | (c >> (6 * more)));
      while (more-- > 0) bytes[n++] = static_cast<char>(0x80 | ((c >> (6 * more)) & 0x3F));
    }
    while (n > 0) unput(bytes[--n]);
  }
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
  std::size_t yy_scan_pattern(int key, const Pattern& pattern) {
    M& m = matcher();
    if (key != pattern_key_) {
      m.pattern(pattern);
      pattern_key_ = key;
    }
    return m.scan();
  }
  // yy_scan_pattern(key, pattern_of(key)), but pattern_of is called only when
  // the pattern changes: most scans go straight to the matcher.
  template <typename F>
  std::size_t yy_scan_state(int key, F pattern_of) {
    if (matcher_ != nullptr && key == pattern_key_) return matcher_->scan();
    return yy_scan_pattern(key, pattern_of(key));
  }
  // How many times the input was switched; tells a scanner whether an
  // end-of-input action or wrap() gave it new input.
  unsigned long yy_input_changes() const { return input_changes_; }

  void* yyextra = nullptr;

 protected:
  // The UTF-8 character at t[i] (a stray byte stands for itself); i moves
  // past it.
  static int yy_utf8_decode(const char* t, std::size_t n, std::size_t& i) {
    int c = static_cast<unsigned char>(t[i++]);
    if (c < 0xC0) return c;
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    int w = c & (0x3F >> more);
    for (; more > 0 && i < n && (static_cast<unsigned char>(t[i]) & 0xC0) == 0x80; --more)
      w = (w << 6) | (static_cast<unsigned char>(t[i++]) & 0x3F);
    return w;
  }
  // Over the last line of the match: the column it starts at, where its
  // last character starts and where it ends.
  void yy_column_span(std::size_t& first, std::size_t& last, std::size_t& end) const {
    std::size_t col = static_cast<std::size_t>(columno());
    first = last = col;
    const char* t = text();
    for (std::size_t i = 0; i < size(); ++i) {
      unsigned char c = static_cast<unsigned char>(t[i]);
      if ((c & 0xC0) == 0x80) continue;
      last = col;
      if (c == '\n') {
        col = first = 0;
      } else if (c == '\t') {
        col = (col + 8) & ~static_cast<std::size_t>(7);
      } else {
        ++col;
      }
    }
    end = col;
  }

  // The pattern a matcher holds until the scanner gives it its own.
  static const Pattern& yy_idle_pattern() {
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
