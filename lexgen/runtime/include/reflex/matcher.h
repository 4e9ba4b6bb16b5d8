// reflex::Matcher: scans an Input with a Pattern, one token per scan().
#ifndef REFLEX_MATCHER_H
#define REFLEX_MATCHER_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "reflex/input.h"
#include "reflex/pattern.h"

namespace reflex {

namespace detail {
class FailureMemo;  // defined by the library
}

// Matching: the longest match wins, the earlier rule on equal length; a
// rule's trailing context counts in that length but not in the token; the
// matches through a lazy quantifier end at the first non-empty one (other
// paths of its rule go on). `$` holds before "\n", before "\r\n" and at
// the end. An empty match is never returned.
//
// After scan() returns 0 and at_end() is false, no rule matched a non-empty
// text at the current position: input() then consumes and returns the byte
// there (that is what a default action echoes, after text(): the text that
// more() kept, or nothing).
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
  size_t scan() {
    // Most scans hand out a token found ahead by an earlier one.
    restore();
    if (ahead_next_ == ahead_size_) return scan_here();
    if (!more_) {
      txt_ = cur_;
      mvalid_ = false;
    } else if (txt_ <= cur_) {
      more_ = false;
    } else {
      more_ = false;
      txt_ = cur_;
      mvalid_ = false;
    }
    cur_ = ahead_end_[ahead_next_];
    rule_ = ahead_token_[ahead_state_[ahead_next_]];
    ++ahead_next_;
    len_ = cur_ - txt_;
    return rule_;
  }
  // True when the whole input has been consumed; may read to find out,
  // without moving the current match.
  bool at_end();
  // The rule of the last scan(), 0 when it matched nothing.
  size_t accept() const { return rule_; }

  // The current match, NUL-terminated; the pointer stays valid until the
  // next scan(), input(), unput() or less(). Empty before the first scan.
  // (The NUL is written here, so a scan that nobody reads pays nothing.)
  const char* text() const {
    if (!held_) {
      if (in_place_) const_cast<Matcher*>(this)->leave_place(std::min(txt_, cur_), 0);
      terminate();
    }
    return base_ + txt_;
  }
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

  // Consumes and returns the next byte (0 to 255), EOF at the end of input.
  // The current match keeps its text, size, line and column.
  int input();
  // The next byte (0 to 255) without consuming it, EOF at the end of input.
  int peek();
  // Puts c back: the next match starts with it.
  void unput(char c);
  // Keeps the first n bytes of the match and rescans the rest.
  void less(size_t n);
  // Makes the next match append to this one's text.
  void more();

 private:
  void reset_position();
  // Undoes the NUL written after the match.
  void restore() {
    if (held_) {
      base_[txt_ + len_] = hold_;
      held_ = false;
    }
  }
  // Writes the NUL after the match, when text() is first asked for.
  void terminate() const {
    hold_ = base_[txt_ + len_];
    base_[txt_ + len_] = '\0';
    held_ = true;
  }
  // Readable bytes after the capacity of the buffer, for 16-byte loads.
  static constexpr size_t pad = 16;
  // Zeroes the bytes after end_ that 16-byte loads may read, so that they
  // read nothing undefined (and text() is "" before the first scan).
  void clear_tail() { std::memset(base_ + end_, 0, pad); }
  // Scans a string input where it lies, up to `pad` bytes before its end,
  // when the input is one.
  void enter_place();
  // Copies the bytes from `keep` on (some before it too, and at least
  // those up to `need`, the match, the position and the tokens found
  // ahead) into buf_ and goes on from there; returns how far positions
  // moved.
  size_t leave_place(size_t keep, size_t need);
  size_t scan_here();  // scan() with no token found ahead
  // scan() past the usual token: decides the match from state s at pos.
  // Its two loops are inline helpers, defined in the library (some inputs
  // take it at every token); the rest is out of line.
  size_t finish_scan(uint32_t s0, uint32_t s, size_t start, size_t pos, bool died);
  // Runs the DFA on from s at pos, reading input, until it stops; true at the end of input.
  inline bool read_on(uint32_t& s, size_t& start, size_t& pos);
  // The last rule accepted over base_[start, pos) from s0 (0: none); its match ends at accept_end.
  inline uint32_t last_accept(uint32_t s0, size_t start, size_t pos, size_t& accept_end) const;
  // The token length of rule's match base_[start, accept_end), which has trailing context.
  size_t head_of(uint32_t rule, size_t& start, size_t& accept_end);
  // Ends a scan at start with no token (none matches, or the input ended); returns 0.
  size_t no_match(size_t start);
  void scan_ahead(size_t pos);
  // Drops the tokens found ahead: the position, the bytes or the pattern
  // changed.
  void drop_ahead() {
    if (ahead_next_ < ahead_size_) ahead_want_ = 0;
    ahead_next_ = ahead_size_ = 0;
  }
  // Reads more input, keeping buf_[keep, end_); false at the end of input.
  // `shift` receives how far the kept bytes moved towards the front.
  bool fill(size_t keep, size_t& shift);
  size_t make_room(size_t keep);
  void grow(size_t capacity);
  void count_to(size_t pos) const;  // forward only: pos >= lpos_
  void count_span(size_t pos) const;  // count_to() past its quick case
  void recount_to(size_t pos);      // forward or back
  void mark_match() const;  // counts up to the match and notes its line and column
  int byte_before(size_t pos) const;  // '\n' before the start of the input
  // Runs the DFA from state s at pos up to stop, stopping early where it
  // dies or meets a noted failure; returns where it stopped.
  size_t run_noted(uint32_t& s, size_t pos, size_t stop) const;
  // Notes the failures a scan from start met after its last accepting place
  // `last`, up to where it stopped; returns how far positions moved.
  size_t note_failures(uint32_t s0, size_t start, size_t last, size_t stop);

  Pattern pattern_;
  const detail::Program* prog_;
  const uint32_t* ahead_token_;  // the rule of each state in ahead_state_
  Input in_;

  // buf_[0, end_) holds the bytes read and not yet discarded; capacity_ >
  // end_ so the NUL after a match always fits, and readable bytes follow
  // the capacity so that a run can be tested 16 bytes at a time.
  //
  // A string input is scanned where it lies instead (in_place_): base_
  // points into it, and in_ has not moved past the bytes scanned that way.
  // Nothing is ever written there: before text() writes its NUL, unput()
  // a byte or more is read, the bytes still needed are copied into buf_.
  std::unique_ptr<char[]> buf_;
  char* base_ = nullptr;  // the bytes scanned: buf_, or the string in place
  bool in_place_ = false;
  size_t capacity_ = 0;
  size_t end_ = 0;
  size_t cur_ = 0;   // where the next match starts
  size_t txt_ = 0;   // the current match
  size_t len_ = 0;
  size_t rule_ = 0;
  mutable char hold_ = 0;  // the byte the NUL after the match replaced
  mutable bool held_ = false;
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

  // Tokens found ahead of cur_, in the bytes already read, by the same
  // steps scan() takes: ends of [ahead_next_, ahead_size_) and the states
  // they end in. As long as nothing drops them, ahead_want_ grows up to
  // max_ahead (each search for them costs as much as several tokens, so
  // they come in long batches; a drop wastes at most about as many as were
  // handed out).
  static constexpr size_t max_ahead = 511;
  size_t ahead_end_[max_ahead];
  uint32_t ahead_state_[max_ahead];
  size_t ahead_next_ = 0;
  size_t ahead_size_ = 0;
  size_t ahead_want_ = 0;

  // Failures noted by earlier scans; made when first needed.
  std::unique_ptr<detail::FailureMemo> memo_;
  uint32_t memo_tag_ = 0;  // the memo's tag of the pattern, 0 while it has none
};

}  // namespace reflex

#endif
