// Where the token of a rule with trailing context ends: simulates the
// rule's NFA over the matched text, carrying for every state the position
// at which its path entered the trailing context (none yet counts as
// largest), and keeps the largest such position that reaches the end.
#include <cstdint>
#include <utility>
#include <vector>

#include "program.h"

namespace reflex {
namespace detail {
namespace {

// A path that has not entered the trailing context yet.
constexpr size_t none = SIZE_MAX;

// What the assertions see at one position of the match.
struct Edges {
  bool bol, boi, eol, eoi;
  bool word_before, word_after;
};

// The match text[0, len) with what lies around it, as head_length() takes
// them.
struct Around {
  const unsigned char* text;
  size_t len;
  int before;
  bool boi;
  int next, next2;

  // What the assertions see before text[i] (i <= len).
  Edges at(size_t i) const {
    const int prev = i == 0 ? before : text[i - 1];
    const int after = i < len ? text[i] : next;
    const int after2 = i + 1 < len ? text[i + 1] : i + 1 == len ? next : next2;
    return Edges{prev == '\n',
                 i == 0 && boi,
                 after == '\n' || after < 0 || (after == '\r' && after2 == '\n'),
                 after < 0,
                 is_word_byte(prev),
                 is_word_byte(after)};
  }
};

// The NFA simulation: the states reached at the current step with the
// largest position at which their paths entered the trailing context.
class Simulation {
 public:
  Simulation(const Nfa& nfa, int32_t start)
      : nfa_(nfa), tag_(nfa.states.size()), seen_(nfa.states.size(), SIZE_MAX), in_list_(nfa.states.size(), SIZE_MAX) {
    seeds_.push_back({start, none});
  }

  // Follows the paths from the seeds that consume nothing at step i, where
  // `at` holds, and gathers the states that consume a byte; at the end of
  // the match (`last`) returns where the head of the best accepting path
  // ends: the largest such position, `none` when none accepts or no path
  // entered the trailing context.
  size_t close(size_t i, const Edges& at, bool last) {
    list_.clear();
    stack_ = seeds_;
    size_t best = 0;
    bool accepted = false;
    while (!stack_.empty()) {
      auto [q, t] = stack_.back();
      stack_.pop_back();
      if (seen_[q] == i && tag_[q] >= t) continue;
      seen_[q] = i;
      tag_[q] = t;
      const NState& st = nfa_.states[q];
      bool follow = false;
      switch (st.kind) {
        case NKind::bytes:
          if (in_list_[q] != i) {
            in_list_[q] = i;
            list_.push_back(q);
          }
          break;
        case NKind::split:
          stack_.push_back({st.out2, t});
          follow = true;
          break;
        case NKind::eps:
        case NKind::lazy:
          follow = true;
          break;
        case NKind::mark:
          stack_.push_back({st.out1, i});
          break;
        case NKind::accept:
          if (last && !(accepted && best >= t)) {
            best = t;
            accepted = true;
          }
          break;
        default:
          follow = holds(st.kind, at);
          break;
      }
      if (follow) stack_.push_back({st.out1, t});
    }
    return accepted ? best : none;
  }

  // Moves the states gathered by close() over byte c: they seed the next
  // step. False when no path goes on.
  bool step(unsigned char c) {
    seeds_.clear();
    for (int32_t q : list_) {
      const NState& st = nfa_.states[q];
      if (nfa_.sets[st.set].test(c)) seeds_.push_back({st.out1, tag_[q]});
    }
    return !seeds_.empty();
  }

 private:
  // Whether an assertion of this kind holds where `at` is seen.
  static bool holds(NKind kind, const Edges& at) {
    switch (kind) {
      case NKind::bol: return at.bol;
      case NKind::boi: return at.boi;
      case NKind::eol: return at.eol;
      case NKind::eoi: return at.eoi;
      case NKind::wordb: return at.word_before != at.word_after;
      case NKind::nwordb: return at.word_before == at.word_after;
      case NKind::wbeg: return !at.word_before && at.word_after;
      case NKind::wend: return at.word_before && !at.word_after;
      default: return false;
    }
  }

  const Nfa& nfa_;
  std::vector<size_t> tag_;      // per state: where its path entered the trailing context
  std::vector<size_t> seen_;     // per state: the step that last reached it
  std::vector<size_t> in_list_;  // per state: the step that put it in list_
  std::vector<std::pair<int32_t, size_t>> stack_, seeds_;
  std::vector<int32_t> list_;  // the states of this step that consume a byte
};

}  // namespace

size_t Program::head_length(uint32_t rule, const unsigned char* text, size_t len, int before,
                            bool boi, int next, int next2) const {
  LEXGEN_COUNT(len);
  const Around around{text, len, before, boi, next, next2};
  Simulation sim(nfa, nfa.start[rule - 1]);
  for (size_t i = 0;; ++i) {
    const size_t head = sim.close(i, around.at(i), i == len);
    if (i == len) return head != none ? head : len;
    if (!sim.step(text[i])) return len;
  }
}

}  // namespace detail
}  // namespace reflex
