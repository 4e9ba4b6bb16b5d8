// Subset construction over byte classes, then Hopcroft minimisation, then
// the tables the Matcher runs.
//
// A DFA state is a set of NFA states together with what holds at its
// position: whether a line or the input starts there and whether a word
// byte comes before it (for assertions still pending), whether it is a
// start state (acceptance at length 0 is never reported), the rule accepted
// on entry, and the rule accepted one byte earlier when an assertion (a `$`,
// a `\b`) needed the byte just read.
//
// Assertions that look at the next byte stay pending in a state's set; they
// are decided on each transition by the kind of byte it reads (a newline,
// a word byte, another byte) and at the end of the input. Word bytes get
// byte classes of their own only when the pattern has word assertions, so
// other patterns compile to the same tables as before.
//
// A lazy quantifier ends its rule's match as early as it can while the
// rule's other paths go on: every path through one of its choices (to take
// more or to go on) carries its number, the first such number the path
// meets. When a non-start state accepts on a path that carries a number,
// the rule's paths that carry the same number are dropped there, so that
// quantifier yields no longer match; paths that never met it compete by
// length as usual. The elements of a state's set are NFA states with that
// number in the bits above them.
//
// `$` holds before "\r\n" too. At a "\r" it depends on the byte after it:
// the state the "\r" leads to then holds a second set, for when a newline
// follows, with the rules that this accepts there and one byte back; a
// newline goes on from that set and reports those rules (`before`,
// `before2`), over what the state itself reported. The "\r" has a byte
// class of its own only in patterns with `$`.
#include <algorithm>
#include <climits>
#include <iterator>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "program.h"
#include "reflex/pattern.h"

namespace reflex {
namespace detail {
namespace {

// Bounds the work of the subset construction, so that a pattern whose DFA
// states hold huge NFA state sets fails instead of taking minutes.
// It allows closures of ten NFA states a transition on average at the
// largest table (some 6 s).
constexpr size_t max_closure_work = 10 * Pattern::max_table;

// What follows a position, as far as assertions can tell.
enum class Next : uint8_t { unknown, newline, word, other, end, cr };
constexpr size_t kinds = 6;

struct Context {
  bool bol, boi, word;  // before the position: a line or the input starts, a word byte
  Next next;
};

struct KeyHash {
  size_t operator()(const std::vector<int32_t>& v) const {
    uint64_t h = 1469598103934665603ull;
    for (int32_t x : v) h = (h ^ static_cast<uint32_t>(x)) * 1099511628211ull;
    return static_cast<size_t>(h ^ (h >> 29));
  }
};

struct DState {
  std::vector<int32_t> set;     // bytes states and pending assertions
  std::vector<int32_t> set_nl;  // with `cr`: the set when a newline follows
  bool bol = false, boi = false, word = false, start = false;
  bool cr = false;  // entered by a "\r" that a `$` before it may need
  uint32_t accept = 0, before = 0, before2 = 0;
  // With `cr`: the rules accepted here and one byte back when a newline
  // follows (0 for none).
  uint32_t nl_accept = 0, nl_prev = 0;
  // When assertions are pending: the lazy quantifiers, as (rule, number),
  // that accepted here, whose paths end here also where a pending
  // assertion lets them through; and the same when a newline follows.
  std::vector<std::pair<uint32_t, uint32_t>> done, done_nl;
};

// The rule that wins of two (0: none).
uint32_t better(uint32_t a, uint32_t b) { return a == 0 || (b != 0 && b < a) ? b : a; }

class Builder {
 public:
  Builder(Program& prog, const Layouts& layouts) : prog_(prog), nfa_(prog.nfa), layouts_(layouts) {}

  void run() {
    const size_t n = nfa_.states.size();
    while ((size_t{1} << qbits_) < n) ++qbits_;
    for (const NState& st : nfa_.states)
      if (st.kind == NKind::lazy) marks_ = std::max(marks_, st.set);
    if (marks_ >= (uint32_t{1} << (31 - qbits_)))
      throw regex_error("pattern holds too many lazy quantifiers", regex_error::npos);
    make_classes();
    // Per element and way to reach it (only if a newline follows, with `$`):
    // all in stamp_ when that stays small, else those of the NFA states
    // alone, and seen_ has the others.
    nstates_ = n;
    ways_ = eol_ ? 2 : 1;
    const size_t all = n * (marks_ + 1) * ways_;
    stamp_.assign(all <= (size_t{1} << 22) ? all : n * ways_, 0);
    add_state(DState{});  // dead
    std::vector<int32_t> seeds(nfa_.start.begin(), nfa_.start.end());
    const Context ctx[4] = {{true, true, false, Next::unknown},
                            {true, false, false, Next::unknown},
                            {false, false, false, Next::unknown},
                            {false, false, true, Next::unknown}};
    for (int i = 0; i < 4; ++i) {
      if (i == after_word && !nfa_.word) {  // the same as elsewhere
        start_[i] = start_[elsewhere];
        continue;
      }
      closure(seeds, ctx[i], reach_);
      DState d;
      d.set = reach_.kept;
      d.bol = ctx[i].bol;
      d.boi = ctx[i].boi;
      d.word = ctx[i].word;
      d.start = true;
      start_[i] = add_state(std::move(d));
    }
    for (size_t i = 0; i < states_.size(); ++i) expand(i);
    minimise();
  }

 private:
  // What a closure reaches: the bytes states and the pending assertions
  // (sorted), the rules accepted, and the lazy quantifiers that accepted, as
  // (rule, number). With a "\r" next, what a `$` lets through only when a
  // newline follows it goes to the *_nl lists instead.
  struct Reach {
    std::vector<int32_t> kept, kept_nl;
    std::vector<uint32_t> accepts, accepts_nl;
    std::vector<std::pair<uint32_t, uint32_t>> done, done_nl;
  };

  int32_t q_of(int32_t e) const { return static_cast<int32_t>(static_cast<uint32_t>(e) & ((uint32_t{1} << qbits_) - 1)); }
  uint32_t mark_of(int32_t e) const { return static_cast<uint32_t>(e) >> qbits_; }
  int32_t marked(int32_t q, uint32_t mark) const {
    return static_cast<int32_t>(static_cast<uint32_t>(q) | (mark << qbits_));
  }
  // Whether a closure meets element e (reached only if a newline follows:
  // nl) for the first time.
  bool first_visit(int32_t e, bool nl) {
    size_t i = static_cast<size_t>(e);  // as it is without lazy quantifiers and `$`
    if (marks_ != 0 || ways_ != 1) i = (mark_of(e) * nstates_ + static_cast<size_t>(q_of(e))) * ways_ + nl;
    if (i >= stamp_.size()) return seen_.insert(i).second;
    if (stamp_[i] == gen_) return false;
    stamp_[i] = gen_;
    return true;
  }

  // Splits the bytes into classes that no set of the NFA tells apart; the
  // newline always has a class of its own, with word assertions the word
  // bytes have classes apart from the others, and with `$` the "\r" has
  // one.
  void make_classes() {
    uint16_t cid[256] = {};
    unsigned n = 1;
    auto refine = [&](const ByteSet& s) {
      std::vector<int> remap(2 * n, -1);
      unsigned next = 0;
      for (unsigned b = 0; b < 256; ++b) {
        int& r = remap[cid[b] * 2 + (s.test(b) ? 1 : 0)];
        if (r < 0) r = static_cast<int>(next++);
        cid[b] = static_cast<uint16_t>(r);
      }
      n = next;
    };
    ByteSet nl;
    nl.set('\n');
    refine(nl);
    for (const NState& st : nfa_.states) eol_ = eol_ || st.kind == NKind::eol;
    const bool eol = eol_;
    if (eol) {
      ByteSet cr;
      cr.set('\r');
      refine(cr);
    }
    if (nfa_.word) {
      ByteSet w;
      for (unsigned b = 0; b < 256; ++b)
        if (is_word_byte(static_cast<int>(b))) w.set(b);
      refine(w);
    }
    for (const ByteSet& s : nfa_.sets) refine(s);
    nclasses_ = n;
    std::vector<int> rep(n, -1);
    for (unsigned b = 0; b < 256; ++b) {
      cls_[b] = static_cast<uint8_t>(cid[b]);
      if (rep[cid[b]] < 0) rep[cid[b]] = static_cast<int>(b);
    }
    nl_class_ = cid[static_cast<unsigned char>('\n')];
    class_next_.assign(n, Next::other);
    for (unsigned c = 0; c < n; ++c) {
      if (c == nl_class_)
        class_next_[c] = Next::newline;
      else if (eol && rep[c] == '\r')
        class_next_[c] = Next::cr;
      else if (nfa_.word && is_word_byte(rep[c]))
        class_next_[c] = Next::word;
    }
    set_classes_.resize(nfa_.sets.size());
    for (size_t i = 0; i < nfa_.sets.size(); ++i)
      for (unsigned c = 0; c < n; ++c)
        if (nfa_.sets[i].test(static_cast<unsigned>(rep[c]))) set_classes_[i].push_back(static_cast<uint16_t>(c));
  }

  // The elements reached from seeds without consuming a byte under ctx, into
  // out (emptied first). An assertion that ctx decides against ends its
  // path; one it cannot decide is kept pending.
  void closure(const std::vector<int32_t>& seeds, Context ctx, Reach& out) {
    out.kept.clear();
    out.kept_nl.clear();
    out.accepts.clear();
    out.accepts_nl.clear();
    out.done.clear();
    out.done_nl.clear();
    if (++gen_ == 0) {
      std::fill(stamp_.begin(), stamp_.end(), 0);
      gen_ = 1;
    }
    if (!seen_.empty()) seen_.clear();  // clear() costs as many buckets as it has
    stack_.clear();
    // On the stack: an element, with the top bit set when it holds only if
    // a newline follows the "\r".
    const uint32_t only_nl = uint32_t{1} << 31;
    stack_.assign(seeds.begin(), seeds.end());
    while (!stack_.empty()) {
      const int32_t e = static_cast<int32_t>(stack_.back() & ~only_nl);
      const bool nl = (stack_.back() & only_nl) != 0;
      stack_.pop_back();
      if (!first_visit(e, nl)) continue;
      if (++work_ > max_closure_work) throw regex_error("pattern too complex to compile", regex_error::npos);
      const int32_t q = q_of(e);
      const uint32_t mark = mark_of(e);
      const NState& st = nfa_.states[q];
      auto go = [&](int32_t to, bool when_nl) {
        stack_.push_back(static_cast<uint32_t>(marked(to, mark)) | (when_nl ? only_nl : 0));
      };
      switch (st.kind) {
        case NKind::bytes:
          (nl ? out.kept_nl : out.kept).push_back(e);
          break;
        case NKind::split:
          go(st.out2, nl);
          go(st.out1, nl);
          break;
        case NKind::eps:
        case NKind::mark:
          go(st.out1, nl);
          break;
        case NKind::lazy:
          stack_.push_back(static_cast<uint32_t>(marked(st.out1, mark != 0 ? mark : st.set)) | (nl ? only_nl : 0));
          break;
        case NKind::bol:
          if (ctx.bol) go(st.out1, nl);
          break;
        case NKind::boi:
          if (ctx.boi) go(st.out1, nl);
          break;
        case NKind::eol:
          if (ctx.next == Next::cr) {
            go(st.out1, true);
            break;
          }
          [[fallthrough]];
        case NKind::eoi:
        case NKind::wordb:
        case NKind::nwordb:
        case NKind::wbeg:
        case NKind::wend:
          if (ctx.next == Next::unknown)
            out.kept.push_back(e);
          else if (holds(st.kind, ctx))
            go(st.out1, nl);
          break;
        case NKind::accept:
          (nl ? out.accepts_nl : out.accepts).push_back(st.rule);
          if (mark != 0) (nl ? out.done_nl : out.done).push_back({st.rule, mark});
          break;
      }
    }
    std::sort(out.kept.begin(), out.kept.end());
    std::sort(out.kept_nl.begin(), out.kept_nl.end());
  }

  // Whether an assertion on the next byte holds, once ctx.next is known.
  static bool holds(NKind kind, Context ctx) {
    bool after = ctx.next == Next::word;
    switch (kind) {
      case NKind::eol: return ctx.next == Next::newline || ctx.next == Next::end;
      case NKind::eoi: return ctx.next == Next::end;
      case NKind::wordb: return ctx.word != after;
      case NKind::nwordb: return ctx.word == after;
      case NKind::wbeg: return !ctx.word && after;
      case NKind::wend: return ctx.word && !after;
      default: return false;
    }
  }

  static uint32_t first_rule(const std::vector<uint32_t>& accepts) {
    uint32_t best = 0;
    for (uint32_t r : accepts) best = better(best, r);
    return best;
  }

  // Drops the elements of the lazy quantifiers that have just accepted.
  void prune_lazy(std::vector<int32_t>& set, const std::vector<std::pair<uint32_t, uint32_t>>& done) const {
    if (done.empty()) return;
    set.erase(std::remove_if(set.begin(), set.end(),
                             [&](int32_t e) {
                               const uint32_t mark = mark_of(e);
                               if (mark == 0) return false;
                               const std::pair<uint32_t, uint32_t> key{nfa_.states[q_of(e)].rule, mark};
                               return std::find(done.begin(), done.end(), key) != done.end();
                             }),
              set.end());
  }

  bool has_pending(const std::vector<int32_t>& set) const {
    for (int32_t e : set)
      if (nfa_.states[q_of(e)].kind != NKind::bytes) return true;
    return false;
  }

  uint32_t add_state(DState d) {
    if (!has_pending(d.set) && !(d.cr && has_pending(d.set_nl))) d.bol = d.boi = d.word = false;
    if (!nfa_.word) d.word = false;
    const int32_t head[] = {
        (d.bol ? 1 : 0) | (d.boi ? 2 : 0) | (d.start ? 4 : 0) | (d.word ? 8 : 0) | (d.cr ? 16 : 0),
        static_cast<int32_t>(d.accept), static_cast<int32_t>(d.before), static_cast<int32_t>(d.before2)};
    key_.assign(std::begin(head), std::end(head));
    key_.insert(key_.end(), d.set.begin(), d.set.end());
    if (d.cr) {
      const int32_t nl[] = {-1, static_cast<int32_t>(d.nl_accept), static_cast<int32_t>(d.nl_prev)};
      key_.insert(key_.end(), std::begin(nl), std::end(nl));
      key_.insert(key_.end(), d.set_nl.begin(), d.set_nl.end());
    }
    int32_t mark = -2;  // separates the lists, when there are any
    for (const auto* done : {&d.done, &d.done_nl}) {
      if (!done->empty()) key_.push_back(mark);
      for (const auto& rm : *done) {
        key_.push_back(static_cast<int32_t>(rm.first));
        key_.push_back(static_cast<int32_t>(rm.second));
      }
      --mark;
    }
    auto it = index_.find(key_);
    if (it != index_.end()) return it->second;
    const size_t limit = std::min(Pattern::max_states, Pattern::max_table / nclasses_);
    if (states_.size() >= limit)
      throw regex_error("pattern needs more than " + std::to_string(limit) + " DFA states", regex_error::npos);
    uint32_t id = static_cast<uint32_t>(states_.size());
    states_.push_back(std::move(d));
    index_.emplace(key_, id);
    return id;
  }

  // Per kind of next byte: the elements that move on such a byte, and the
  // rule accepted here that it decides (`before`); a "\r" also gives the
  // elements when a newline follows it, and the rule accepted here then.
  struct Move {
    bool decided = false;
    const std::vector<int32_t>* from = nullptr;  // the state's own set, or own
    const std::vector<int32_t>* from_nl = nullptr;
    std::vector<int32_t> own, own_nl;
    uint32_t before = 0, nl_here = 0;
  };

  void decide(const DState& d, Next next, Move& mv) {
    if (mv.decided) return;
    mv.decided = true;
    const bool nl_set = next == Next::newline && d.cr;
    const std::vector<int32_t>& set = nl_set ? d.set_nl : d.set;
    const uint32_t here = d.start ? 0 : d.accept;
    uint32_t r = 0, r_nl = 0;
    if (!has_pending(set)) {
      mv.from = mv.from_nl = &set;
    } else {
      closure(set, Context{d.bol, d.boi, d.word, next}, reach_);
      mv.own = reach_.kept;
      mv.from = mv.from_nl = &mv.own;
      if (next == Next::cr) {
        std::set_union(reach_.kept.begin(), reach_.kept.end(), reach_.kept_nl.begin(), reach_.kept_nl.end(),
                       std::back_inserter(mv.own_nl));
        mv.from_nl = &mv.own_nl;
      }
      if (!d.start) {  // an empty match is never reported
        const auto& done_here = nl_set ? d.done_nl : d.done;
        prune_lazy(mv.own, done_here);
        prune_lazy(mv.own, reach_.done);
        if (next == Next::cr) {
          prune_lazy(mv.own_nl, done_here);
          prune_lazy(mv.own_nl, reach_.done);
          prune_lazy(mv.own_nl, reach_.done_nl);
        }
        r = first_rule(reach_.accepts);
        r_nl = first_rule(reach_.accepts_nl);
      }
    }
    if (nl_set) {
      // What the "\r" before reported is replaced: all that holds here.
      mv.before = better(r, d.nl_accept);
    } else {
      mv.before = r != 0 && (here == 0 || r < here) ? r : 0;
    }
    if (next == Next::cr) mv.nl_here = better(better(here, r), r_nl);
  }

  void expand(size_t i) {
    const DState d = states_[i];
    trans_.resize((i + 1) * nclasses_, 0);
    at_end_.resize(i + 1, 0);
    if (!d.start) at_end_[i] = d.accept;
    if (d.set.empty() && !(d.cr && (!d.set_nl.empty() || d.nl_accept != 0 || d.nl_prev != 0)))
      return;  // every byte leads to the dead state

    Move moves[kinds];
    for (unsigned c = 0; c < nclasses_; ++c) decide(d, class_next_[c], moves[static_cast<size_t>(class_next_[c])]);
    if (has_pending(d.set) && !d.start) {
      closure(d.set, Context{d.bol, d.boi, d.word, Next::end}, reach_);
      uint32_t r = first_rule(reach_.accepts);
      if (r != 0 && (d.accept == 0 || r < d.accept)) at_end_[i] = r;
    }

    // The targets of each class's bytes, from the elements that move on a
    // byte of its kind.
    buckets_.assign(nclasses_, {});
    const Move& at_cr = moves[static_cast<size_t>(Next::cr)];
    if (at_cr.decided) buckets_nl_.assign(nclasses_, {});
    // kind unknown: the bytes of every kind, when all move from one set.
    auto fill = [&](const std::vector<int32_t>& from, Next kind, std::vector<std::vector<int32_t>>& buckets) {
      for (int32_t e : from) {
        const NState& st = nfa_.states[q_of(e)];
        if (st.kind != NKind::bytes) continue;
        const int32_t to = marked(st.out1, mark_of(e));
        for (uint16_t c : set_classes_[st.set])
          if (kind == Next::unknown || class_next_[c] == kind) buckets[c].push_back(to);
      }
    };
    if (!has_pending(d.set) && !d.cr) {
      fill(d.set, Next::unknown, buckets_);
      if (at_cr.decided) fill(d.set, Next::cr, buckets_nl_);
    } else {
      for (size_t k = 0; k < kinds; ++k) {
        if (!moves[k].decided) continue;
        fill(*moves[k].from, static_cast<Next>(k), buckets_);
        if (static_cast<Next>(k) == Next::cr) fill(*moves[k].from_nl, Next::cr, buckets_nl_);
      }
    }
    for (unsigned c = 0; c < nclasses_; ++c) {
      const Next kind = class_next_[c];
      const Move& mv = moves[static_cast<size_t>(kind)];
      const bool nl = kind == Next::newline;
      const uint32_t here = better(d.start ? 0 : d.accept, mv.before);
      if (buckets_[c].empty() && mv.before == 0 && !(nl && d.cr && d.nl_prev != 0) &&
          !(kind == Next::cr && (!buckets_nl_[c].empty() || mv.nl_here != here)))
        continue;  // to the dead state
      DState t;
      t.bol = nl;
      t.word = kind == Next::word;
      t.before = mv.before;
      if (nl && d.cr) t.before2 = d.nl_prev;
      // The lazy quantifiers that accepted matter on where assertions are
      // pending.
      auto note_done = [&](const std::vector<int32_t>& set, std::vector<std::pair<uint32_t, uint32_t>>& done) {
        if (reach_.done.empty() || !has_pending(set)) return;
        done = reach_.done;
        std::sort(done.begin(), done.end());
        done.erase(std::unique(done.begin(), done.end()), done.end());
      };
      closure(buckets_[c], Context{nl, false, t.word, Next::unknown}, reach_);
      prune_lazy(reach_.kept, reach_.done);
      t.set = reach_.kept;
      t.accept = first_rule(reach_.accepts);
      note_done(t.set, t.done);
      if (kind == Next::cr) {
        closure(buckets_nl_[c], Context{false, false, false, Next::unknown}, reach_);
        prune_lazy(reach_.kept, reach_.done);
        std::vector<std::pair<uint32_t, uint32_t>> done_nl;
        note_done(reach_.kept, done_nl);
        t.cr = reach_.kept != t.set || first_rule(reach_.accepts) != t.accept || mv.nl_here != here ||
               done_nl != t.done;
        if (t.cr) {
          t.set_nl = reach_.kept;
          t.nl_accept = first_rule(reach_.accepts);
          t.nl_prev = mv.nl_here;
          t.done_nl = std::move(done_nl);
        }
      }
      // A byte that leads nowhere still needs a state to report `before`.
      if (t.set.empty() && t.accept == 0 && t.before == 0 && t.before2 == 0 && !t.cr) continue;
      trans_[i * nclasses_ + c] = add_state(std::move(t));
    }
  }

  // Hopcroft's partition refinement; then renumbers the classes so that
  // the dead state is 0, the states without a run come next, then those
  // with a short run and last those with a long one, and writes the tables
  // of the Program.
  void minimise() {
    Partition part = accepting_blocks();
    refine(part, inverse());
    const Numbering num = number_blocks(part);
    write_transitions(part, num);
    write_starts(part, num);
    write_flat();
    write_run_sets(num);
    write_tokens();
    build_restarts();
  }

  // The blocks of states that minimise() refines: block b holds the states
  // elems[first[b], last[b]), and while it is being split those before
  // mid[b] are the ones marked; state s lies at elems[loc[s]], in block
  // blk[s].
  struct Partition {
    std::vector<uint32_t> elems, loc, blk;
    std::vector<uint32_t> first, last, mid;
  };

  // The transitions backwards: the states that class c leads to state t
  // are from[start[c * n + t], start[c * n + t + 1]), n states in all.
  struct Inverse {
    std::vector<uint32_t> start, from;
  };

  // The blocks as the Program numbers them: per block a state of it (rep),
  // its number, its kind (0: no run, 1: a short run, 2: a long one) and the
  // bytes that lead it back to itself; and where each kind starts.
  struct Numbering {
    std::vector<uint32_t> rep, number;
    std::vector<int> kind;
    std::vector<ByteSet> stays;
    uint32_t dead = 0;  // the block of the dead state
    uint32_t count = 0, runs = 0, long_runs = 0;
  };

  // The inverse transitions per (class, target), as one compressed array.
  Inverse inverse() const {
    const size_t n = states_.size();
    const unsigned k = nclasses_;
    Inverse inv;
    inv.start.assign(k * n + 1, 0);
    for (size_t s = 0; s < n; ++s)
      for (unsigned c = 0; c < k; ++c) ++inv.start[c * n + trans_[s * k + c] + 1];
    for (size_t i = 1; i < inv.start.size(); ++i) inv.start[i] += inv.start[i - 1];
    inv.from.resize(n * k);
    std::vector<uint32_t> fillpos(inv.start.begin(), inv.start.end() - 1);
    for (size_t s = 0; s < n; ++s)
      for (unsigned c = 0; c < k; ++c) inv.from[fillpos[c * n + trans_[s * k + c]]++] = static_cast<uint32_t>(s);
    return inv;
  }

  // The initial blocks: states that accept alike.
  Partition accepting_blocks() const {
    const size_t n = states_.size();
    Partition part;
    part.elems.resize(n);
    part.loc.resize(n);
    part.blk.resize(n);
    std::vector<std::pair<std::array<uint32_t, 4>, uint32_t>> order;
    for (size_t s = 0; s < n; ++s)
      order.push_back({{states_[s].start ? 0 : states_[s].accept, states_[s].before, states_[s].before2, at_end_[s]},
                       static_cast<uint32_t>(s)});
    std::sort(order.begin(), order.end());
    for (size_t i = 0; i < n; ++i) {
      if (i == 0 || order[i].first != order[i - 1].first) {
        if (i > 0) part.last.push_back(static_cast<uint32_t>(i));
        part.first.push_back(static_cast<uint32_t>(i));
      }
      part.elems[i] = order[i].second;
      part.loc[order[i].second] = static_cast<uint32_t>(i);
      part.blk[order[i].second] = static_cast<uint32_t>(part.first.size() - 1);
    }
    part.last.push_back(static_cast<uint32_t>(n));
    part.mid = part.first;
    return part;
  }

  // Splits the blocks until no class leads the states of one block into
  // different blocks (Hopcroft: when a block on the work list splits, both
  // halves go on it, else only the smaller one).
  void refine(Partition& part, const Inverse& inv) const {
    const size_t n = states_.size();
    const unsigned k = nclasses_;
    std::vector<uint32_t>& elems = part.elems;
    std::vector<uint32_t>& loc = part.loc;
    std::vector<uint32_t>& blk = part.blk;
    std::vector<uint32_t>& first = part.first;
    std::vector<uint32_t>& last = part.last;
    std::vector<uint32_t>& mid = part.mid;
    std::vector<uint32_t> work;
    std::vector<char> in_work(first.size(), 1);
    for (uint32_t b = 0; b < first.size(); ++b) work.push_back(b);
    std::vector<uint32_t> splitter, touched;
    while (!work.empty()) {
      uint32_t a = work.back();
      work.pop_back();
      in_work[a] = 0;
      splitter.assign(elems.begin() + first[a], elems.begin() + last[a]);
      for (unsigned c = 0; c < k; ++c) {
        touched.clear();
        for (uint32_t t : splitter) {
          for (uint32_t j = inv.start[c * n + t]; j < inv.start[c * n + t + 1]; ++j) {
            uint32_t q = inv.from[j];
            uint32_t b = blk[q];
            if (loc[q] < mid[b]) continue;  // marked already
            if (mid[b] == first[b]) touched.push_back(b);
            uint32_t other = elems[mid[b]];
            std::swap(elems[loc[q]], elems[mid[b]]);
            loc[other] = loc[q];
            loc[q] = mid[b];
            ++mid[b];
          }
        }
        for (uint32_t b : touched) {
          if (mid[b] == last[b]) {
            mid[b] = first[b];
            continue;
          }
          uint32_t nb = static_cast<uint32_t>(first.size());
          first.push_back(first[b]);
          last.push_back(mid[b]);
          mid.push_back(first[b]);
          first[b] = mid[b];
          for (uint32_t j = first[nb]; j < last[nb]; ++j) blk[elems[j]] = nb;
          if (in_work[b] || last[nb] - first[nb] < last[b] - first[b]) {
            work.push_back(nb);
            in_work.push_back(1);
          } else {
            in_work.push_back(0);
            work.push_back(b);
            in_work[b] = 1;
          }
        }
      }
    }
  }

  // Renumber: the dead state first, then the states without a run, those
  // with a short run and those with a long one.
  Numbering number_blocks(const Partition& part) const {
    const unsigned k = nclasses_;
    const size_t nb = part.first.size();
    Numbering num;
    num.rep.resize(nb);
    num.number.assign(nb, 0);
    num.stays.resize(nb);
    num.kind.assign(nb, 0);
    for (uint32_t b = 0; b < nb; ++b) num.rep[b] = part.elems[part.first[b]];
    for (uint32_t b = 0; b < nb; ++b) {
      const uint32_t* from = &trans_[num.rep[b] * k];
      unsigned size = 0;
      for (unsigned byte = 0; byte < 256; ++byte)
        if (part.blk[from[cls_[byte]]] == b) {
          num.stays[b].set(byte);
          ++size;
        }
      num.kind[b] = size == 0 ? 0 : size < long_run_bytes ? 1 : 2;
    }
    uint32_t next = 1;
    num.dead = part.blk[0];
    uint32_t first_of[3] = {0, 0, 0};
    for (int kd = 0; kd < 3; ++kd) {
      first_of[kd] = next;
      for (uint32_t b = 0; b < nb; ++b)
        if (b != num.dead && num.kind[b] == kd) num.number[b] = next++;
    }
    num.count = next;
    num.runs = first_of[1];
    num.long_runs = first_of[2];
    return num;
  }

  // Program::next, column and info: the transitions of the minimised DFA
  // and what each of its states accepts.
  void write_transitions(const Partition& part, const Numbering& num) {
    const unsigned k = nclasses_;
    const uint32_t count = num.count;
    prog_.nclasses = k;
    prog_.nstates = count;
    prog_.runs = num.runs;
    prog_.long_runs = num.long_runs;
    prog_.next.assign(static_cast<size_t>(k) * count, 0);
    prog_.info.assign(count, Program::StateInfo{0, 0, 0, 0, 0});
    for (uint32_t b = 0; b < part.first.size(); ++b) {
      uint32_t s = num.rep[b];
      uint32_t to = num.number[b];
      bool dead_end = true;
      for (unsigned c = 0; c < k; ++c) {
        uint32_t t = num.number[part.blk[trans_[s * k + c]]];
        prog_.next[static_cast<size_t>(c) * count + to] = t;
        dead_end = dead_end && t == 0;
      }
      Program::StateInfo& info = prog_.info[to];
      info.accept = states_[s].start ? 0 : states_[s].accept;
      info.before = states_[s].before;
      info.before2 = states_[s].before2;
      info.at_end = at_end_[s];
      // Nothing but the dead state follows, and the end of the input adds
      // nothing: the match is decided without reading further.
      info.stop = dead_end && info.at_end == info.accept ? 1 : 0;
    }
    for (unsigned byte = 0; byte < 256; ++byte)
      prog_.column[byte] = prog_.next.data() + static_cast<size_t>(cls_[byte]) * count;
  }

  // Program::start, context_after, start_after and first: where a scan
  // starts, by what comes before it.
  void write_starts(const Partition& part, const Numbering& num) {
    for (int i = 0; i < 4; ++i) prog_.start[i] = num.number[part.blk[start_[i]]];
    for (unsigned byte = 0; byte < 256; ++byte) {
      prog_.context_after[byte] = static_cast<uint8_t>(byte == '\n'                            ? at_line_start
                                                       : is_word_byte(static_cast<int>(byte)) ? after_word
                                                                                              : elsewhere);
      prog_.start_after[byte] = prog_.start[prog_.context_after[byte]];
    }
    prog_.first.resize(4 * 256);
    for (unsigned i = 0; i < 4; ++i)
      for (unsigned byte = 0; byte < 256; ++byte) prog_.first[i * 256 + byte] = prog_.column[byte][prog_.start[i]];
  }

  // Program::flat, when the DFA has at most 256 states and it is wanted.
  void write_flat() {
    const uint32_t count = prog_.nstates;
    if (count > 256 || !layouts_.flat) return;
    prog_.flat.resize(static_cast<size_t>(count) * 256);
    for (uint32_t q = 0; q < count; ++q)
      for (unsigned byte = 0; byte < 256; ++byte)
        prog_.flat[q * 256 + byte] = static_cast<uint16_t>(prog_.column[byte][q] * 256);
  }

  // Program::run_sets, of the states with a long run.
  void write_run_sets(const Numbering& num) {
    prog_.run_sets.resize(num.count - num.long_runs);
    for (uint32_t b = 0; b < num.number.size(); ++b)
      if (b != num.dead && num.kind[b] == 2) prog_.run_sets[num.number[b] - num.long_runs] = run_set(num.stays[b]);
  }

  // Program::token, from what each state accepts.
  void write_tokens() {
    prog_.token.resize(prog_.nstates);
    for (uint32_t q = 0; q < prog_.nstates; ++q) {
      const uint32_t r = prog_.info[q].accept;
      prog_.token[q] = r != 0 && !nfa_.look[r - 1] ? r : 0;
    }
  }

  // The table of Program::restart, when the DFA has no word assertions and
  // it and the copies of the states that start a token fit in 256 states.
  void build_restarts() {
    const uint32_t count = prog_.nstates;
    if (nfa_.word || count > 256 || !layouts_.restart) return;
    // Which bytes lead into each state: a newline, others or both.
    std::vector<uint8_t> by_nl(count, 0), by_other(count, 0);
    for (uint32_t q = 0; q < count; ++q)
      for (unsigned byte = 0; byte < 256; ++byte) {
        const uint32_t t = prog_.column[byte][q];
        (byte == '\n' ? by_nl : by_other)[t] = 1;
      }
    // The states a token's first byte leads to (not a long run), each with
    // a copy, numbered from `count` on.
    std::vector<uint32_t> copy(count, 0);
    uint32_t total = count;
    for (unsigned byte = 0; byte < 256; ++byte)
      for (int ctx : {at_line_start, elsewhere}) {
        const uint32_t r = prog_.first[ctx * 256 + byte];
        if (r != 0 && r < prog_.long_runs && copy[r] == 0) copy[r] = total++;
      }
    if (total > 256) return;
    std::vector<uint32_t> original(total);
    for (uint32_t q = 0; q < count; ++q) {
      original[q] = q;
      if (copy[q] != 0) original[copy[q]] = q;
    }
    prog_.restart.assign(static_cast<size_t>(total) * 256, 0);
    prog_.restart_token.assign(total, 0);
    prog_.restart_copies = count;
    for (uint32_t q = 1; q < total; ++q) {
      const uint32_t o = original[q];
      prog_.restart_token[q] = prog_.token[o];
      if (o >= prog_.long_runs) continue;  // never entered: its entries stay 0
      for (unsigned byte = 0; byte < 256; ++byte) {
        uint32_t t = prog_.column[byte][o];
        if (t >= prog_.long_runs) {
          t = 0;  // a long run is crossed by the Matcher's other loop
        } else if (t == 0 && prog_.token[o] != 0) {
          // The token ends before this byte, and the next one starts with
          // it; where it starts a line or not decides, only when both can
          // be and they differ does the other loop take over.
          const uint32_t at_line = prog_.first[at_line_start * 256 + byte];
          const uint32_t not_at_line = prog_.first[elsewhere * 256 + byte];
          const uint32_t r = !by_nl[o] ? not_at_line : !by_other[o] ? at_line : at_line == not_at_line ? at_line : 0;
          t = r != 0 && r < prog_.long_runs ? copy[r] : 0;
        }
        prog_.restart[byte * total + q] = static_cast<uint8_t>(t);
      }
    }
    for (unsigned byte = 0; byte < 256; ++byte) prog_.restart_column[byte] = prog_.restart.data() + byte * total;
    // The pairs, when they stay well inside the first-level cache (and
    // their offsets fit 16 bits). Each entry depends on the byte only
    // through its class.
    const size_t classes = prog_.nclasses;
    constexpr size_t most = 24 * 1024;
    static_assert(most <= 65536, "the offsets into the pairs are 16 bits");
    if (classes * classes * total > most || !layouts_.pairs) return;
    std::vector<const uint8_t*> of_class(classes);
    for (unsigned byte = 0; byte < 256; ++byte) {
      of_class[cls_[byte]] = prog_.restart_column[byte];
      prog_.restart_pair_at[byte] = static_cast<uint16_t>(cls_[byte] * classes * total);
      prog_.restart_second_at[byte] = static_cast<uint16_t>(cls_[byte] * total);
    }
    prog_.restart_pairs.assign(classes * classes * total, 0);
    for (size_t c = 0; c < classes; ++c)
      for (size_t c2 = 0; c2 < classes; ++c2)
        for (size_t q = 0; q < total; ++q) {
          const uint8_t m = of_class[c][q];
          prog_.restart_pairs[(c * classes + c2) * total + q] = m != 0 ? of_class[c2][m] : 0;
        }
  }

  // A run that this many bytes continue is taken to be long (a comment or
  // string body, the rest of a line): the Matcher tests 16 bytes at a time
  // for its end. Shorter runs (a name, blanks, digits) mostly end within a
  // few bytes, where a byte at a time is quicker.
  static constexpr unsigned long_run_bytes = 128;

  // The ranges of the bytes in set, when there are at most `max`.
  static bool ranges(const ByteSet& set, std::vector<std::pair<unsigned, unsigned>>& out, size_t max) {
    out.clear();
    for (unsigned c = 0; c < 256; ++c) {
      if (!set.test(c)) continue;
      if (!out.empty() && out.back().second + 1 == c) {
        out.back().second = c;
      } else {
        if (out.size() == max) return false;
        out.push_back({c, c});
      }
    }
    return true;
  }

  // The 16-bytes-at-a-time test of a run: by the bytes that end it or by
  // those that continue it, whichever takes at most four ranges.
  static RunSet run_set(const ByteSet& stay) {
    RunSet r{};
    ByteSet leave = stay;
    leave.flip();
    std::vector<std::pair<unsigned, unsigned>> found;
    if (ranges(leave, found, 4)) {
      r.flip = 0;
    } else if (ranges(stay, found, 4)) {
      r.flip = 0xFFFF;
    } else {
      return r;
    }
    r.vector = 1;
    for (size_t i = 0; i < 4; ++i) {
      int8_t bias = 0, limit = -128;
      if (i < found.size()) {
        bias = static_cast<int8_t>(static_cast<uint8_t>(0x80 - found[i].first));
        limit = static_cast<int8_t>(static_cast<int>(found[i].second - found[i].first) + 1 - 128);
      }
      std::fill(std::begin(r.bias[i]), std::end(r.bias[i]), bias);
      std::fill(std::begin(r.limit[i]), std::end(r.limit[i]), limit);
    }
    return r;
  }

  Program& prog_;
  const Nfa& nfa_;
  const Layouts layouts_;
  unsigned nclasses_ = 0;
  unsigned nl_class_ = 0;
  uint8_t cls_[256] = {};
  std::vector<Next> class_next_;  // per class: the kind of its bytes
  std::vector<std::vector<uint16_t>> set_classes_;
  unsigned qbits_ = 0;  // the bits of an NFA state in an element
  size_t nstates_ = 0;  // of the NFA
  bool eol_ = false;    // the NFA has a `$`
  size_t ways_ = 1;
  uint32_t marks_ = 0;  // the most lazy quantifiers of a rule
  std::vector<uint32_t> stamp_;  // per element and way: the closure that met it
  uint32_t gen_ = 0;
  std::unordered_set<size_t> seen_;  // those that stamp_ has no room for
  std::vector<uint32_t> stack_;
  Reach reach_;
  size_t work_ = 0;
  std::vector<DState> states_;
  std::unordered_map<std::vector<int32_t>, uint32_t, KeyHash> index_;
  std::vector<int32_t> key_;
  std::vector<uint32_t> trans_;
  std::vector<uint32_t> at_end_;
  std::vector<std::vector<int32_t>> buckets_, buckets_nl_;
  uint32_t start_[4] = {0, 0, 0, 0};
};

// Program::depth, breadth first from the start states.
void find_depths(Program& prog) {
  const uint32_t none = UINT32_MAX;
  prog.depth.assign(prog.nstates, none);
  std::vector<uint32_t> queue;
  for (uint32_t s : prog.start)
    if (prog.depth[s] == none) {
      prog.depth[s] = 0;
      queue.push_back(s);
    }
  for (size_t i = 0; i < queue.size(); ++i) {
    const uint32_t q = queue[i];
    for (uint32_t c = 0; c < prog.nclasses; ++c) {
      const uint32_t t = prog.next[static_cast<size_t>(c) * prog.nstates + q];
      if (prog.depth[t] == none) {
        prog.depth[t] = prog.depth[q] + 1;
        queue.push_back(t);
      }
    }
  }
}

}  // namespace

void build_dfa(Program& prog, const Layouts& layouts) {
  Builder(prog, layouts).run();
  find_depths(prog);
}

}  // namespace detail
}  // namespace reflex
