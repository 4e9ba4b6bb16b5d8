// Internal: the compiled form of a Pattern, shared by the compiler and the
// Matcher.
#ifndef LEXGEN_RUNTIME_PROGRAM_H
#define LEXGEN_RUNTIME_PROGRAM_H

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "reflex/pattern.h"

namespace reflex {
namespace detail {

// A set of bytes.
struct ByteSet {
  std::array<uint64_t, 4> bits{};

  bool test(unsigned c) const { return (bits[c >> 6] >> (c & 63)) & 1; }
  void set(unsigned c) { bits[c >> 6] |= uint64_t(1) << (c & 63); }
  void set_range(unsigned lo, unsigned hi) {
    for (unsigned c = lo; c <= hi; ++c) set(c);
  }
  void flip() {
    for (auto& w : bits) w = ~w;
  }
  ByteSet& operator|=(const ByteSet& o) {
    for (size_t i = 0; i < bits.size(); ++i) bits[i] |= o.bits[i];
    return *this;
  }
  ByteSet& operator&=(const ByteSet& o) {
    for (size_t i = 0; i < bits.size(); ++i) bits[i] &= o.bits[i];
    return *this;
  }
  ByteSet& operator-=(const ByteSet& o) {
    for (size_t i = 0; i < bits.size(); ++i) bits[i] &= ~o.bits[i];
    return *this;
  }
  bool operator<(const ByteSet& o) const { return bits < o.bits; }
  bool operator==(const ByteSet& o) const { return bits == o.bits; }
};

// The bytes of words, for \b \B \< \>: ASCII letters, digits and "_".
inline bool is_word_byte(int c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// NFA state kinds. `bytes` consumes one byte of `set`; `split` and `eps`
// consume nothing; `mark` consumes nothing and marks where a rule's
// trailing context starts; `lazy` consumes nothing and marks the paths
// through a choice of the rule's lazy quantifier number `set` (from 1);
// the assertions hold at a position:
// `bol` after a newline or at the start of the input, `boi` at the start of
// the input, `eol` before a newline, before "\r\n" or at the end, `eoi` at
// the end,
// `wordb` where a word starts or ends, `nwordb` where none does, `wbeg`
// where a word starts, `wend` where one ends (the start and the end of the
// input count as non-word bytes); `accept` ends rule `rule`.
enum class NKind : uint8_t { bytes, split, eps, mark, lazy, bol, boi, eol, eoi, wordb, nwordb, wbeg, wend, accept };

struct NState {
  NKind kind;
  uint32_t rule;  // the rule the state belongs to, from 1
  int32_t out1;
  int32_t out2;
  uint32_t set;  // index into Nfa::sets for `bytes`; the number of a `lazy` one
};

struct Nfa {
  std::vector<NState> states;
  std::vector<ByteSet> sets;
  std::vector<int32_t> start;  // per rule (index rule - 1)
  std::vector<int32_t> accept;
  std::vector<char> look;  // the rule holds trailing context
  bool word = false;       // some state is a word assertion
};

// Where a scan starts: decides which anchors hold before the first byte.
enum StartContext { at_input_start = 0, at_line_start = 1, elsewhere = 2, after_word = 3 };

// The bytes that keep a state in itself, as a test on 16 bytes at a time:
// byte x is in range k when int8(x + bias[k]) < limit[k] (a range [lo, hi]
// has bias 0x80 - lo and limit hi - lo + 1 - 128; an unused range has
// limit -128 and holds nothing). With `flip` 0 the ranges hold the bytes
// that leave the state, with 0xFFFF those that keep it.
struct RunSet {
  int8_t bias[4][16];
  int8_t limit[4][16];
  uint32_t flip;
  uint32_t vector;  // 1 when the ranges describe the set; else step byte by byte
};

// The DFA. States are numbered: 0 is the dead state; from `runs` on come the
// states that some bytes lead back to themselves (a name, blanks, a comment
// body), which the Matcher crosses in one go: those from `long_runs` on, the
// ones most bytes continue, with their RunSet. So one test of a next state
// t, t - 1 >= runs - 1 (unsigned), tells the dead state and the runs apart
// from all others. Transitions are stored by column, one per
// byte class: column[byte][state] is the next state, so each input byte
// costs one load whose address depends on the previous state.
struct Program {
  Program() = default;
  Program(const Program&) = delete;  // column points into next
  Program& operator=(const Program&) = delete;

  struct StateInfo {
    uint32_t accept;  // rule accepted on entering the state
    uint32_t before;  // rule accepted one byte earlier (entered by a newline a `$` needed)
    uint32_t before2;  // rule accepted two bytes earlier (entered by the newline of a "\r\n" a `$` needed)
    uint32_t at_end;  // rule accepted when the input ends in this state
    uint32_t stop;    // 1 when every byte leads to the dead state and the end adds nothing
  };

  std::string regex;
  Nfa nfa;
  uint32_t rules = 0;
  uint32_t nstates = 0;
  uint32_t nclasses = 0;
  uint32_t runs = 0;
  uint32_t long_runs = 0;
  uint32_t start[4] = {0, 0, 0, 0};
  // The start context and the start state of a scan that does not start
  // the input, by the byte before it.
  uint8_t context_after[256] = {};
  uint32_t start_after[256] = {};
  std::vector<uint32_t> next;  // next[class * nstates + state]
  std::vector<StateInfo> info;
  // The rule that a scan which dies in the state returns without more work:
  // the one it accepts when that has no trailing context, else 0.
  std::vector<uint32_t> token;
  std::vector<RunSet> run_sets;  // of the states from `long_runs` on
  const uint32_t* column[256] = {};
  // first[context * 256 + byte]: the state after the first byte of a scan
  // that starts in that context, one load earlier than through start.
  std::vector<uint32_t> first;
  // For DFAs of at most 256 states, the transitions once more without byte
  // classes: flat[256 * s + byte] = 256 * next, one load fewer per step.
  std::vector<uint16_t> flat;
  // For tokens that end where the DFA dies in a state that accepts a rule
  // without trailing context, in DFAs without word assertions: the same
  // transitions, but such a dying byte leads on to the state it leads to
  // from the start, in a copy of that state (numbered from restart_copies
  // on), so the Matcher finds the end of one token and the start of the
  // next in one step and tells it by the number. 0 is left to the other
  // loop: the DFA dies without such a token, enters a long run, or the
  // next token's start depends on the byte before it. By column, as next:
  // restart_column[byte][state], a byte each so that the table stays in the
  // first-level cache.
  std::vector<uint8_t> restart;
  const uint8_t* restart_column[256] = {};
  std::vector<uint32_t> restart_token;  // token of the state or of its original
  uint32_t restart_copies = 0;
  // Where it stays small, the same table for two bytes at once, so that a
  // pair of bytes costs one load that waits for the state:
  // restart_pairs[(class * nclasses + class2) * states + state], 0 where
  // either byte stops, with `states` those of restart_token. The pair of
  // bytes x, y is at restart_pair_at[x] + restart_second_at[y] + state.
  std::vector<uint8_t> restart_pairs;
  uint16_t restart_pair_at[256] = {};
  uint16_t restart_second_at[256] = {};
  // The fewest bytes that lead to each state from a start state: a scan
  // that is in state q after depth[q] bytes is the only one that can be
  // there, so the failure memo does not note it.
  std::vector<uint32_t> depth;

  // The token length of a match of `rule` over text[0, len) that carries
  // trailing context: where the longest head ends. `before` is the byte
  // before text[0] ('\n' at the start of a line) and `boi` tells whether
  // text[0] starts the input; `next` and `next2` are the two bytes after
  // the match, -1 for each past the end of the input (`next2` is read only
  // when `next` is "\r").
  size_t head_length(uint32_t rule, const unsigned char* text, size_t len, int before,
                     bool boi, int next, int next2) const;
};

// A build of the library for the tests (LEXGEN_COUNT_STEPS) counts the
// bytes its scan loops read and the memory of the failure memo; the others
// count nothing.
#ifdef LEXGEN_COUNT_STEPS
struct Counts {
  size_t steps = 0;         // bytes read by the DFA
  size_t memo_bytes = 0;    // the most memory a failure memo took
  size_t buffer_bytes = 0;  // the largest buffer of a Matcher
};
extern Counts counts;
#define LEXGEN_COUNT(n) (::reflex::detail::counts.steps += static_cast<size_t>(n))
#define LEXGEN_COUNT_MOST(what, n) \
  (::reflex::detail::counts.what = std::max(::reflex::detail::counts.what, static_cast<size_t>(n)))
#else
#define LEXGEN_COUNT(n) static_cast<void>(sizeof(n))
#define LEXGEN_COUNT_MOST(what, n) static_cast<void>(sizeof(n))
#endif

// Which of the optional tables build_dfa() makes where they fit; the tests
// turn them off to run every loop of the Matcher on any pattern.
struct Layouts {
  bool flat = true;     // Program::flat
  bool restart = true;  // Program::restart
  bool pairs = true;    // Program::restart_pairs
};

// Parses `regex` into an NFA; throws regex_error.
void parse_regex(const std::string& regex, Nfa& nfa);
// Builds the minimised DFA tables of prog.nfa; throws regex_error when the
// DFA outgrows Pattern::max_states or Pattern::max_table.
void build_dfa(Program& prog, const Layouts& layouts = Layouts());

// Compiles a Pattern with a choice of tables.
struct PatternMaker {
  static Pattern make(const std::string& regex, const Layouts& layouts);
};

}  // namespace detail
}  // namespace reflex

#endif
