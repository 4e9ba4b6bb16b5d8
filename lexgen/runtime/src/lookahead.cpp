// Where the token of a rule with trailing context ends: simulates the
// rule's NFA over the matched text, carrying for every state the position
// at which its path entered the trailing context (none yet counts as
// largest), and keeps the largest such position that reaches the end.
#include <cstdint>
#include <vector>

#include "program.h"

namespace reflex {
namespace detail {

size_t Program::head_length(uint32_t rule, const unsigned char* text, size_t len, int before,
                            bool boi, int next, int next2) const {
  LEXGEN_COUNT(len);
  const size_t none = SIZE_MAX;
  const size_t n = nfa.states.size();
  std::vector<size_t> tag(n);
  std::vector<size_t> seen(n, SIZE_MAX);  // the step that last reached a state
  std::vector<size_t> in_list(n, SIZE_MAX);
  std::vector<std::pair<int32_t, size_t>> stack, seeds;
  std::vector<int32_t> list;
  seeds.push_back({nfa.start[rule - 1], none});
  size_t head = len;
  for (size_t i = 0;; ++i) {
    const int prev = i == 0 ? before : text[i - 1];
    const int after = i < len ? text[i] : next;
    const int after2 = i + 1 < len ? text[i + 1] : i + 1 == len ? next : next2;
    bool at_bol = prev == '\n';
    bool at_boi = i == 0 && boi;
    bool at_eol = after == '\n' || after < 0 || (after == '\r' && after2 == '\n');
    bool at_eoi = after < 0;
    bool word_before = is_word_byte(prev), word_after = is_word_byte(after);
    list.clear();
    stack = seeds;
    size_t best = 0;
    bool accepted = false;
    while (!stack.empty()) {
      auto [q, t] = stack.back();
      stack.pop_back();
      if (seen[q] == i && tag[q] >= t) continue;
      seen[q] = i;
      tag[q] = t;
      const NState& st = nfa.states[q];
      bool follow = false;
      switch (st.kind) {
        case NKind::bytes:
          if (in_list[q] != i) {
            in_list[q] = i;
            list.push_back(q);
          }
          break;
        case NKind::split:
          stack.push_back({st.out2, t});
          follow = true;
          break;
        case NKind::eps:
        case NKind::lazy:
          follow = true;
          break;
        case NKind::mark:
          stack.push_back({st.out1, i});
          break;
        case NKind::bol:
          follow = at_bol;
          break;
        case NKind::boi:
          follow = at_boi;
          break;
        case NKind::eol:
          follow = at_eol;
          break;
        case NKind::eoi:
          follow = at_eoi;
          break;
        case NKind::wordb:
          follow = word_before != word_after;
          break;
        case NKind::nwordb:
          follow = word_before == word_after;
          break;
        case NKind::wbeg:
          follow = !word_before && word_after;
          break;
        case NKind::wend:
          follow = word_before && !word_after;
          break;
        case NKind::accept:
          if (i == len && !(accepted && best >= t)) {
            best = t;
            accepted = true;
          }
          break;
      }
      if (follow) stack.push_back({st.out1, t});
    }
    if (i == len) {
      if (accepted && best != none) head = best;
      break;
    }
    seeds.clear();
    for (int32_t q : list) {
      const NState& st = nfa.states[q];
      if (nfa.sets[st.set].test(text[i])) seeds.push_back({st.out1, tag[q]});
    }
    if (seeds.empty()) break;
  }
  return head;
}

}  // namespace detail
}  // namespace reflex
