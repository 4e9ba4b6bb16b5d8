// Regular expression parser: builds a syntax tree, then a Thompson NFA with
// one accepting state per top-level alternative (rule).
#include <algorithm>
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
// Bounds the syntax tree, and the NFA states and steps that building it
// takes; both are checked before the work they bound.
constexpr size_t max_nodes = 4 * max_nfa_states;
constexpr size_t max_build_cost = 2 * max_nfa_states;
constexpr int max_repeat = 1000;
constexpr int max_group_depth = 256;
constexpr int max_tree_depth = 1000;

struct Flags {
  bool fold = false;       // (?i)
  bool multiline = false;  // (?m)
  bool dotall = false;     // (?s)
  bool freespace = false;  // (?x)
};

struct Node {
  enum Kind : uint8_t { empty, bytes, cat, alt, repeat, anchor, look };
  Kind kind = empty;
  NKind anchor_kind = NKind::bol;
  bool has_look = false;
  bool is_class = false;  // bytes written as a class: an operand of {-} {+} {&}
  uint32_t set = 0;
  int min = 0;
  int max = 0;  // -1: unbounded
  uint32_t lazy = 0;  // a lazy quantifier: its number in the rule, from 1
  int depth = 1;
  size_t cost = 1;  // NFA states and build steps of the subtree (capped)
  std::vector<int> kids;
};

size_t capped_sum(size_t a, size_t b) { return std::min(a + b, max_build_cost + 1); }

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
  } else if (name == "graph") {
    s.set_range('!', '~');
  } else if (name == "word") {
    s = posix_class("alnum", known);
    s.set('_');
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

// The ASCII class that \p{Name} names: a POSIX class name, capitalised
// (\p{Alpha} is [[:alpha:]]); \p{XDigit} is also \p{Xdigit}.
ByteSet property_class(const std::string& name, bool& known) {
  known = false;
  std::string posix = name == "XDigit" ? "Xdigit" : name;
  if (posix.size() < 2 || !isupper(static_cast<unsigned char>(posix[0]))) return ByteSet();
  posix[0] = static_cast<char>(tolower(static_cast<unsigned char>(posix[0])));
  for (char c : posix)
    if (!islower(static_cast<unsigned char>(c))) return ByteSet();
  return posix_class(posix, known);
}

class Parser {
 public:
  Parser(const std::string& re, Nfa& nfa) : re_(re), nfa_(nfa) {}

  void run() {
    std::vector<int> rules;
    std::vector<size_t> starts;
    size_t cost = 0;
    for (;;) {
      lazies_ = 0;
      starts.push_back(pos_);
      int seq = parse_seq();
      rules.push_back(seq);
      nfa_.look.push_back(nodes_[seq].has_look);
      cost = capped_sum(cost, nodes_[seq].cost);
      if (at_end()) break;
      if (peek() == '|') {
        ++pos_;
        continue;
      }
      fail("unmatched ')'", pos_);
    }
    no_empty_alternative(rules, starts);
    if (cost > max_build_cost) fail("pattern too large", regex_error::npos);
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
    if (nodes_.size() >= max_nodes) fail("pattern too large", regex_error::npos);
    size_t kids_cost = 0;
    for (int k : n.kids) {
      if (nodes_[k].depth + 1 > n.depth) n.depth = nodes_[k].depth + 1;
      if (nodes_[k].has_look) n.has_look = true;
      kids_cost = capped_sum(kids_cost, nodes_[k].cost);
    }
    if (n.depth > max_tree_depth) fail("expression nested too deeply", pos_);
    switch (n.kind) {
      case Node::empty:
        n.cost = 1;
        break;
      case Node::bytes:
      case Node::anchor:
        n.cost = 2;
        break;
      case Node::look:
      case Node::cat:
        n.cost = capped_sum(kids_cost, 2);
        break;
      case Node::alt:
        n.cost = capped_sum(kids_cost, n.kids.size());
        break;
      case Node::repeat: {
        // The subtree is built once per copy, plus the splits between them.
        size_t copies = static_cast<size_t>(n.max < 0 ? n.min + 1 : n.max);
        size_t splits = static_cast<size_t>(n.max < 0 ? 1 : n.max - n.min);
        if (n.lazy != 0) splits *= 2;  // a lazy mark before each split
        n.cost = capped_sum(std::min(kids_cost * copies, max_build_cost + 1), splits + 1);
        break;
      }
    }
    if (n.cost > max_build_cost) fail("pattern too large", regex_error::npos);
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

  // A set written as a class ([...], \d, \p{Alpha}, ...).
  int add_class(ByteSet s) {
    int id = add_set(s);
    nodes_[id].is_class = true;
    return id;
  }

  int add_byte(unsigned char c) {
    ByteSet s;
    s.set(c);
    if (flags_.fold) fold_case(s);
    return add_set(s);
  }

  // An alternative that matches only the empty string, as in (a|)b, is an
  // error (write (a)?b).
  void no_empty_alternative(const std::vector<int>& alternatives, const std::vector<size_t>& starts) const {
    if (alternatives.size() < 2) return;
    for (size_t i = 0; i < alternatives.size(); ++i)
      if (nodes_[alternatives[i]].kind == Node::empty)
        fail("empty alternative: write (a)? rather than (a|)", starts[i]);
  }

  // In free-spacing mode (?x): skips blanks and "#" comments, which run to
  // the end of the line.
  void skip_space() {
    if (!flags_.freespace) return;
    while (!at_end()) {
      unsigned char c = peek();
      if (c == '#') {
        while (!at_end() && peek() != '\n') ++pos_;
      } else if (c == ' ' || (c >= '\t' && c <= '\r')) {
        ++pos_;
      } else {
        break;
      }
    }
  }

  // Alternatives up to a ')' or the end.
  int parse_alt() {
    Node n;
    n.kind = Node::alt;
    std::vector<size_t> starts;
    for (;;) {
      starts.push_back(pos_);
      n.kids.push_back(parse_seq());
      if (at_end() || peek() != '|') break;
      ++pos_;
    }
    no_empty_alternative(n.kids, starts);
    if (n.kids.size() == 1) return n.kids[0];
    return add(std::move(n));
  }

  // One alternative: items up to '|', ')' or the end.
  int parse_seq() {
    Node n;
    n.kind = Node::cat;
    for (;;) {
      skip_space();
      if (at_end() || peek() == '|' || peek() == ')') break;
      size_t at = pos_;
      int item = parse_atom(n.kids);
      if (item < 0) continue;
      item = parse_class_ops(item);
      item = parse_quantifiers(item);
      if (!n.kids.empty() && nodes_[n.kids.back()].has_look)
        fail("trailing context (?=...) must end its alternative", at);
      n.kids.push_back(item);
    }
    if (n.kids.empty()) return add(Node());
    if (n.kids.size() == 1) return n.kids[0];
    return add(std::move(n));
  }

  // Set operations on classes, left to right: [a-z]{-}[aeiou] (difference),
  // {+} (union), {&} (intersection). Each operand is a class: [...], a class
  // escape, or a group that holds one (a named pattern).
  int parse_class_ops(int item) {
    for (;;) {
      skip_space();
      if (re_.size() - pos_ < 3 || re_[pos_] != '{' || re_[pos_ + 2] != '}') return item;
      char op = re_[pos_ + 1];
      if (op != '-' && op != '+' && op != '&') return item;
      size_t at = pos_;
      const std::string name = re_.substr(pos_, 3);
      if (!nodes_[item].is_class) fail("class operation " + name + " needs a character class before it", at);
      pos_ += 3;
      skip_space();
      std::vector<int> extra;
      int rhs = at_end() || peek() == '|' || peek() == ')' ? -1 : parse_atom(extra);
      if (rhs < 0 || !extra.empty() || !nodes_[rhs].is_class)
        fail("class operation " + name + " needs a character class after it", at);
      ByteSet s = nfa_.sets[nodes_[item].set];
      const ByteSet t = nfa_.sets[nodes_[rhs].set];
      if (op == '-')
        s -= t;
      else if (op == '+')
        s |= t;
      else
        s &= t;
      item = add_class(s);
    }
  }

  int parse_quantifiers(int item) {
    for (;;) {
      skip_space();
      if (at_end()) break;
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
      uint32_t lazy = 0;
      if (!at_end() && peek() == '?') {
        ++pos_;
        lazy = ++lazies_;
      }
      if (nodes_[item].has_look) fail("trailing context (?=...) cannot be repeated", at);
      Node n;
      n.kind = Node::repeat;
      n.min = lo;
      n.max = hi;
      n.lazy = lazy;
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

  // One atom; -1 when it produced no node (a flag group, a comment, an
  // empty \Q\E). A literal \Q...\E pushes all its bytes but the last into
  // `items` and returns the last, so a quantifier applies to that byte only.
  int parse_atom(std::vector<int>& items) {
    size_t at = pos_;
    unsigned char c = peek();
    ++pos_;
    switch (c) {
      case '(':
        return parse_group(at);
      case '[':
        return add_class(parse_class(at));
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
      if (c == '#') {  // a comment, up to the first ')'
        size_t close = re_.find(')', pos_);
        if (close == std::string::npos) fail("missing ')'", at);
        pos_ = close + 1;
        return -1;
      } else if (c == ':') {
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
        // Modifiers to turn on, then after a '-' those to turn off.
        Flags f = flags_;
        for (bool on = true; !at_end(); ++pos_) {
          unsigned char m = peek();
          if (m == '-' && on)
            on = false;
          else if (m == 'i')
            f.fold = on;
          else if (m == 'm')
            f.multiline = on;
          else if (m == 's')
            f.dotall = on;
          else if (m == 'x')
            f.freespace = on;
          else
            break;
        }
        if (at_end()) fail("missing ')'", at);
        if (peek() == ')') {  // (?ims-x): for the rest of the enclosing group
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
    switch (c) {
      case 'Q': {
        int last = -1;
        while (!at_end() && re_.compare(pos_, 2, "\\E") != 0) {
          if (last >= 0) items.push_back(last);
          last = add_byte(peek());
          ++pos_;
        }
        if (!at_end()) pos_ += 2;
        return last;
      }
      case 'b':
        return add_word_anchor(NKind::wordb);
      case 'B':
        return add_word_anchor(NKind::nwordb);
      case '<':
        return add_word_anchor(NKind::wbeg);
      case '>':
        return add_word_anchor(NKind::wend);
      case 'u':
        if (!at_end() && peek() == '{') return add_code_point(code_point(at));
        break;
      default:
        break;
    }
    ByteSet s;
    int byte = escape(c, at, s);
    if (byte >= 0) return add_byte(static_cast<unsigned char>(byte));
    if (flags_.fold) fold_case(s);
    return add_class(s);
  }

  int add_word_anchor(NKind k) {
    nfa_.word = true;
    return add_anchor(k);
  }

  // \u{H...}, pos_ on the '{': the code point.
  uint32_t code_point(size_t at) {
    ++pos_;
    uint32_t v = 0;
    int n = 0;
    while (!at_end() && hex_value(re_[pos_]) >= 0) {
      v = v * 16 + static_cast<uint32_t>(hex_value(re_[pos_]));
      if (v > 0x10FFFF) fail("\\u{...} above \\u{10FFFF}", at);
      ++pos_, ++n;
    }
    if (n == 0 || at_end() || peek() != '}') fail("invalid \\u{...} escape", at);
    ++pos_;
    if (v >= 0xD800 && v <= 0xDFFF) fail("\\u{...} of a UTF-16 surrogate, which has no UTF-8 form", at);
    return v;
  }

  // The UTF-8 bytes of a code point, as one unit for a quantifier.
  int add_code_point(uint32_t cp) {
    if (cp < 0x80) return add_byte(static_cast<unsigned char>(cp));
    unsigned char b[4];
    int n;
    if (cp < 0x800) {
      b[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
      n = 2;
    } else if (cp < 0x10000) {
      b[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
      n = 3;
    } else {
      b[0] = static_cast<unsigned char>(0xF0 | (cp >> 18));
      n = 4;
    }
    for (int i = 1; i < n; ++i) b[i] = static_cast<unsigned char>(0x80 | ((cp >> (6 * (n - 1 - i))) & 0x3F));
    Node cat;
    cat.kind = Node::cat;
    for (int i = 0; i < n; ++i) cat.kids.push_back(add_byte(b[i]));
    return add(std::move(cat));
  }

  // \p{Name}, pos_ after the 'p'.
  ByteSet property(size_t at) {
    if (at_end() || peek() != '{') fail("\\p must be followed by {name}", at);
    size_t close = re_.find('}', pos_);
    if (close == std::string::npos) fail("invalid \\p{...} escape", at);
    std::string name = re_.substr(pos_ + 1, close - pos_ - 1);
    pos_ = close + 1;
    bool known;
    ByteSet s = property_class(name, known);
    if (!known)
      fail("unknown character class \\p{" + name + "}: only the ASCII classes such as \\p{Alpha} are supported", at);
    return s;
  }

  // The escape whose letter c was just read: a byte (returned) or a class
  // (put in s, -1 returned). Word boundaries and \u{...} are taken care of
  // by the callers.
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
      case '1': case '2': case '3': case '4': case '5': case '6': case '7': {  // \NNN
        int v = c - '0';
        for (int n = 1; n < 3 && !at_end() && peek() >= '0' && peek() <= '7'; ++n, ++pos_) v = v * 8 + (peek() - '0');
        if (v > 255) fail("octal escape above \\377", at);
        return v;
      }
      case 'c': {  // \cX: the control character X mod 32
        if (at_end() || peek() <= ' ' || peek() >= 0x7f) fail("\\c must be followed by a character", at);
        int v = peek() & 0x1f;
        ++pos_;
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
      case 'W': {
        bool known;
        s = posix_class("word", known);
        break;
      }
      case 'h':
        s.set(' ');
        s.set('\t');
        break;
      case 'l':
        s.set_range('a', 'z');
        break;
      case 'u':
        s.set_range('A', 'Z');
        break;
      case 'p':
        s = property(at);
        break;
      case 'b':
      case 'B':
      case '<':
      case '>':
        fail(std::string("word boundary \\") + static_cast<char>(c) + " is not allowed inside [...]", at);
      case 'Q':
        fail("\\Q is not allowed inside [...]", at);
      case 'E':
        fail("\\E without \\Q", at);
      default:
        if (isalnum(c)) fail(std::string("unknown escape \\") + static_cast<char>(c), at);
        return c;
    }
    if (c == 'D' || c == 'S' || c == 'W') s.flip();
    return -1;
  }

  // Whether a set operation inside a bracket expression starts here:
  // "--[" (difference) or "&&[" (intersection) with the class that follows.
  bool set_operation_here() const { return re_.compare(pos_, 3, "--[") == 0 || re_.compare(pos_, 3, "&&[") == 0; }

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
      if (set_operation_here()) {
        // [a-z--[aeiou]], [a-z&&[^aeiou]]: on what the class holds so far.
        bool difference = peek() == '-';
        size_t op = pos_;
        if (group_depth_ >= max_group_depth) fail("classes nested too deeply", op);
        pos_ += 3;
        ++group_depth_;
        ByteSet other = parse_class(op + 2);
        --group_depth_;
        if (flags_.fold) fold_case(set);
        if (difference)
          set -= other;
        else
          set &= other;
        continue;
      }
      size_t item = pos_;
      int lo = class_item(set);
      if (!at_end() && peek() == '-' && pos_ + 1 < re_.size() && re_[pos_ + 1] != ']' && !set_operation_here()) {
        ++pos_;
        ByteSet dummy;
        int hi = class_item(dummy);
        if (lo < 0 || hi < 0) fail("invalid range in [...]", item);
        if (hi < lo) fail("invalid range in [...]: end before start", item);
        set.set_range(static_cast<unsigned>(lo), static_cast<unsigned>(hi));
      } else if (lo >= 0) {
        set.set(static_cast<unsigned>(lo));
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
    if (e == 'u' && !at_end() && peek() == '{') {
      uint32_t cp = code_point(at);
      if (cp > 0x7f) fail("\\u{...} above \\u{7F} inside [...]: a class holds single bytes", at);
      return static_cast<int>(cp);
    }
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
        const uint32_t lazy = node.lazy;
        // A lazy quantifier marks every path through one of its choices,
        // to take more of it or to go on (see dfa.cpp).
        auto choice = [&](int split) { return lazy != 0 ? new_state(NKind::lazy, split, -1, lazy) : split; };
        int cur = out;
        if (hi < 0) {
          int loop = new_state(NKind::split, -1, out);
          int entry = choice(loop);
          nfa_.states[loop].out1 = build(kid, entry);
          cur = entry;
        } else {
          for (int i = lo; i < hi; ++i) cur = choice(new_state(NKind::split, build(kid, cur), out));
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
  uint32_t lazies_ = 0;  // lazy quantifiers of the rule so far
  uint32_t rule_ = 0;
};

}  // namespace

void parse_regex(const std::string& regex, Nfa& nfa) { Parser(regex, nfa).run(); }

}  // namespace detail
}  // namespace reflex
