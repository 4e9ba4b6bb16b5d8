// Regular expression parser: builds a syntax tree, then a Thompson NFA with
// one accepting state per top-level alternative (rule).
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "program.h"
#include "reflex/pattern.h"

namespace reflex {
namespace detail {
namespace {

constexpr size_t max_nfa_states = 250000;
constexpr int max_repeat = 1000;
constexpr int max_group_depth = 256;
constexpr int max_tree_depth = 1000;

struct Flags {
  bool fold = false;       // (?i)
  bool multiline = false;  // (?m)
  bool dotall = false;     // (?s)
};

struct Node {
  enum Kind : uint8_t { empty, bytes, cat, alt, repeat, anchor, look };
  Kind kind = empty;
  NKind anchor_kind = NKind::bol;
  bool has_look = false;
  uint32_t set = 0;
  int min = 0;
  int max = 0;  // -1: unbounded
  int depth = 1;
  std::vector<int> kids;
};

ByteSet posix_class(const std::string& name, bool& known) {
  ByteSet s;
  known = true;
  if (name == "alpha") {
    s.set_range('A', 'Z');
    s.set_range('a', 'z');
  } else if (name == "digit") {
    s.set_range('0', '9');
  } else if (name == "alnum") {
    s.set_range('0', '9');
    s.set_range('A', 'Z');
    s.set_range('a', 'z');
  } else if (name == "space") {
    s.set_range('\t', '\r');
    s.set(' ');
  } else if (name == "upper") {
    s.set_range('A', 'Z');
  } else if (name == "lower") {
    s.set_range('a', 'z');
  } else if (name == "punct") {
    s.set_range('!', '/');
    s.set_range(':', '@');
    s.set_range('[', '`');
    s.set_range('{', '~');
  } else if (name == "xdigit") {
    s.set_range('0', '9');
    s.set_range('A', 'F');
    s.set_range('a', 'f');
  } else if (name == "print") {
    s.set_range(' ', '~');
  } else if (name == "cntrl") {
    s.set_range(0, 31);
    s.set(127);
  } else if (name == "blank") {
    s.set(' ');
    s.set('\t');
  } else {
    known = false;
  }
  return s;
}

// Adds the other case of every ASCII letter in s.
void fold_case(ByteSet& s) {
  for (unsigned c = 'a'; c <= 'z'; ++c) {
    if (s.test(c) || s.test(c - 32)) {
      s.set(c);
      s.set(c - 32);
    }
  }
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Parser {
 public:
  Parser(const std::string& re, Nfa& nfa) : re_(re), nfa_(nfa) {}

  void run() {
    std::vector<int> rules;
    for (;;) {
      lazy_ = false;
      int seq = parse_seq();
      rules.push_back(seq);
      nfa_.lazy.push_back(lazy_);
      nfa_.look.push_back(nodes_[seq].has_look);
      if (at_end()) break;
      if (peek() == '|') {
        ++pos_;
        continue;
      }
      fail("unmatched ')'", pos_);
    }
    for (size_t r = 0; r < rules.size(); ++r) {
      rule_ = static_cast<uint32_t>(r + 1);
      int accept = new_state(NKind::accept, -1, -1);
      nfa_.accept.push_back(accept);
      nfa_.start.push_back(build(rules[r], accept));
    }
  }

 private:
  [[noreturn]] void fail(const std::string& what, size_t at) const { throw regex_error(what, at); }
  bool at_end() const { return pos_ >= re_.size(); }
  unsigned char peek() const { return static_cast<unsigned char>(re_[pos_]); }

  int add(Node n) {
    for (int k : n.kids) {
      if (nodes_[k].depth + 1 > n.depth) n.depth = nodes_[k].depth + 1;
      if (nodes_[k].has_look) n.has_look = true;
    }
    if (n.depth > max_tree_depth) fail("expression nested too deeply", pos_);
    nodes_.push_back(std::move(n));
    return static_cast<int>(nodes_.size() - 1);
  }

  int add_set(ByteSet s) {
    auto it = set_ids_.find(s);
    uint32_t id;
    if (it == set_ids_.end()) {
      id = static_cast<uint32_t>(nfa_.sets.size());
      nfa_.sets.push_back(s);
      set_ids_.emplace(s, id);
    } else {
      id = it->second;
    }
    Node n;
    n.kind = Node::bytes;
    n.set = id;
    return add(std::move(n));
  }

  int add_byte(unsigned char c) {
    ByteSet s;
    s.set(c);
    if (flags_.fold) fold_case(s);
    return add_set(s);
  }

  // Alternatives up to a ')' or the end.
  int parse_alt() {
    Node n;
    n.kind = Node::alt;
    for (;;) {
      n.kids.push_back(parse_seq());
      if (at_end() || peek() != '|') break;
      ++pos_;
    }
    if (n.kids.size() == 1) return n.kids[0];
    return add(std::move(n));
  }

  // One alternative: items up to '|', ')' or the end.
  int parse_seq() {
    Node n;
    n.kind = Node::cat;
    while (!at_end() && peek() != '|' && peek() != ')') {
      size_t at = pos_;
      int item = parse_atom(n.kids);
      if (item < 0) continue;
      item = parse_quantifiers(item);
      if (!n.kids.empty() && nodes_[n.kids.back()].has_look)
        fail("trailing context (?=...) must end its alternative", at);
      n.kids.push_back(item);
    }
    if (n.kids.empty()) return add(Node());
    if (n.kids.size() == 1) return n.kids[0];
    return add(std::move(n));
  }

  int parse_quantifiers(int item) {
    while (!at_end()) {
      size_t at = pos_;
      int lo, hi;
      unsigned char c = peek();
      if (c == '*') {
        lo = 0, hi = -1;
        ++pos_;
      } else if (c == '+') {
        lo = 1, hi = -1;
        ++pos_;
      } else if (c == '?') {
        lo = 0, hi = 1;
        ++pos_;
      } else if (c == '{') {
        parse_braces(lo, hi);
      } else {
        break;
      }
      if (!at_end() && peek() == '?') {
        ++pos_;
        lazy_ = true;
      }
      if (nodes_[item].has_look) fail("trailing context (?=...) cannot be repeated", at);
      Node n;
      n.kind = Node::repeat;
      n.min = lo;
      n.max = hi;
      n.kids.push_back(item);
      item = add(std::move(n));
    }
    return item;
  }

  // {n}, {n,} or {n,m}
  void parse_braces(int& lo, int& hi) {
    size_t at = pos_++;
    auto number = [&](int& v) {
      if (at_end() || !isdigit(peek())) return false;
      v = 0;
      while (!at_end() && isdigit(peek())) {
        v = v * 10 + (peek() - '0');
        if (v > max_repeat) fail("repetition count above " + std::to_string(max_repeat), at);
        ++pos_;
      }
      return true;
    };
    if (!number(lo)) fail("invalid repetition {...}", at);
    hi = lo;
    if (!at_end() && peek() == ',') {
      ++pos_;
      if (!number(hi)) hi = -1;
    }
    if (at_end() || peek() != '}') fail("invalid repetition {...}", at);
    ++pos_;
    if (hi >= 0 && hi < lo) fail("invalid repetition {n,m} with m < n", at);
  }

  // One atom; -1 when it produced no node (a flag group, an empty \Q\E).
  // A literal \Q...\E pushes all its bytes but the last into `items` and
  // returns the last, so a quantifier applies to that byte only.
  int parse_atom(std::vector<int>& items) {
    size_t at = pos_;
    unsigned char c = peek();
    ++pos_;
    switch (c) {
      case '(':
        return parse_group(at);
      case '[':
        return add_set(parse_class(at));
      case '.': {
        ByteSet s;
        s.flip();
        if (!flags_.dotall) s.bits[0] &= ~(uint64_t(1) << '\n');
        return add_set(s);
      }
      case '^':
        return add_anchor(flags_.multiline ? NKind::bol : NKind::boi);
      case '$':
        return add_anchor(flags_.multiline ? NKind::eol : NKind::eoi);
      case '*':
      case '+':
      case '?':
      case '{':
        fail("nothing to repeat", at);
      case '\\':
        return parse_escape(at, items);
      default:
        return add_byte(c);
    }
  }

  int add_anchor(NKind k) {
    Node n;
    n.kind = Node::anchor;
    n.anchor_kind = k;
    return add(std::move(n));
  }

  int parse_group(size_t at) {
    if (group_depth_ >= max_group_depth) fail("groups nested too deeply", at);
    Flags saved = flags_;
    bool look = false;
    if (!at_end() && peek() == '?') {
      ++pos_;
      if (at_end()) fail("missing ')'", at);
      unsigned char c = peek();
      if (c == ':') {
        ++pos_;
      } else if (c == '=') {
        ++pos_;
        if (in_look_) fail("trailing context inside trailing context", at);
        look = true;
      } else if (c == '!') {
        fail("negative lookahead (?!...) is not supported", at);
      } else if (c == '<') {
        fail("lookbehind and named groups are not supported", at);
      } else {
        Flags f = flags_;
        while (!at_end() && (peek() == 'i' || peek() == 'm' || peek() == 's')) {
          if (peek() == 'i') f.fold = true;
          if (peek() == 'm') f.multiline = true;
          if (peek() == 's') f.dotall = true;
          ++pos_;
        }
        if (at_end()) fail("missing ')'", at);
        if (peek() == ')') {  // (?ims): for the rest of the enclosing group
          ++pos_;
          flags_ = f;
          return -1;
        }
        if (peek() != ':') fail(std::string("unknown group modifier '") + re_[pos_] + "'", pos_);
        ++pos_;
        flags_ = f;
      }
    }
    ++group_depth_;
    bool outer_look = in_look_;
    in_look_ = in_look_ || look;
    int inner = parse_alt();
    if (at_end()) fail("missing ')'", at);
    ++pos_;
    --group_depth_;
    in_look_ = outer_look;
    flags_ = saved;
    if (!look) return inner;
    Node n;
    n.kind = Node::look;
    n.kids.push_back(inner);
    int id = add(std::move(n));
    nodes_[id].has_look = true;
    return id;
  }

  int parse_escape(size_t at, std::vector<int>& items) {
    if (at_end()) fail("trailing backslash", at);
    unsigned char c = peek();
    ++pos_;
    if (c == 'Q') {
      int last = -1;
      while (!at_end() && re_.compare(pos_, 2, "\\E") != 0) {
        if (last >= 0) items.push_back(last);
        last = add_byte(peek());
        ++pos_;
      }
      if (!at_end()) pos_ += 2;
      return last;
    }
    ByteSet s;
    int byte = escape(c, at, s);
    if (byte >= 0) return add_byte(static_cast<unsigned char>(byte));
    if (flags_.fold) fold_case(s);
    return add_set(s);
  }

  // The escape whose letter c was just read: a byte (returned) or a class
  // (put in s, -1 returned).
  int escape(unsigned char c, size_t at, ByteSet& s) {
    switch (c) {
      case 'n': return '\n';
      case 't': return '\t';
      case 'r': return '\r';
      case 'f': return '\f';
      case 'v': return '\v';
      case 'a': return '\a';
      case 'e': return 27;
      case '0': {
        int v = 0, n = 0;
        while (n < 3 && !at_end() && peek() >= '0' && peek() <= '7') {
          v = v * 8 + (peek() - '0');
          ++pos_, ++n;
        }
        if (n == 0) fail("\\0 must be followed by octal digits", at);
        if (v > 255) fail("octal escape above \\0377", at);
        return v;
      }
      case 'x': {
        int v = 0;
        if (!at_end() && peek() == '{') {
          ++pos_;
          int n = 0;
          while (!at_end() && hex_value(re_[pos_]) >= 0) {
            v = v * 16 + hex_value(re_[pos_]);
            if (v > 255) fail("\\x{...} above \\x{FF}: patterns match bytes", at);
            ++pos_, ++n;
          }
          if (n == 0 || at_end() || peek() != '}') fail("invalid \\x{...} escape", at);
          ++pos_;
          return v;
        }
        int n = 0;
        while (n < 2 && !at_end() && hex_value(re_[pos_]) >= 0) {
          v = v * 16 + hex_value(re_[pos_]);
          ++pos_, ++n;
        }
        if (n == 0) fail("\\x must be followed by hexadecimal digits", at);
        return v;
      }
      case 'd':
      case 'D':
        s.set_range('0', '9');
        break;
      case 's':
      case 'S':
        s.set_range('\t', '\r');
        s.set(' ');
        break;
      case 'w':
      case 'W':
        s.set_range('0', '9');
        s.set_range('A', 'Z');
        s.set_range('a', 'z');
        s.set('_');
        break;
      case 'b':
      case 'B':
      case '<':
      case '>':
        fail(std::string("word boundary \\") + static_cast<char>(c) + " is not supported", at);
      case 'Q':
        fail("\\Q is not allowed inside [...]", at);
      case 'E':
        fail("\\E without \\Q", at);
      default:
        if (isalnum(c)) fail(std::string("unknown escape \\") + static_cast<char>(c), at);
        return c;
    }
    if (isupper(c)) s.flip();
    return -1;
  }

  // A bracket expression; pos_ is after the '['.
  ByteSet parse_class(size_t at) {
    ByteSet set;
    bool negate = false;
    if (!at_end() && peek() == '^') {
      negate = true;
      ++pos_;
    }
    bool first = true;
    for (;;) {
      if (at_end()) fail("missing ']'", at);
      if (peek() == ']' && !first) {
        ++pos_;
        break;
      }
      first = false;
      size_t item = pos_;
      int lo = class_item(set);
      if (!at_end() && peek() == '-' && pos_ + 1 < re_.size() && re_[pos_ + 1] != ']') {
        ++pos_;
        ByteSet dummy;
        int hi = class_item(dummy);
        if (lo < 0 || hi < 0) fail("invalid range in [...]", item);
        if (hi < lo) fail("invalid range in [...]: end before start", item);
        set.set_range(lo, hi);
      } else if (lo >= 0) {
        set.set(lo);
      }
    }
    if (flags_.fold) fold_case(set);
    if (negate) set.flip();
    return set;
  }

  // One item of a bracket expression: a byte (returned) or a class (added
  // to set, -1 returned).
  int class_item(ByteSet& set) {
    size_t at = pos_;
    unsigned char c = peek();
    ++pos_;
    if (c == '[' && !at_end() && peek() == ':') {
      size_t close = re_.find(":]", pos_ + 1);
      if (close != std::string::npos) {
        std::string name = re_.substr(pos_ + 1, close - pos_ - 1);
        bool word = !name.empty();
        for (char n : name) word = word && isalpha(static_cast<unsigned char>(n));
        if (word) {
          bool known;
          ByteSet s = posix_class(name, known);
          if (!known) fail("unknown character class [:" + name + ":]", at);
          set |= s;
          pos_ = close + 2;
          return -1;
        }
      }
      return c;
    }
    if (c != '\\') return c;
    if (at_end()) fail("trailing backslash", at);
    unsigned char e = peek();
    ++pos_;
    ByteSet s;
    int byte = escape(e, at, s);
    if (byte < 0) set |= s;
    return byte;
  }

  int new_state(NKind kind, int32_t out1, int32_t out2, uint32_t set = 0) {
    if (nfa_.states.size() >= max_nfa_states) fail("pattern too large", std::string::npos);
    nfa_.states.push_back(NState{kind, rule_, out1, out2, set});
    return static_cast<int>(nfa_.states.size() - 1);
  }

  // Builds the NFA of node n whose completion continues at `out`; returns
  // its start state.
  int build(int n, int out) {
    const Node& node = nodes_[n];
    switch (node.kind) {
      case Node::empty:
        return out;
      case Node::bytes:
        return new_state(NKind::bytes, out, -1, node.set);
      case Node::anchor:
        return new_state(node.anchor_kind, out, -1);
      case Node::look: {
        int inner = build(node.kids[0], out);
        return new_state(NKind::mark, inner, -1);
      }
      case Node::cat: {
        std::vector<int> kids = node.kids;
        for (size_t i = kids.size(); i-- > 0;) out = build(kids[i], out);
        return out;
      }
      case Node::alt: {
        std::vector<int> kids = node.kids;
        int next = build(kids.back(), out);
        for (size_t i = kids.size() - 1; i-- > 0;) {
          int first = build(kids[i], out);
          next = new_state(NKind::split, first, next);
        }
        return next;
      }
      case Node::repeat: {
        int kid = node.kids[0];
        int lo = node.min, hi = node.max;
        int cur = out;
        if (hi < 0) {
          int loop = new_state(NKind::split, -1, out);
          nfa_.states[loop].out1 = build(kid, loop);
          cur = loop;
        } else {
          for (int i = lo; i < hi; ++i) cur = new_state(NKind::split, build(kid, cur), out);
        }
        for (int i = 0; i < lo; ++i) cur = build(kid, cur);
        return cur;
      }
    }
    return out;
  }

  const std::string& re_;
  Nfa& nfa_;
  size_t pos_ = 0;
  std::vector<Node> nodes_;
  std::map<ByteSet, uint32_t> set_ids_;
  Flags flags_;
  int group_depth_ = 0;
  bool in_look_ = false;
  bool lazy_ = false;
  uint32_t rule_ = 0;
};

}  // namespace

void parse_regex(const std::string& regex, Nfa& nfa) { Parser(regex, nfa).run(); }

}  // namespace detail
}  // namespace reflex
