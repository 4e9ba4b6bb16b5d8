// Internal: the places where a scan is known to fail, so that later scans
// stop there instead of reading on to where it failed.
//
// A scan runs the DFA from a token's start until it dies and then takes the
// last place where it accepted. Every (state, position) it passed after that
// place leads to no accepting state over the rest of the input: a later scan
// that meets the same pair can stop there as if the DFA had died. So an
// unclosed comment, met again by the scan of every token inside it, is read
// to its end once rather than once per token.
//
// Only what a later scan can meet is noted: a later scan starts further on,
// so it reaches a position in fewer bytes, and a state reached in the fewest
// bytes that lead to it at all (Program::depth) is never met there again.
// The bounded repetition of a{1000} has only such states, an unclosed
// comment's body none.
//
// The memo is bounded by the buffer: one place in `stride` positions holds
// notes, two states each (a third replaces the second). A scan that meets a
// failed path between places runs with it to the next place and stops
// there, at most stride - 1 bytes later.
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
#include <vector>

#include "program.h"
#include "reflex/pattern.h"

namespace reflex {
namespace detail {

class FailureMemo {
 public:
  // A key is tag(pattern) | state, never 0: the state in the low
  // `state_bits` bits, the pattern's number above them.
  static constexpr unsigned state_bits = 20;
  static_assert(Pattern::max_states <= (size_t(1) << state_bits), "a memo key holds every state number");
  static constexpr size_t max_tags = (size_t(1) << (32 - state_bits)) - 1;
  static uint32_t key(uint32_t tag, uint32_t state) { return tag | state; }

  // One position in `stride` is a place.
  static constexpr size_t stride = 16;

  // The tag of prog, given on its first use; 0 for one not seen yet.
  uint32_t find(const Program* prog) const {
    for (size_t i = 0; i < progs_.size(); ++i)
      if (progs_[i].get() == prog) return static_cast<uint32_t>(i + 1) << state_bits;
    return 0;
  }
  uint32_t tag(const std::shared_ptr<const Program>& prog) {
    if (uint32_t t = find(prog.get())) return t;
    if (progs_.size() == max_tags) {  // a new start, with no notes of old tags left
      forget_all();
      progs_.clear();
    }
    progs_.push_back(prog);
    return static_cast<uint32_t>(progs_.size()) << state_bits;
  }

  // Every note lies in [lo(), hi()); both are 0 when there is none.
  size_t lo() const { return lo_; }
  size_t hi() const { return hi_; }

  // Whether pos is a place, and the first place at or after pos.
  bool place(size_t pos) const { return ((pos + phase_) & (stride - 1)) == 0; }
  size_t next_place(size_t pos) const { return pos + ((stride - ((pos + phase_) & (stride - 1))) & (stride - 1)); }

  // At a place.
  bool failed(uint32_t key, size_t pos) const {
    const uint32_t* k = &slot_[2 * index(pos)];
    return k[0] == key || k[1] == key;
  }

  // At a place below the capacity given to fit().
  void note(uint32_t key, size_t pos) {
    uint32_t* k = &slot_[2 * index(pos)];
    if (k[0] == key || k[1] == key) return;
    k[k[0] == 0 ? 0 : 1] = key;
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
    const size_t need = 2 * (capacity / stride + 2);
    if (slot_.size() < need) slot_.resize(need, 0);
    LEXGEN_COUNT_MOST(memo_bytes, bytes());
  }

  // Bytes of memory the notes take.
  size_t bytes() const { return slot_.capacity() * sizeof(uint32_t); }

  // The buffer dropped its first `keep` bytes.
  void discard(size_t keep) {
    if (lo_ == hi_) {
      phase_ = (phase_ + keep) & (stride - 1);
      return;
    }
    const size_t a = index(lo_), b = index(hi_ - 1) + 1;  // the places in use
    const size_t moved = (phase_ + keep) / stride;        // how far places move down
    phase_ = (phase_ + keep) & (stride - 1);
    const size_t first = std::max(a, moved + (phase_ != 0 ? 1 : 0));  // the first place kept
    if (hi_ <= keep || first >= b) {
      std::fill(slot_.begin() + 2 * a, slot_.begin() + 2 * b, 0);
      lo_ = hi_ = 0;
      return;
    }
    std::copy(slot_.begin() + 2 * first, slot_.begin() + 2 * b, slot_.begin() + 2 * (first - moved));
    std::fill(slot_.begin() + 2 * std::min(a, first - moved), slot_.begin() + 2 * (first - moved), 0);
    std::fill(slot_.begin() + 2 * (b - moved), slot_.begin() + 2 * b, 0);
    lo_ = lo_ > keep ? lo_ - keep : 0;
    hi_ -= keep;
  }

  // The byte at pos changed: the notes up to it no longer hold.
  void forget_to(size_t pos) {
    if (lo_ == hi_ || pos < lo_) return;
    const size_t last = std::min(pos, hi_ - 1);
    std::fill(slot_.begin() + 2 * index(lo_), slot_.begin() + 2 * (index(last) + 1), 0);
    if (last == hi_ - 1)
      lo_ = hi_ = 0;
    else
      lo_ = pos + 1;
  }

  // Drops every note; the buffer may have moved in any way.
  void forget_all() {
    if (lo_ != hi_) std::fill(slot_.begin() + 2 * index(lo_), slot_.begin() + 2 * (index(hi_ - 1) + 1), 0);
    lo_ = hi_ = 0;
  }

 private:
  // The place at or before pos.
  size_t index(size_t pos) const { return (pos + phase_) / stride; }

  // Two notes per place: slot_[2 * index(pos)] and the one after it.
  std::vector<uint32_t> slot_;
  size_t lo_ = 0, hi_ = 0;
  size_t phase_ = 0;  // bytes dropped by the buffer, modulo stride
  std::vector<std::shared_ptr<const Program>> progs_;
};

}  // namespace detail
}  // namespace reflex

#endif
