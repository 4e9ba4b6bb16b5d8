// Internal: the places where a scan is known to fail, so that no later scan
// reads past them again.
//
// A scan runs the DFA from a token's start until it dies and then takes the
// last place where it accepted. Every (state, position) it passed after that
// place leads to no accepting state over the rest of the input: a later scan
// that meets the same pair can stop there as if the DFA had died. Noting
// those pairs and stopping at them makes a whole tokenisation read each
// (state, position) pair at most once beyond its tokens, so it is linear in
// the input even where the longest match needs to look far ahead and fails
// (an unclosed comment, met again at every position inside it).
//
// A pair depends only on the DFA and the bytes from its position on, so the
// notes stay true until one of those bytes changes (unput()). Positions are
// those of the Matcher's buffer; the notes move with it.
#ifndef LEXGEN_RUNTIME_MEMO_H
#define LEXGEN_RUNTIME_MEMO_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

#include "program.h"

namespace reflex {
namespace detail {

class FailureMemo {
 public:
  // A key names a state of one of the patterns the memo has seen:
  // tag(pattern) | state, never 0.
  static uint32_t key(uint32_t tag, uint32_t state) { return tag | state; }

  // The tag of prog, given on its first use; 0 for one not seen yet.
  uint32_t find(const Program* prog) const {
    for (size_t i = 0; i < progs_.size(); ++i)
      if (progs_[i].get() == prog) return static_cast<uint32_t>(i + 1) << 16;
    return 0;
  }
  uint32_t tag(const std::shared_ptr<const Program>& prog) {
    if (uint32_t t = find(prog.get())) return t;
    if (progs_.size() == 0xFFFF) {  // never in practice
      forget_all();
      progs_.clear();
    }
    progs_.push_back(prog);
    return static_cast<uint32_t>(progs_.size()) << 16;
  }

  // Every note lies in [lo(), hi()); both are 0 when there is none.
  size_t lo() const { return lo_; }
  size_t hi() const { return hi_; }

  bool failed(uint32_t key, size_t pos) const {
    uint32_t k = slot_[pos];
    return k == key || (k != 0 && !more_.empty() && more_.count(Pair{base_ + pos, key}) != 0);
  }

  // pos < the capacity given to fit().
  void note(uint32_t key, size_t pos) {
    uint32_t& k = slot_[pos];
    if (k == key) return;
    if (k == 0)
      k = key;
    else
      more_.insert(Pair{base_ + pos, key});
    if (lo_ == hi_) {
      lo_ = pos;
      hi_ = pos + 1;
    } else {
      lo_ = std::min(lo_, pos);
      hi_ = std::max(hi_, pos + 1);
    }
  }

  // Room for positions below capacity.
  void fit(size_t capacity) {
    if (slot_.size() < capacity) slot_.resize(capacity, 0);
  }

  // The buffer dropped its first `keep` bytes.
  void discard(size_t keep) {
    base_ += keep;
    if (lo_ == hi_) return;
    size_t from = std::max(lo_, keep);
    if (from < hi_) std::copy(slot_.begin() + from, slot_.begin() + hi_, slot_.begin() + (from - keep));
    size_t new_hi = hi_ > keep ? hi_ - keep : 0;
    std::fill(slot_.begin() + std::max(lo_, new_hi), slot_.begin() + hi_, 0);
    if (new_hi == 0) {
      lo_ = hi_ = 0;
    } else {
      lo_ = from - keep;
      hi_ = new_hi;
    }
    drop_extra_below(base_);
  }

  // The byte at pos changed: the notes up to it no longer hold.
  void forget_to(size_t pos) {
    if (lo_ == hi_ || pos < lo_) return;
    size_t end = std::min(pos + 1, hi_);
    std::fill(slot_.begin() + lo_, slot_.begin() + end, 0);
    if (end == hi_)
      lo_ = hi_ = 0;
    else
      lo_ = end;
    drop_extra_below(base_ + pos + 1);
  }

  // Drops every note; the buffer may have moved in any way.
  void forget_all() {
    std::fill(slot_.begin() + lo_, slot_.begin() + hi_, 0);
    lo_ = hi_ = 0;
    more_.clear();
  }

 private:
  struct Pair {
    uint64_t pos;  // counted from the start of the buffer's history (base_)
    uint32_t key;
    bool operator==(const Pair& o) const { return pos == o.pos && key == o.key; }
  };
  struct PairHash {
    size_t operator()(const Pair& p) const {
      uint64_t h = (p.pos * 0x9E3779B97F4A7C15ull) ^ p.key;
      return static_cast<size_t>(h ^ (h >> 32));
    }
  };

  void drop_extra_below(uint64_t pos) {
    for (auto it = more_.begin(); it != more_.end();)
      it = it->pos < pos ? more_.erase(it) : std::next(it);
  }

  // One note per position in the slot; the second and later notes at one
  // position (scans that pass it in different states) in more_.
  std::vector<uint32_t> slot_;
  std::unordered_set<Pair, PairHash> more_;
  size_t lo_ = 0, hi_ = 0;
  uint64_t base_ = 0;  // how many bytes the buffer has dropped
  std::vector<std::shared_ptr<const Program>> progs_;
};

}  // namespace detail
}  // namespace reflex

#endif
