// reflex::Matcher: scans an Input with a Pattern, one token per scan().
#ifndef REFLEX_MATCHER_H
#define REFLEX_MATCHER_H

#include <cstddef>
#include <memory>
#include <string>

#include "reflex/input.h"
#include "reflex/pattern.h"

namespace reflex {

// Matching: the longest match wins, the earlier rule on equal length; a
// rule's trailing context counts in that length but not in the token; a rule
// holding a lazy quantifier ends at its shortest non-empty match. An empty
// match is never returned.
//
// After scan() returns 0 and at_end() is false, no rule matched a non-empty
// text at the current position: input() then consumes and returns the byte
// there (that is what a default action echoes).
class Matcher {
 public:
  Matcher(const Pattern& pattern, const Input& in = Input());
  Matcher(const Matcher&) = delete;
  Matcher& operator=(const Matcher&) = delete;
  Matcher(Matcher&&) noexcept;
  Matcher& operator=(Matcher&&) noexcept;
  ~Matcher();

  // Reads from a new input; position, line and column start afresh.
  Matcher& input(const Input& in);
  // Scans with another pattern from the next scan() on, at the same position.
  Matcher& pattern(const Pattern& pattern);
  const Pattern& pattern() const { return pattern_; }
  // Reads byte by byte, never more than a match needs (for terminals).
  void interactive();

  // Matches at the current position: the rule number (from 1), or 0 at the
  // end of input or when nothing non-empty matches (at_end() tells which).
  size_t scan();
  // True when the whole input has been consumed; may read to find out,
  // without moving the current match.
  bool at_end();
  // The rule of the last scan(), 0 when it matched nothing.
  size_t accept() const { return rule_; }

  // The current match, NUL-terminated; the pointer stays valid until the
  // next scan(), input(), unput() or less(). Empty before the first scan.
  const char* text() const { return buf_.get() + txt_; }
  size_t size() const { return len_; }
  std::string str() const { return std::string(text(), len_); }
  // Line (from 1) and column (from 0) of the first byte of the match.
  size_t lineno() const {
    if (!mvalid_) mark_match();
    return mline_;
  }
  void lineno(size_t n);
  size_t columno() const {
    if (!mvalid_) mark_match();
    return mcol_;
  }
  // True when the current position starts a line.
  bool at_bol() const;

  // Consumes and returns the next byte (0 to 255), 0 at the end of input.
  // The current match keeps its text, size, line and column.
  int input();
  // Puts c back: the next match starts with it.
  void unput(char c);
  // Keeps the first n bytes of the match and rescans the rest.
  void less(size_t n);
  // Makes the next match append to this one's text.
  void more();

 private:
  void reset_position();
  void restore();    // undoes the NUL written after the match
  void terminate();  // writes the NUL after the match
  // Reads more input, keeping buf_[keep, end_); false at the end of input.
  // `shift` receives how far the kept bytes moved towards the front.
  bool fill(size_t keep, size_t& shift);
  size_t make_room(size_t keep);
  void grow(size_t capacity);
  void count_to(size_t pos) const;  // forward only: pos >= lpos_
  void recount_to(size_t pos);      // forward or back
  void mark_match() const;  // counts up to the match and notes its line and column
  int byte_before(size_t pos) const;  // '\n' before the start of the input

  Pattern pattern_;
  const detail::Program* prog_;
  Input in_;

  // buf_[0, end_) holds the bytes read and not yet discarded; capacity_ >
  // end_ so the NUL after a match always fits.
  std::unique_ptr<char[]> buf_;
  size_t capacity_ = 0;
  size_t end_ = 0;
  size_t cur_ = 0;   // where the next match starts
  size_t txt_ = 0;   // the current match
  size_t len_ = 0;
  size_t rule_ = 0;
  char hold_ = 0;    // the byte the NUL after the match replaced
  bool held_ = false;
  bool eof_ = false;
  int peeked_ = -1;  // a byte at_end() read ahead, not yet in buf_; -1: none
  bool more_ = false;
  bool interactive_ = false;
  int before0_ = '\n';  // the byte before buf_[0] (a line starts at the input)
  bool boi0_ = true;  // buf_[0] starts the input

  // Lines and columns are counted lazily, up to lpos_ (never beyond cur_).
  mutable size_t lpos_ = 0;
  mutable size_t line_ = 1;
  mutable size_t col_ = 0;
  mutable size_t mline_ = 1;  // of the current match
  mutable size_t mcol_ = 0;
  size_t col0_ = 0;  // the column of buf_[0]
  mutable bool mvalid_ = true;
};

}  // namespace reflex

#endif
