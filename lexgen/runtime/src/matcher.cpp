#include "reflex/matcher.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "program.h"

namespace reflex {

namespace {
constexpr size_t initial_capacity = 64 * 1024;
constexpr size_t min_read = 16 * 1024;

// Newlines in p[0, n), eight bytes at a time: a byte of w ^ "\n\n..." is
// zero exactly where w holds a newline.
size_t count_newlines(const char* p, size_t n) {
  const uint64_t ones = 0x0101010101010101ull, low7 = 0x7F7F7F7F7F7F7F7Full;
  size_t total = 0;
  while (n >= 8) {
    uint64_t lanes = 0;  // per-byte counts, at most 32 each
    for (int i = 0; i < 32 && n >= 8; ++i, p += 8, n -= 8) {
      uint64_t w;
      std::memcpy(&w, p, 8);
      uint64_t x = w ^ (ones * '\n');
      uint64_t nonzero = (((x & low7) + low7) | x) >> 7;  // low bit of each byte: byte != 0
      lanes += ~nonzero & ones;
    }
    total += (lanes * ones) >> 56;
  }
  for (; n > 0; --n) total += *p++ == '\n';
  return total;
}

// The top bit of each byte of x that is zero, and nothing else.
inline uint64_t zero_bytes(uint64_t x) {
  const uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
  return ~(((x & low7) + low7) | x | low7);
}

}  // namespace

Matcher::Matcher(const Pattern& pattern, const Input& in)
    : pattern_(pattern), prog_(pattern.prog_.get()), in_(in) {
  capacity_ = initial_capacity;
  buf_.reset(new char[capacity_]);
  reset_position();
}

Matcher::Matcher(Matcher&&) noexcept = default;
Matcher& Matcher::operator=(Matcher&&) noexcept = default;
Matcher::~Matcher() = default;

void Matcher::reset_position() {
  end_ = cur_ = txt_ = len_ = rule_ = 0;
  held_ = false;
  eof_ = false;
  peeked_ = -1;
  more_ = false;
  before0_ = '\n';
  boi0_ = true;
  lpos_ = 0;
  line_ = mline_ = 1;
  col_ = mcol_ = col0_ = 0;
  mvalid_ = true;
  buf_[0] = '\0';
}

Matcher& Matcher::input(const Input& in) {
  in_ = in;
  reset_position();
  return *this;
}

Matcher& Matcher::pattern(const Pattern& pattern) {
  pattern_ = pattern;
  prog_ = pattern.prog_.get();
  return *this;
}

void Matcher::interactive() { interactive_ = true; }

void Matcher::restore() {
  if (held_) {
    buf_[txt_ + len_] = hold_;
    held_ = false;
  }
}

void Matcher::terminate() {
  hold_ = buf_[txt_ + len_];
  buf_[txt_ + len_] = '\0';
  held_ = true;
}

int Matcher::byte_before(size_t pos) const {
  if (pos == 0) return before0_;
  if (held_ && pos - 1 == txt_ + len_) return static_cast<unsigned char>(hold_);
  return static_cast<unsigned char>(buf_[pos - 1]);
}

bool Matcher::at_bol() const { return byte_before(cur_) == '\n'; }

// Counts lines and columns over buf_[lpos_, pos): a tab advances to the next
// multiple of 8, bytes 0x80-0xBF continue a UTF-8 character and count 0.
void Matcher::count_to(size_t pos) const {
  if (pos <= lpos_) return;
  const char* b = buf_.get();
  size_t from = lpos_;
  if (pos - from < 128) {  // the usual case: the bytes of a token or two
    size_t line = line_, col = col_;
    size_t i = from;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // Eight bytes at a time while they hold no tab and no byte above 0x7F:
    // then only newlines matter, and the column counts the bytes after the
    // last of them. (Most spans are a few bytes: the loop below takes them.)
    const uint64_t ones = 0x0101010101010101ull;
    for (; pos - i >= 8; i += 8) {
      uint64_t w;
      std::memcpy(&w, b + i, 8);
      if ((zero_bytes(w ^ (ones * '\t')) | (w & (ones << 7))) != 0) break;
      uint64_t nl = zero_bytes(w ^ (ones * '\n'));
      if (nl == 0) {
        col += 8;
      } else {
        line += static_cast<size_t>(((nl >> 7) * ones) >> 56);
        col = 7 - static_cast<size_t>(63 - __builtin_clzll(nl)) / 8;
      }
    }
#endif
    for (; i < pos; ++i) {
      unsigned char c = static_cast<unsigned char>(b[i]);
      if (c == '\n') {
        ++line;
        col = 0;
      } else if (c == '\t') {
        col = (col + 8) & ~static_cast<size_t>(7);
      } else {
        col += (c & 0xC0) != 0x80;
      }
    }
    line_ = line;
    col_ = col;
    lpos_ = pos;
    return;
  }
  if (const void* last = memrchr(b + from, '\n', pos - from)) {
    line_ += count_newlines(b + from, pos - from);
    from = static_cast<size_t>(static_cast<const char*>(last) - b) + 1;
    col_ = 0;
  }
  size_t col = col_;
  for (size_t i = from; i < pos; ++i) {
    unsigned char c = static_cast<unsigned char>(b[i]);
    if (c == '\t')
      col = (col + 8) & ~static_cast<size_t>(7);
    else if ((c & 0xC0) != 0x80)
      ++col;
  }
  col_ = col;
  lpos_ = pos;
}

// Brings the counts to pos, also back: the newlines in buf_[pos, lpos_) come
// off the line, and the column is counted again from the start of pos's line
// (or from buf_[0], whose column is col0_). unput() and less() move the
// position back and bring the counts with it, so the bytes before lpos_ are
// always those counted. Not while the NUL after a match is in place.
void Matcher::recount_to(size_t pos) {
  if (pos >= lpos_) return count_to(pos);
  const char* b = buf_.get();
  line_ -= count_newlines(b + pos, lpos_ - pos);
  const void* nl = memrchr(b, '\n', pos);
  lpos_ = nl ? static_cast<size_t>(static_cast<const char*>(nl) - b) + 1 : 0;
  col_ = nl ? 0 : col0_;
  count_to(pos);
}

void Matcher::mark_match() const {
  count_to(txt_);
  mline_ = line_;
  mcol_ = col_;
  mvalid_ = true;
}


void Matcher::lineno(size_t n) {
  if (!mvalid_) mark_match();
  line_ += n - mline_;
  mline_ = n;
}


void Matcher::grow(size_t capacity) {
  std::unique_ptr<char[]> bigger(new char[capacity]);
  std::memcpy(bigger.get(), buf_.get(), end_);
  buf_ = std::move(bigger);
  capacity_ = capacity;
}

// Makes room to read into: discards the bytes before `keep` when the free
// space is short, and grows the buffer when that is not enough. The last
// byte of the free space is kept for the NUL after a match. Returns how many
// bytes were discarded from the front.
size_t Matcher::make_room(size_t keep) {
  size_t want = (interactive_ ? 1 : min_read) + 1;
  size_t shift = 0;
  if (capacity_ - end_ < want && keep > 0) {
    recount_to(keep);
    col0_ = col_;
    before0_ = static_cast<unsigned char>(buf_[keep - 1]);
    boi0_ = false;
    std::memmove(buf_.get(), buf_.get() + keep, end_ - keep);
    end_ -= keep;
    cur_ -= keep;
    txt_ -= keep;
    lpos_ -= keep;
    shift = keep;
  }
  if (capacity_ - end_ < want) grow(std::max(2 * capacity_, end_ + want));
  return shift;
}

bool Matcher::fill(size_t keep, size_t& shift) {
  shift = 0;
  if (eof_) return false;
  shift = make_room(keep);
  size_t got = 1;
  if (peeked_ >= 0) {
    buf_[end_] = static_cast<char>(peeked_);
    peeked_ = -1;
  } else {
    got = in_.get(buf_.get() + end_, interactive_ ? 1 : capacity_ - 1 - end_);
  }
  if (got == 0) {
    eof_ = true;
    return false;
  }
  end_ += got;
  return true;
}

size_t Matcher::scan() {
  restore();
  size_t start = cur_;
  if (more_ && txt_ <= start) {
    more_ = false;
  } else {
    more_ = false;
    txt_ = start;
    mvalid_ = false;
  }
  const detail::Program& prog = *prog_;
  const int before = byte_before(start);
  const bool boi = start == 0 && boi0_;
  const uint32_t s0 = boi ? prog.start[detail::at_input_start] : prog.start_after[before];
  const uint32_t* const* column = prog.column;
  const detail::Program::StateInfo* info = prog.info.data();
  // Runs the DFA while it lives: s is the state after buf_[start, pos).
  size_t s = s0;
  size_t pos = start;
  bool eof = false;
  for (;;) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(buf_.get());
    const unsigned char* p = b + pos;
    const unsigned char* e = b + end_;
    while (p < e) {
      size_t t = column[*p][s];
      if (t == s) {
        // A run in one state (a name, blanks, a comment body): s is fixed,
        // so the loads no longer wait for each other.
        do ++p;
        while (p < e && (t = column[*p][s]) == s);
        if (p == e || t == 0) break;  // a run usually ends the token
        s = t;
        ++p;
        continue;
      }
      if (t == 0) break;
      s = t;
      ++p;
    }
    pos = static_cast<size_t>(p - b);
    if (pos < end_ || info[s].stop) break;  // died here, or nothing can follow
    size_t shift;
    bool more = fill(std::min(txt_, start), shift);
    start -= shift;
    pos -= shift;
    if (!more) {
      eof = true;
      break;
    }
  }
  // Most tokens end in a state that accepts; otherwise the last accepting
  // position lies further back: run the token again, noting every one.
  uint32_t rule = eof ? info[s].at_end : info[s].accept;
  size_t accept_end = pos;
  if (rule == 0 && pos > start) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(buf_.get());
    const uint32_t plain = prog.plain;
    size_t q = s0;
    for (const unsigned char* p = b + start; p < b + pos;) {
      q = column[*p++][q];
      if (q > plain) {
        if (uint32_t r = info[q].before) {
          accept_end = static_cast<size_t>(p - b) - 1;
          rule = r;
        }
        if (uint32_t r = info[q].accept) {
          accept_end = static_cast<size_t>(p - b);
          rule = r;
        }
      }
    }
  }
  if (rule != 0) {
    size_t len = accept_end - start;
    if (prog.nfa.look[rule - 1]) {
      // Where the head ends may depend on whether a line or the input ends
      // after the match: a match that ends the bytes read needs one more.
      if (accept_end == end_) {
        size_t shift;
        fill(std::min(txt_, start), shift);
        start -= shift;
        accept_end -= shift;
      }
      int next = accept_end < end_ ? static_cast<unsigned char>(buf_[accept_end]) : -1;
      len = prog.head_length(rule, reinterpret_cast<const unsigned char*>(buf_.get()) + start,
                             accept_end - start, before, boi, next);
    }
    if (len > 0) {
      cur_ = start + len;
      len_ = cur_ - txt_;
      rule_ = rule;
      terminate();
      return rule;
    }
  }
  // End of input, or no non-empty match here.
  cur_ = txt_ = start;
  len_ = 0;
  rule_ = 0;
  mvalid_ = false;
  terminate();
  return 0;
}

// The byte read to find out is kept aside until the next read into the
// buffer, so the buffer and the current match stay where they are.
bool Matcher::at_end() {
  if (cur_ < end_ || peeked_ >= 0) return false;
  if (eof_) return true;
  char c;
  if (in_.get(&c, 1) == 0) {
    eof_ = true;
    return true;
  }
  peeked_ = static_cast<unsigned char>(c);
  return false;
}

int Matcher::input() {
  restore();
  if (cur_ >= end_) {
    size_t shift;
    if (!fill(std::min(txt_, cur_), shift)) {
      terminate();
      return 0;
    }
  }
  int c = static_cast<unsigned char>(buf_[cur_++]);
  terminate();
  return c;
}

void Matcher::unput(char c) {
  restore();
  if (!mvalid_) mark_match();
  if (cur_ == 0) {
    // Nothing before the position to overwrite: move everything up one.
    // The counts at the front of the buffer are where the new byte starts.
    if (end_ + 2 > capacity_) grow(2 * capacity_);
    std::memmove(buf_.get() + 1, buf_.get(), end_);
    ++end_;
    ++cur_;
    ++txt_;
  }
  // The byte put back takes the place of the one before the position, so
  // it starts where that one started and is counted when it is scanned
  // again; the byte it replaces is no longer counted.
  recount_to(cur_ - 1);
  buf_[--cur_] = c;
  terminate();
}

void Matcher::less(size_t n) {
  restore();
  if (n > len_) n = len_;
  len_ = n;
  cur_ = txt_ + n;
  if (lpos_ > cur_) recount_to(cur_);  // right after an unput()
  terminate();
}

void Matcher::more() { more_ = true; }

}  // namespace reflex
