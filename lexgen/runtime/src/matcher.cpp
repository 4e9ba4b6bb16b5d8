#include "reflex/matcher.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "memo.h"
#include "program.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace reflex {

#ifdef LEXGEN_COUNT_STEPS
detail::Counts detail::counts;
#endif

// The scan loops are short and hot: keep them inside their callers.
#if defined(__GNUC__)
#define LEXGEN_INLINE inline __attribute__((always_inline))
#else
#define LEXGEN_INLINE inline
#endif

namespace {
constexpr size_t initial_capacity = 64 * 1024;
constexpr size_t min_read = 16 * 1024;
// A scan that went this far past its last accepting place notes the
// failures it met there. Shorter ones cost at most this much again per
// token, which keeps the whole scan linear; ordinary tokens never come near.
constexpr size_t note_after = 64;

// Newlines in p[0, n).
size_t count_newlines(const char* p, size_t n) {
  size_t total = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time: a compare gives -1 per newline, subtracted
  // into byte lanes for up to 255 rounds, then summed.
  const __m128i nl = _mm_set1_epi8('\n');
  while (n >= 16) {
    size_t rounds = std::min<size_t>(n / 16, 255);
    __m128i lanes = _mm_setzero_si128();
    for (size_t i = 0; i < rounds; ++i, p += 16)
      lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), nl));
    n -= rounds * 16;
    __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
    total += static_cast<size_t>(_mm_cvtsi128_si32(sums)) + static_cast<size_t>(_mm_extract_epi16(sums, 4));
  }
#else
  // Eight bytes at a time: a byte of w ^ "\n\n..." is zero exactly where w
  // holds a newline.
  const uint64_t ones = 0x0101010101010101ull, low7 = 0x7F7F7F7F7F7F7F7Full;
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
#endif
  for (; n > 0; --n) total += *p++ == '\n';
  return total;
}

// Set bits of a 16-bit mask.
inline unsigned popcount16(unsigned x) {
  x = x - ((x >> 1) & 0x5555u);
  x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
  x = (x + (x >> 4)) & 0x0F0Fu;
  return (x + (x >> 8)) & 0x1Fu;
}

// Crosses a long run of state s from p: the first place in [p, e) whose
// byte leads elsewhere, or e.
LEXGEN_INLINE const unsigned char* cross_run(const detail::RunSet& r, const uint32_t* const* column, uint32_t s,
                                             const unsigned char* p, const unsigned char* e) {
#if defined(__SSE2__)
  if (r.vector) {
    auto load = [](const int8_t* v) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(v)); };
    const __m128i b0 = load(r.bias[0]), b1 = load(r.bias[1]), b2 = load(r.bias[2]), b3 = load(r.bias[3]);
    const __m128i l0 = load(r.limit[0]), l1 = load(r.limit[1]), l2 = load(r.limit[2]), l3 = load(r.limit[3]);
    for (; p < e; p += 16) {
      // May read past e (into the padding at worst); those bytes are cut off.
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const __m128i in = _mm_or_si128(
          _mm_or_si128(_mm_cmplt_epi8(_mm_add_epi8(v, b0), l0), _mm_cmplt_epi8(_mm_add_epi8(v, b1), l1)),
          _mm_or_si128(_mm_cmplt_epi8(_mm_add_epi8(v, b2), l2), _mm_cmplt_epi8(_mm_add_epi8(v, b3), l3)));
      const unsigned leave = static_cast<unsigned>(_mm_movemask_epi8(in)) ^ r.flip;
      if (leave != 0) {
        p += __builtin_ctz(leave);
        return p < e ? p : e;
      }
    }
    return e;
  }
#else
  (void)r;
#endif
  while (p < e && column[*p][s] == s) ++p;
  return p;
}

// The two layouts of the transitions: by byte class (Program::column) and,
// for small DFAs, by byte with states counted in steps of 256.
struct ColumnSteps {
  const uint32_t* const* column;
  static constexpr unsigned shift = 0;
  size_t operator()(size_t s, unsigned char c) const { return column[c][s]; }
};
struct FlatSteps {
  const uint16_t* flat;
  static constexpr unsigned shift = 8;
  size_t operator()(size_t s, unsigned char c) const { return flat[s + c]; }
};

// The DFA loop over one layout of the transitions, with what it needs of
// the Program held in locals (stores of the tokens found cannot touch them).
template <typename Steps>
struct Runner {
  static constexpr unsigned shift = Steps::shift;
  Steps step;
  size_t runs, long_runs;  // in the layout's steps
  const detail::RunSet* run_sets;
  const uint32_t* const* column;
  uint32_t first_long;

  Runner(const detail::Program& prog, Steps st)
      : step(st),
        runs(size_t(prog.runs) << shift),
        long_runs(size_t(prog.long_runs) << shift),
        run_sets(prog.run_sets.data()),
        column(prog.column),
        first_long(prog.long_runs) {}

  // Runs the DFA on from state t, which the byte before p led to from state
  // s, over [p, e) until it dies: returns where it died (the byte there
  // leads to the dead state), or e; `state` becomes the state there.
  LEXGEN_INLINE const unsigned char* operator()(uint32_t& state, size_t s, size_t t, const unsigned char* p,
                                                const unsigned char* e) const {
    s <<= shift;
    t <<= shift;
    const unsigned char* const from = p;
    for (;;) {
      if (t - 1 < runs - 1) {  // neither the dead state nor one with a run
        s = t;
      } else if (t == 0) {
        --p;
        LEXGEN_COUNT(1);
        break;
      } else {
        s = t;
        // The bytes of the run all lead from s to s, so these loads do not
        // wait for each other.
        if (t < long_runs) {
          size_t u = s;
          while (p < e && (u = step(s, *p)) == s) ++p;
          if (p >= e) break;
          t = u;  // where the byte after the run leads
          ++p;
          continue;
        }
        const size_t q = t >> shift;
        p = cross_run(run_sets[q - first_long], column, static_cast<uint32_t>(q), p, e);
      }
      if (p >= e) break;
      t = step(s, *p++);
    }
    LEXGEN_COUNT(p - from);
    state = static_cast<uint32_t>(s >> shift);
    return p;
  }
};

LEXGEN_INLINE const unsigned char* run_on(const detail::Program& prog, uint32_t& state, size_t s, size_t t,
                                          const unsigned char* p, const unsigned char* e) {
  if (!prog.flat.empty()) return Runner<FlatSteps>(prog, FlatSteps{prog.flat.data()})(state, s, t, p, e);
  return Runner<ColumnSteps>(prog, ColumnSteps{prog.column})(state, s, t, p, e);
}

// Finds up to `want` tokens in b[pos, stop), each as a scan would that
// ends there in a state accepting a rule without trailing context, and
// stops before the first that does not; returns how many. Each token's
// end goes into ends[] and the state it ends in into states[], whose rule
// is ahead_tokens(prog)[state].
static_assert(detail::elsewhere - 1 == detail::at_line_start, "find_ahead() tells the two apart by a newline");

// Goes on from the token that starts at b[pos] with Program::restart, for
// as long as the tokens end as find_ahead() needs them to and none enters
// a long run, but at most up to `want` tokens; returns how many it found.
// One load a byte (a pair of bytes, with Program::restart_pairs) waits for
// the state, and no branch depends on where a token ends: the next state
// tells, and the end is noted whether it is one or not.
size_t find_restarts(const detail::Program& prog, const unsigned char* b, size_t pos, size_t stop,
                     size_t want, size_t* ends, uint32_t* states) {
  const uint8_t* const* column = prog.restart_column;
  const size_t copies = prog.restart_copies;
  const size_t context = static_cast<size_t>(detail::elsewhere) - (b[pos - 1] == '\n');
  size_t s = prog.first[context * 256 + b[pos]];
  if (s == 0 || s >= prog.long_runs) return 0;
  size_t n = 0;
  const unsigned char* p = b + pos + 1;
  const unsigned char* const e = b + stop;
  // The byte at b[at] leads from s to t (not 0): a token ends there when t
  // is a copy. The state each token ends in goes into states[], whose rule
  // scan() looks up.
  auto note = [&](size_t at, size_t t) {
    ends[n] = at;
    states[n] = static_cast<uint32_t>(s);
    n += t >= copies;
    s = t;
  };
  // One byte: false where the loop stops.
  auto step = [&](const unsigned char* q) {
    const size_t t = column[*q][s];
    if (t == 0) return false;
    note(static_cast<size_t>(q - b), t);
    return true;
  };
  const uint8_t* const pairs = prog.restart_pairs.empty() ? nullptr : prog.restart_pairs.data();
  const uint16_t* const pair_at = prog.restart_pair_at;
  const uint16_t* const second_at = prog.restart_second_at;
  while (p < e && n < want) {
    // Each byte ends at most one token, so this stretch cannot overfill.
    const unsigned char* const chunk = p + std::min<size_t>(static_cast<size_t>(e - p), want - n);
    if (pairs != nullptr) {
      // Two bytes a turn with one load that waits for the state; the state
      // between them comes from a load beside it.
      for (; p + 1 < chunk; p += 2) {
        const size_t m = column[p[0]][s];
        const size_t t = pairs[pair_at[p[0]] + second_at[p[1]] + s];
        if (t == 0) {
          if (m != 0) step(p);
          goto done;
        }
        const size_t at = static_cast<size_t>(p - b);
        note(at, m);
        note(at + 1, t);
      }
    } else {
      for (; p + 1 < chunk; p += 2)  // two bytes a turn
        if (!step(p) || !step(p + 1)) goto done;
    }
    if (p < chunk && !step(p++)) goto done;
  }
done:
  LEXGEN_COUNT(p - (b + pos));
  return n;
}

template <typename Steps>
size_t find_ahead(const detail::Program& prog, Steps step, const unsigned char* b, size_t pos, size_t stop,
                  size_t want, size_t* ends, uint32_t* states) {
  const Runner<Steps> run(prog, step);
  const uint32_t* token = prog.token.data();
  const uint8_t* context_after = prog.context_after;
  const bool word = prog.nfa.word;
  const bool restarts = !prog.restart.empty();
  const uint32_t* first = prog.first.data();
  const unsigned char* e = b + stop;
  if (pos >= stop) return 0;
  size_t n = 0;
  for (; n < want; ++n) {
    if (restarts) {
      // The token before came through the loop below (or through
      // scan_here()), so each turn takes at least one token.
      const size_t k = find_restarts(prog, b, pos, stop, want - n, ends + n, states + n);
      n += k;
      if (k > 0) pos = ends[n - 1];
      if (n == want || pos >= stop) break;
    }
    // Where the first byte leads to the dead state, the scan dies in the
    // start state, which returns no token: 0 stands for it. Without word
    // assertions the context is a test, not one more load to wait for.
    const unsigned char before = b[pos - 1];
    const size_t context =
        word ? context_after[before] : static_cast<size_t>(detail::elsewhere) - (before == '\n');
    uint32_t s;
    LEXGEN_COUNT(1);
    const size_t end = static_cast<size_t>(run(s, 0, first[context * 256 + b[pos]], b + pos + 1, e) - b);
    const uint32_t rule = token[s];
    if (end == stop || rule == 0) break;
    ends[n] = end;
    states[n] = s;
    pos = end;
  }
  return n;
}

// Runs the DFA from state s over [p, e) until it dies, as run_on().
LEXGEN_INLINE const unsigned char* run(const detail::Program& prog, uint32_t& state, const unsigned char* p,
                                       const unsigned char* e) {
  if (p >= e) return p;
  LEXGEN_COUNT(1);
  return run_on(prog, state, state, prog.column[*p][state], p + 1, e);
}

// The rules of the states find_ahead() notes: those of the restart table's
// states where it has one (the same as Program::token for the others).
const uint32_t* ahead_tokens(const detail::Program& prog) {
  return prog.restart.empty() ? prog.token.data() : prog.restart_token.data();
}
}  // namespace

Matcher::Matcher(const Pattern& pattern, const Input& in)
    : pattern_(pattern), prog_(pattern.prog_.get()), ahead_token_(ahead_tokens(*prog_)), in_(in) {
  capacity_ = initial_capacity;
  buf_.reset(new char[capacity_ + pad]);
  LEXGEN_COUNT_MOST(buffer_bytes, capacity_);
  base_ = buf_.get();
  reset_position();
}

Matcher::Matcher(Matcher&&) noexcept = default;
Matcher& Matcher::operator=(Matcher&&) noexcept = default;
Matcher::~Matcher() = default;

void Matcher::reset_position() {
  drop_ahead();
  in_place_ = false;
  base_ = buf_.get();
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
  clear_tail();
  if (memo_) memo_->forget_all();
  enter_place();
}

void Matcher::enter_place() {
  size_t n = 0;
  const char* p = in_.unread(n);
  if (!p || n <= pad) return;
  // The last `pad` bytes stay unread, so that 16-byte loads near end_
  // read bytes of the string; they come through fill() as usual.
  base_ = const_cast<char*>(p);
  end_ = n - pad;
  in_place_ = true;
}

size_t Matcher::leave_place(size_t keep, size_t need) {
  // A stream's buffer mostly holds the bytes before the match too, and
  // unput() before the match puts bytes in front of them.
  keep -= std::min(keep, capacity_ / 4);
  need = std::max(need, std::max(cur_, txt_ + len_));
  if (ahead_next_ < ahead_size_) need = std::max(need, ahead_end_[ahead_size_ - 1]);
  const size_t n = std::min(end_ - keep, std::max(need - keep, capacity_ / 2));
  recount_to(keep);
  col0_ = col_;
  if (keep > 0) {
    before0_ = static_cast<unsigned char>(base_[keep - 1]);
    boi0_ = false;
  }
  if (n + 1 > capacity_) {
    capacity_ = std::max(2 * capacity_, n + min_read + 1);
    buf_.reset(new char[capacity_ + pad]);
    LEXGEN_COUNT_MOST(buffer_bytes, capacity_);
  }
  std::memcpy(buf_.get(), base_ + keep, n);
  in_.skip(keep + n);
  base_ = buf_.get();
  in_place_ = false;
  end_ = n;
  cur_ -= keep;
  txt_ -= keep;
  lpos_ -= keep;
  for (size_t i = ahead_next_; i < ahead_size_; ++i) ahead_end_[i] -= keep;
  clear_tail();
  if (memo_) memo_->fit(capacity_);
  return keep;
}

Matcher& Matcher::input(const Input& in) {
  in_ = in;
  reset_position();
  return *this;
}

Matcher& Matcher::pattern(const Pattern& pattern) {
  drop_ahead();
  pattern_ = pattern;
  prog_ = pattern.prog_.get();
  ahead_token_ = ahead_tokens(*prog_);
  memo_tag_ = memo_ ? memo_->find(prog_) : 0;
  return *this;
}

void Matcher::interactive() { interactive_ = true; }


int Matcher::byte_before(size_t pos) const {
  if (pos == 0) return before0_;
  if (held_ && pos - 1 == txt_ + len_) return static_cast<unsigned char>(hold_);
  return static_cast<unsigned char>(base_[pos - 1]);
}

bool Matcher::at_bol() const { return byte_before(cur_) == '\n'; }

// Counts lines and columns over base_[lpos_, pos): a tab advances to the next
// multiple of 8, bytes 0x80-0xBF continue a UTF-8 character and count 0.
// The usual span, a token of up to 16 bytes with no newline, tab or
// continuation byte in it, takes one test here; count_span() does the rest.
void Matcher::count_to(size_t pos) const {
  if (pos <= lpos_) return;
#if defined(__SSE2__)
  // The sixteen bytes that end at pos: the byte at pos may have been
  // written just now (the NUL after a match, put back), and a load that
  // overlaps a recent narrower store waits for it.
  const size_t n = pos - lpos_;
  if (n <= 16 && pos >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base_ + pos - 16));
    const __m128i special = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'))),
        _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xC0))),
                       _mm_set1_epi8(static_cast<char>(0x80))));
    if ((static_cast<unsigned>(_mm_movemask_epi8(special)) >> (16 - n)) == 0) {
      col_ += n;
      lpos_ = pos;
      return;
    }
  }
#endif
  count_span(pos);
}

void Matcher::count_span(size_t pos) const {
  const char* b = base_;
  size_t from = lpos_;
  if (pos - from < 128) {  // the usual case: the bytes of a token or two
    size_t line = line_, col = col_;
    while (from < pos) {
      const size_t n = std::min<size_t>(16, pos - from);
#if defined(__SSE2__)
      // Sixteen bytes at once: most blocks hold no newline, tab or UTF-8
      // continuation byte, and those with no tab need no loop. A short last
      // block is loaded as the sixteen bytes that end at pos (see
      // count_to()); near the front of the buffer as those from `from` on,
      // and what lies past pos (bytes read or the padding) is cut off.
      const unsigned skip = n < 16 && pos >= 16 ? static_cast<unsigned>(16 - n) : 0;
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + from - skip));
      const unsigned keep = (n == 16 ? 0xFFFFu : (1u << n) - 1) << skip;
      const __m128i nl_bytes = _mm_cmpeq_epi8(v, _mm_set1_epi8('\n'));
      const __m128i tab_bytes = _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'));
      const __m128i cont_bytes = _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xC0))),
                                                _mm_set1_epi8(static_cast<char>(0x80)));
      const unsigned special =
          (static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(nl_bytes, tab_bytes), cont_bytes))) &
           keep) >> skip;
      if (special == 0) {
        col += n;
        from += n;
        continue;
      }
      const unsigned tabs = (static_cast<unsigned>(_mm_movemask_epi8(tab_bytes)) & keep) >> skip;
      if (tabs == 0) {
        const unsigned nls = (static_cast<unsigned>(_mm_movemask_epi8(nl_bytes)) & keep) >> skip;
        const unsigned conts = (static_cast<unsigned>(_mm_movemask_epi8(cont_bytes)) & keep) >> skip;
        if (nls != 0) {
          line += (nls & (nls - 1)) != 0 ? popcount16(nls) : 1;
          const unsigned last = 31 - static_cast<unsigned>(__builtin_clz(nls));
          col = n - 1 - last;
          if (conts != 0) col -= popcount16(conts >> (last + 1));
        } else {
          col += n - popcount16(conts);
        }
        from += n;
        continue;
      }
#endif
      for (const size_t end = from + n; from < end; ++from) {
        unsigned char c = static_cast<unsigned char>(b[from]);
        if (c == '\n') {
          ++line;
          col = 0;
        } else if (c == '\t') {
          col = (col + 8) & ~static_cast<size_t>(7);
        } else {
          col += (c & 0xC0) != 0x80;
        }
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

// Brings the counts to pos, also back: the newlines in base_[pos, lpos_) come
// off the line, and the column is counted again from the start of pos's line
// (or from base_[0], whose column is col0_). unput() and less() move the
// position back and bring the counts with it, so the bytes before lpos_ are
// always those counted. Not while the NUL after a match is in place.
void Matcher::recount_to(size_t pos) {
  if (pos >= lpos_) return count_to(pos);
  const char* b = base_;
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
  std::unique_ptr<char[]> bigger(new char[capacity + pad]);
  std::memcpy(bigger.get(), base_, end_);
  buf_ = std::move(bigger);
  base_ = buf_.get();
  capacity_ = capacity;
  LEXGEN_COUNT_MOST(buffer_bytes, capacity_);
  clear_tail();
  if (memo_) memo_->fit(capacity_);
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
    before0_ = static_cast<unsigned char>(base_[keep - 1]);
    boi0_ = false;
    std::memmove(base_, base_ + keep, end_ - keep);
    if (memo_) memo_->discard(keep);
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
  if (in_place_) shift = leave_place(keep, end_);
  shift += make_room(keep - shift);
  size_t got = 1;
  if (peeked_ >= 0) {
    base_[end_] = static_cast<char>(peeked_);
    peeked_ = -1;
  } else {
    got = in_.get(base_ + end_, interactive_ ? 1 : capacity_ - 1 - end_);
  }
  if (got == 0) {
    eof_ = true;
    return false;
  }
  end_ += got;
  clear_tail();
  return true;
}

// The usual token takes the first path: the DFA dies inside the bytes read,
// in a state that accepts a rule without trailing context; then the tokens
// after it that do the same are found too. Everything else goes on in
// finish_scan().
size_t Matcher::scan_here() {
  ahead_next_ = ahead_size_ = 0;
  size_t start = cur_;
  if (more_ && txt_ <= start) {
    more_ = false;
  } else {
    more_ = false;
    txt_ = start;
    mvalid_ = false;
  }
  const detail::Program& prog = *prog_;
  const unsigned char* b = reinterpret_cast<const unsigned char*>(base_);
  const uint32_t s0 = start > 0 ? prog.start_after[b[start - 1]]
                       : boi0_   ? prog.start[detail::at_input_start]
                                 : prog.start_after[before0_];
  // Up to the first noted failure the DFA runs freely.
  size_t stop = end_;
  if (memo_tag_ != 0 && memo_->hi() > start) stop = std::min(stop, std::max(start, memo_->lo()));
  uint32_t s = s0;
#if defined(__GNUC__)
  // Bytes scanned in place come from memory, not from a buffer in cache.
  __builtin_prefetch(b + start + 1024);
#endif
  const size_t pos = static_cast<size_t>(run(prog, s, b + start, b + stop) - b);
  const uint32_t rule = prog.token[s];
  if (pos == stop || rule == 0) return finish_scan(s0, s, start, pos, pos < stop);
  cur_ = pos;
  len_ = pos - txt_;
  rule_ = rule;
  if (ahead_want_ > 0) scan_ahead(pos);
  ahead_want_ = std::min(max_ahead, 2 * ahead_want_ + 1);
  return rule;
}

// Finds up to ahead_want_ tokens from pos on, each as scan_here() would,
// and stops before the first that needs more.
void Matcher::scan_ahead(size_t pos) {
  const detail::Program& prog = *prog_;
  const unsigned char* b = reinterpret_cast<const unsigned char*>(base_);
  size_t stop = end_;
  if (memo_tag_ != 0 && memo_->hi() > pos) stop = std::min(stop, std::max(pos, memo_->lo()));
  ahead_size_ = prog.flat.empty()
                    ? find_ahead(prog, ColumnSteps{prog.column}, b, pos, stop, ahead_want_, ahead_end_, ahead_state_)
                    : find_ahead(prog, FlatSteps{prog.flat.data()}, b, pos, stop, ahead_want_, ahead_end_, ahead_state_);
}

// Reads more input whenever the DFA reaches the end of the bytes read;
// start and pos move with the bytes kept.
LEXGEN_INLINE bool Matcher::read_on(uint32_t& s, size_t& start, size_t& pos) {
  const detail::Program& prog = *prog_;
  for (;;) {
    // Among the noted failures each step looks them up.
    size_t stop = end_;
    bool noted = false;
    if (memo_tag_ != 0 && memo_->hi() > pos) {
      noted = memo_->lo() <= pos;
      stop = std::min(end_, noted ? memo_->hi() : memo_->lo());
    }
    if (pos < stop) {
      if (noted) {
        pos = run_noted(s, pos, stop);
      } else {
        const unsigned char* b = reinterpret_cast<const unsigned char*>(base_);
        pos = static_cast<size_t>(run(prog, s, b + pos, b + stop) - b);
      }
      if (pos < stop) return false;  // died here, or met a noted failure
      if (stop < end_) continue;
    }
    if (prog.info[s].stop) return false;  // nothing can follow
    size_t shift;
    const bool more = fill(std::min(txt_, start), shift);
    start -= shift;
    pos -= shift;
    if (!more) return true;
  }
}

// A state may report a rule on entry (`accept`) and, for a `$` that needed
// the byte just read, one or two bytes back (`before`, `before2`).
LEXGEN_INLINE uint32_t Matcher::last_accept(uint32_t s0, size_t start, size_t pos, size_t& accept_end) const {
  const detail::Program& prog = *prog_;
  const detail::Program::StateInfo* info = prog.info.data();
  const unsigned char* b = reinterpret_cast<const unsigned char*>(base_);
  uint32_t rule = 0;
  uint32_t q = s0;
  LEXGEN_COUNT(pos - start);
  for (size_t i = start; i < pos; ++i) {
    q = prog.column[b[i]][q];
    if (uint32_t r = info[q].before2) {
      accept_end = i - 1;
      rule = r;
    }
    if (uint32_t r = info[q].before) {
      accept_end = i;
      rule = r;
    }
    if (uint32_t r = info[q].accept) {
      accept_end = i + 1;
      rule = r;
    }
  }
  return rule;
}

// Goes on from state s at pos, where the DFA died (`died`) or reached the
// bytes read or the noted failures, and decides the match.
size_t Matcher::finish_scan(uint32_t s0, uint32_t s, size_t start, size_t pos, bool died) {
  const detail::Program& prog = *prog_;
  const bool eof = !died && read_on(s, start, pos);
  // Most tokens end in a state that accepts; otherwise the last accepting
  // position lies further back: run the token again, noting every one.
  uint32_t rule = eof ? prog.info[s].at_end : prog.info[s].accept;
  size_t accept_end = pos;
  if (rule == 0 && pos > start) {
    rule = last_accept(s0, start, pos, accept_end);
    const size_t last = rule != 0 ? accept_end : start;
    if (pos - last > note_after) {
      const size_t shift = note_failures(s0, start, last, pos);
      start -= shift;
      accept_end -= shift;
    }
  }
  if (rule != 0) {
    const size_t len = prog.nfa.look[rule - 1] ? head_of(rule, start, accept_end) : accept_end - start;
    if (len > 0) {
      cur_ = start + len;
      len_ = cur_ - txt_;
      rule_ = rule;
      return rule;
    }
  }
  return no_match(start);
}

size_t Matcher::head_of(uint32_t rule, size_t& start, size_t& accept_end) {
  // Where the head ends may depend on whether a line or the input ends
  // after the match: a match that ends the bytes read needs one more,
  // and two when the first is a "\r".
  for (size_t need = 1; need <= 2; ++need) {
    if (accept_end + need > end_) {
      size_t shift;
      fill(std::min(txt_, start), shift);
      start -= shift;
      accept_end -= shift;
    }
    if (accept_end >= end_ || base_[accept_end] != '\r') break;
  }
  const int before = start > 0 ? static_cast<unsigned char>(base_[start - 1]) : before0_;
  const bool boi = start == 0 && boi0_;
  const int next = accept_end < end_ ? static_cast<unsigned char>(base_[accept_end]) : -1;
  const int next2 = accept_end + 1 < end_ ? static_cast<unsigned char>(base_[accept_end + 1]) : -1;
  return prog_->head_length(rule, reinterpret_cast<const unsigned char*>(base_) + start, accept_end - start, before,
                            boi, next, next2);
}

// End of input, or no non-empty match here. Before bytes that no rule
// matches, the text that more() kept stays the match. A scan whose start
// state leads nowhere reads nothing, so whether the input ends here is
// asked (at_end() may leave a string's place: positions move, cur_ with
// them).
size_t Matcher::no_match(size_t start) {
  cur_ = start;
  if (txt_ >= cur_ || (cur_ >= end_ && at_end())) {
    txt_ = cur_;
    mvalid_ = false;
  }
  len_ = cur_ - txt_;
  rule_ = 0;
  return 0;
}

size_t Matcher::run_noted(uint32_t& state, size_t pos, size_t stop) const {
  const detail::Program& prog = *prog_;
  const unsigned char* b = reinterpret_cast<const unsigned char*>(base_);
  const detail::FailureMemo& memo = *memo_;
  uint32_t s = state;
  while (pos < stop) {
    // Freely up to the next place, where the notes are.
    const size_t at = std::min(memo.next_place(pos), stop);
    if (pos < at) {
      const size_t to = static_cast<size_t>(run(prog, s, b + pos, b + at) - b);
      if (to < at) return state = s, to;  // died
      pos = at;
      if (pos == stop) break;
    }
    if (memo.failed(detail::FailureMemo::key(memo_tag_, s), pos)) break;
    LEXGEN_COUNT(1);
    const uint32_t t = prog.column[b[pos]][s];
    if (t == 0) break;
    s = t;
    ++pos;
  }
  state = s;
  return pos;
}

// The pairs noted are those after `last`: the state after base_[start, i)
// at i, for last + 1 < i <= stop, at the memo's places, where a later scan
// can be in that state. The pair just after `last` is not noted, since a
// state may report a match two bytes back (`$` before "\r\n") and a scan
// stopped there would miss it. Returns how far positions moved: the notes are kept
// per position of buf_, so a string scanned in place is left first.
size_t Matcher::note_failures(uint32_t s0, size_t start, size_t last, size_t stop) {
  const uint32_t* const* column = prog_->column;
  const uint32_t* depth = prog_->depth.data();
  const unsigned char* b = reinterpret_cast<const unsigned char*>(base_);
  // The first pair to note, if any.
  uint32_t q = s0;
  size_t i = start;
  for (;; ++i) {
    if (i > last + 1 && i - start > depth[q]) break;
    if (i == stop) return LEXGEN_COUNT(i - start), 0;
    q = column[b[i]][q];
  }
  LEXGEN_COUNT(i - start);
  size_t shift = 0;
  if (in_place_) {
    shift = leave_place(std::min(txt_, start), stop);
    start -= shift;
    stop -= shift;
    i -= shift;
    b = reinterpret_cast<const unsigned char*>(base_);
  }
  if (!memo_) memo_.reset(new detail::FailureMemo);
  detail::FailureMemo& memo = *memo_;
  memo.fit(capacity_);
  if (memo_tag_ == 0) memo_tag_ = memo.tag(pattern_.prog_);
  for (;; ++i) {
    if (i - start > depth[q] && memo.place(i)) memo.note(detail::FailureMemo::key(memo_tag_, q), i);
    if (i == stop) break;
    LEXGEN_COUNT(1);
    q = column[b[i]][q];
  }
  return shift;
}

// The byte read to find out is kept aside until the next read into the
// buffer, so the buffer and the current match stay where they are.
bool Matcher::at_end() {
  if (cur_ < end_ || peeked_ >= 0) return false;
  if (eof_) return true;
  if (in_place_) {
    leave_place(std::min(txt_, cur_), end_);
    if (cur_ < end_) return false;
  }
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
  drop_ahead();
  if (cur_ >= end_) {
    size_t shift;
    if (!fill(std::min(txt_, cur_), shift)) return EOF;
  }
  return static_cast<unsigned char>(base_[cur_++]);
}

int Matcher::peek() {
  if (at_end()) return EOF;
  if (cur_ < end_) return byte_before(cur_ + 1);
  return peeked_;
}

void Matcher::unput(char c) {
  restore();
  drop_ahead();
  if (in_place_) leave_place(std::min(txt_, cur_), 0);
  if (!mvalid_) mark_match();
  if (cur_ == 0) {
    // Nothing before the position to overwrite: move everything up one.
    // The counts at the front of the buffer are where the new byte starts.
    if (end_ + 2 > capacity_) grow(2 * capacity_);
    std::memmove(base_ + 1, base_, end_);
    if (memo_) memo_->forget_all();
    ++end_;
    clear_tail();
    ++cur_;
    ++txt_;
  }
  // The byte put back takes the place of the one before the position, so
  // it starts where that one started and is counted when it is scanned
  // again; the byte it replaces is no longer counted.
  recount_to(cur_ - 1);
  base_[--cur_] = c;
  if (memo_) memo_->forget_to(cur_);
}

void Matcher::less(size_t n) {
  restore();
  drop_ahead();
  if (n > len_) n = len_;
  len_ = n;
  cur_ = txt_ + n;
  if (lpos_ > cur_) recount_to(cur_);  // right after an unput()
}

void Matcher::more() { more_ = true; }

}  // namespace reflex
