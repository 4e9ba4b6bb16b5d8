// Random patterns and inputs over a small alphabet, matched by the DFA
// engine and by a reference matcher that enumerates every way each rule
// can match (backtracking over all alternatives), then applies the
// selection rules: longest match, earlier rule on a tie, trailing context
// counted in the length but not in the token, and no empty tokens. A lazy
// quantifier marks each way through it, from where it first chose to take
// more or go on; once a way so marked ends a non-empty match, the rule's
// other ways with the same mark end there too (see dfa.cpp). Anchors
// include the word boundaries and edges, and `$` before "\r\n".
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "program.h"
#include "reflex/matcher.h"

namespace {

const char alphabet[] = {'a', 'b', 'A', '\n', '\r'};
const int letters = sizeof alphabet;

std::string shown(char c) {
  return c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
}

struct Node {
  enum Kind { byteset, cat, alt, repeat, bol, eol, word, look } kind;
  std::set<unsigned char> bytes;  // byteset: the bytes it matches (folding applied)
  std::vector<std::shared_ptr<Node>> kids;
  int min = 0, max = 0;  // repeat; max -1 is unbounded
  int lazy = 0;  // a lazy repeat: its mark (unique), else 0
  char edge = 0;  // word: 'b', 'B', '<' or '>', as in \b \B \< \>
  std::string text;  // how the node is written
};
using NodePtr = std::shared_ptr<Node>;

class Generator {
 public:
  explicit Generator(std::mt19937& rng) : rng_(rng) {}

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  NodePtr leaf(bool fold) {
    auto n = std::make_shared<Node>();
    n->kind = Node::byteset;
    int what = pick(10);
    if (what < 5) {
      unsigned char c = static_cast<unsigned char>(alphabet[pick(letters)]);
      n->bytes.insert(c);
      if (fold && (c == 'a' || c == 'A')) n->bytes.insert({'a', 'A'});
      n->text = shown(static_cast<char>(c));
    } else if (what < 7) {
      for (int b = 0; b < 256; ++b)
        if (b != '\n') n->bytes.insert(static_cast<unsigned char>(b));
      n->text = ".";
    } else {
      bool negate = pick(3) == 0;
      std::set<unsigned char> s;
      std::string body;
      for (char c : alphabet)
        if (pick(2)) {
          s.insert(static_cast<unsigned char>(c));
          body += shown(c);
        }
      if (body.empty()) {
        s.insert('b');
        body = "b";
      }
      if (fold && (s.count('a') || s.count('A'))) s.insert({'a', 'A'});
      if (negate) {
        std::set<unsigned char> all;
        for (int b = 0; b < 256; ++b)
          if (!s.count(static_cast<unsigned char>(b))) all.insert(static_cast<unsigned char>(b));
        s = all;
      }
      n->bytes = s;
      n->text = std::string("[") + (negate ? "^" : "") + body + "]";
    }
    return n;
  }

  NodePtr expr(int depth, bool fold, bool multiline) {
    int what = depth <= 0 ? 0 : pick(13);
    if (what <= 3) return leaf(fold);
    auto n = std::make_shared<Node>();
    if (what <= 5) {
      n->kind = Node::cat;
      n->kids = {expr(depth - 1, fold, multiline), expr(depth - 1, fold, multiline)};
      n->text = n->kids[0]->text + n->kids[1]->text;
    } else if (what <= 7) {
      n->kind = Node::alt;
      n->kids = {expr(depth - 1, fold, multiline), expr(depth - 1, fold, multiline)};
      n->text = "(?:" + n->kids[0]->text + "|" + n->kids[1]->text + ")";
    } else if (what <= 9) {
      n->kind = Node::repeat;
      n->kids = {expr(depth - 1, fold, multiline)};
      const char* q;
      switch (pick(5)) {
        case 0: n->min = 0, n->max = -1, q = "*"; break;
        case 1: n->min = 1, n->max = -1, q = "+"; break;
        case 2: n->min = 0, n->max = 1, q = "?"; break;
        case 3: n->min = 1, n->max = 2, q = "{1,2}"; break;
        default: n->min = 2, n->max = -1, q = "{2,}"; break;
      }
      n->lazy = pick(4) == 0 ? ++lazies_ : 0;
      n->text = "(?:" + n->kids[0]->text + ")" + q + (n->lazy ? "?" : "");
    } else if (what == 10) {
      n->kind = Node::bol;
      n->text = "^";
      (void)multiline;
    } else if (what == 11) {
      n->kind = Node::eol;
      n->text = "$";
    } else {
      n->kind = Node::word;
      n->edge = "bB<>"[pick(4)];
      n->text = std::string("\\") + n->edge;
    }
    return n;
  }

  // A rule, optionally with trailing context; some rules fold case.
  NodePtr rule(bool multiline) {
    bool fold = pick(5) == 0;
    NodePtr body = expr(3, fold, multiline);
    if (pick(5) == 0) {
      auto la = std::make_shared<Node>();
      la->kind = Node::look;
      la->kids = {expr(2, fold, multiline)};
      la->text = "(?=" + la->kids[0]->text + ")";
      auto c = std::make_shared<Node>();
      c->kind = Node::cat;
      c->kids = {body, la};
      c->text = body->text + la->text;
      body = c;
      if (pick(3) == 0) {  // one alternative with trailing context, one without
        auto a = std::make_shared<Node>();
        a->kind = Node::alt;
        a->kids = {body, expr(2, fold, multiline)};
        a->text = body->text + "|" + a->kids[1]->text;
        body = a;
      }
    }
    if (fold) body->text = "(?i:" + body->text + ")";
    return body;
  }

 private:
  std::mt19937& rng_;
  int lazies_ = 0;
};

// A way to match: where it ends, where its trailing context starts (-1:
// none), the mark of the first lazy quantifier it went through (0: none)
// and where it took that mark.
struct End {
  int end, context, lazy, marked;
  bool operator<(const End& o) const {
    return std::tie(end, context, lazy, marked) < std::tie(o.end, o.context, o.lazy, o.marked);
  }
};
using Ends = std::set<End>;

class Reference {
 public:
  Reference(const std::string& text, bool multiline) : t_(text), n_(static_cast<int>(text.size())), m_(multiline) {}

  Ends match(const NodePtr& node, const End& at) const {
    const int i = at.end;
    Ends out;
    auto here = [&](int end) { return End{end, at.context, at.lazy, at.marked}; };
    switch (node->kind) {
      case Node::byteset:
        if (i < n_ && node->bytes.count(static_cast<unsigned char>(t_[i]))) out.insert(here(i + 1));
        break;
      case Node::bol:
        if (i == 0 || (m_ && t_[i - 1] == '\n')) out.insert(here(i));
        break;
      case Node::eol:
        if (i == n_ || (m_ && (t_[i] == '\n' || (t_[i] == '\r' && i + 1 < n_ && t_[i + 1] == '\n'))))
          out.insert(here(i));
        break;
      case Node::word: {
        auto word = [&](int k) { return k >= 0 && k < n_ && t_[k] != '\n' && t_[k] != '\r'; };
        bool before = word(i - 1), after = word(i);
        bool holds = node->edge == 'b'   ? before != after
                     : node->edge == 'B' ? before == after
                     : node->edge == '<' ? !before && after
                                         : before && !after;
        if (holds) out.insert(here(i));
        break;
      }
      case Node::look: {
        End start = at;
        start.context = i;
        out = match(node->kids[0], start);
        break;
      }
      case Node::cat: {
        Ends cur{at};
        for (auto& kid : node->kids) cur = step(kid, cur);
        out = cur;
        break;
      }
      case Node::alt:
        for (auto& kid : node->kids)
          for (auto& e : match(kid, at)) out.insert(e);
        break;
      case Node::repeat: {
        Ends cur{at};
        for (int k = 0; k < node->min; ++k) cur = step(node->kids[0], cur);
        if (node->lazy) {
          // Every way goes through the choice after the fixed repeats.
          Ends marked;
          for (End e : cur) {
            if (e.lazy == 0) e.lazy = node->lazy, e.marked = e.end;
            marked.insert(e);
          }
          cur = marked;
        }
        out = cur;
        Ends frontier = cur;
        for (int k = node->min; node->max < 0 || k < node->max; ++k) {
          Ends next;
          for (auto& e : step(node->kids[0], frontier))
            if (!out.count(e)) next.insert(e);
          if (next.empty()) break;
          out.insert(next.begin(), next.end());
          frontier = next;
        }
        break;
      }
    }
    return out;
  }

  Ends step(const NodePtr& node, const Ends& from) const {
    Ends out;
    for (auto& e : from)
      for (auto& r : match(node, e)) out.insert(r);
    return out;
  }

 private:
  const std::string& t_;
  int n_;
  bool m_;
};

std::string show(const std::string& s) {
  std::string out;
  for (char c : s) out += shown(c);
  return out;
}

// The length of the longest match of a rule at p that its lazy
// quantifiers leave: a way marked by one ends where an earlier way with the
// same mark that was marked no later ended a non-empty match.
int longest(const Ends& ends, int p) {
  int len = 0;
  std::map<int, std::vector<int>> stops;  // per mark: where its ways ended
  std::map<int, std::vector<End>> by_end;
  for (auto& e : ends) by_end[e.end].push_back(e);
  for (auto& [end, list] : by_end) {
    std::set<int> ended;
    for (auto& e : list) {
      if (e.lazy != 0) {
        bool stopped = false;
        for (int k : stops[e.lazy]) stopped = stopped || (e.marked <= k && k < end);
        if (stopped) continue;
        if (end > p) ended.insert(e.lazy);
      }
      len = std::max(len, end - p);
    }
    for (int mark : ended) stops[mark].push_back(end);
  }
  return len;
}

// The tokens as "rule:text" (rule 0: a byte no rule matched).
std::vector<std::string> reference_scan(const std::vector<NodePtr>& rules, const std::string& text,
                                        bool multiline) {
  Reference ref(text, multiline);
  std::vector<std::string> out;
  int n = static_cast<int>(text.size());
  int p = 0;
  while (p < n) {
    int best_len = 0, best_rule = 0;
    Ends best_ends;
    for (size_t r = 0; r < rules.size(); ++r) {
      Ends ends = ref.match(rules[r], End{p, -1, 0, 0});
      int len = longest(ends, p);
      if (len > best_len) {
        best_len = len;
        best_rule = static_cast<int>(r + 1);
        best_ends = ends;
      }
    }
    int token_end = p;
    if (best_rule) {
      for (auto& e : best_ends)
        if (e.end == p + best_len) token_end = std::max(token_end, e.context < 0 ? e.end : e.context);
    }
    if (token_end > p) {
      out.push_back(std::to_string(best_rule) + ":" + show(text.substr(p, token_end - p)));
      p = token_end;
    } else {
      out.push_back("0:" + show(text.substr(p, 1)));
      ++p;
    }
  }
  return out;
}

std::vector<std::string> engine_scan(const reflex::Pattern& pattern, const std::string& text,
                                     bool interactive) {
  std::istringstream in(text);
  reflex::Matcher m(pattern, interactive ? reflex::Input(in) : reflex::Input(text));
  if (interactive) m.interactive();
  std::vector<std::string> out;
  for (size_t guard = 0; guard <= text.size(); ++guard) {
    size_t r = m.scan();
    if (r != 0) {
      out.push_back(std::to_string(r) + ":" + show(m.str()));
    } else if (m.at_end()) {
      break;
    } else {
      out.push_back("0:" + show(std::string(1, static_cast<char>(m.input()))));
    }
  }
  return out;
}

// Every layout of the DFA tables that a pattern can have: all that fit,
// then fewer and fewer, down to the one of DFAs above 256 states.
const reflex::detail::Layouts layouts[] = {
    {true, true, true}, {true, true, false}, {true, false, false}, {false, false, false}};

// Compares the engine, under every layout, with the reference on each text;
// false after the first difference, which it reports.
bool agrees(const std::vector<NodePtr>& rules, const std::string& regex, bool multiline,
            const std::vector<std::string>& texts) {
  std::vector<reflex::Pattern> patterns;
  try {
    for (const auto& layout : layouts) patterns.push_back(reflex::detail::PatternMaker::make(regex, layout));
  } catch (const std::exception& e) {
    ADD_FAILURE() << "pattern " << show(regex) << " rejected: " << e.what();
    return false;
  }
  for (size_t k = 0; k < texts.size(); ++k) {
    const std::string& text = texts[k];
    auto want = reference_scan(rules, text, multiline);
    for (size_t l = 0; l < patterns.size(); ++l) {
      bool interactive = k + 1 == texts.size();
      auto got = engine_scan(patterns[l], text, interactive);
      if (want != got) {
        std::string w, g;
        for (auto& s : want) w += " " + s;
        for (auto& s : got) g += " " + s;
        ADD_FAILURE() << "pattern " << show(regex) << " (" << patterns[l].states() << " states, layout " << l
                      << ") on \"" << show(text) << "\"" << (interactive ? " (interactive)" : "")
                      << "\n  reference:" << w << "\n  engine:   " << g;
        return false;
      }
    }
  }
  return true;
}

TEST(LexgenDifferential, RandomPatternsAgreeWithReference) {
  std::mt19937 rng(20240613);
  Generator gen(rng);
  const int patterns = 2500;
  int failures = 0;
  for (int i = 0; i < patterns && failures < 5; ++i) {
    bool multiline = gen.pick(4) != 0;
    int nrules = 1 + gen.pick(3);
    std::vector<NodePtr> rules;
    std::string regex = multiline ? "(?m)" : "";
    for (int r = 0; r < nrules; ++r) {
      rules.push_back(gen.rule(multiline));
      regex += (r ? "|(" : "(") + rules.back()->text + ")";
    }
    std::vector<std::string> texts(6);
    for (std::string& text : texts) {
      int len = gen.pick(11);
      for (int j = 0; j < len; ++j) text += alphabet[gen.pick(letters)];
    }
    if (!agrees(rules, regex, multiline, texts)) ++failures;
  }
}

// Patterns of 300 to several thousand states, as keyword-heavy scanners
// have: many words beside a rule for names, and the DFAs that must
// remember the last few bytes ([ab]*a[ab]{k}).
NodePtr byte_node(const std::set<unsigned char>& bytes, const std::string& text) {
  auto n = std::make_shared<Node>();
  n->kind = Node::byteset;
  n->bytes = bytes;
  n->text = text;
  return n;
}
NodePtr join(Node::Kind kind, const std::vector<NodePtr>& kids) {
  auto n = std::make_shared<Node>();
  n->kind = kind;
  n->kids = kids;
  for (size_t i = 0; i < kids.size(); ++i) n->text += (kind == Node::alt && i > 0 ? "|" : "") + kids[i]->text;
  if (kind == Node::alt) n->text = "(?:" + n->text + ")";
  return n;
}
NodePtr repeat(const NodePtr& kid, int min, int max) {
  auto n = std::make_shared<Node>();
  n->kind = Node::repeat;
  n->kids = {kid};
  n->min = min;
  n->max = max;
  n->text = "(?:" + kid->text + ")" +
            (max < 0 ? (min == 0 ? "*" : "+") : "{" + std::to_string(min) + "," + std::to_string(max) + "}");
  return n;
}

TEST(LexgenDifferential, LargeDfasAgreeWithReference) {
  std::mt19937 rng(77);
  Generator gen(rng);
  const NodePtr a = byte_node({'a'}, "a"), ab = byte_node({'a', 'b'}, "[ab]");
  const NodePtr letter = byte_node({'a', 'b', 'c', 'd', 'e', 'f', 'A'}, "[a-fA]");
  int failures = 0;
  for (int round = 0; round < 12 && failures < 3; ++round) {
    std::vector<NodePtr> rules;
    std::vector<std::string> words;
    if (round % 2 == 0) {
      // Keywords, a name rule after them, and a random rule.
      std::vector<NodePtr> alts;
      const int count = 200 + 100 * round;
      for (int i = 0; i < count; ++i) {
        std::string w;
        std::vector<NodePtr> letters;
        for (int len = 3 + gen.pick(6); len > 0; --len) {
          const char c = "abcdefA"[gen.pick(7)];
          w += c;
          letters.push_back(byte_node({static_cast<unsigned char>(c)}, std::string(1, c)));
        }
        words.push_back(w);
        alts.push_back(join(Node::cat, letters));
      }
      rules = {join(Node::alt, alts), repeat(letter, 1, -1), gen.rule(true)};
    } else {
      // The k-th byte from the end of the token is an "a".
      const int k = 8 + round / 2 % 4;
      rules = {join(Node::cat, {repeat(ab, 0, -1), a, repeat(ab, k, k)}), repeat(letter, 1, 2), gen.rule(true)};
    }
    std::string regex = "(?m)";
    for (size_t r = 0; r < rules.size(); ++r) regex += (r ? "|(" : "(") + rules[r]->text + ")";
    std::vector<std::string> texts(5);
    for (std::string& text : texts) {
      while (text.size() < 40) {
        if (!words.empty() && gen.pick(2))
          text += words[gen.pick(static_cast<int>(words.size()))];
        else
          text += alphabet[gen.pick(letters)];
      }
    }
    const size_t states = reflex::Pattern(regex).states();
    EXPECT_GE(states, 300u) << show(regex);
    if (!agrees(rules, regex, true, texts)) ++failures;
  }
}

}  // namespace
