// Reads a scanner description: definitions, rules and user code.
#include <cstddef>
#include <sstream>

#include "codescan.hpp"
#include "lexfile.hpp"
#include "pattern.hpp"

namespace lexgen {

bool LexFile::active(const Rule& r, int s) const {
  if (r.all_states) return true;
  if (r.states.empty()) return r.eof || s == 0 || !states[s].exclusive;
  for (int t : r.states)
    if (t == s) return true;
  return false;
}

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string trim_right(const std::string& s) {
  std::size_t end = s.find_last_not_of(" \t");
  return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

bool blank_line(const std::string& s) { return trim_right(s).empty(); }

// Whether line starts with word and then ends or goes on with a blank.
bool starts_with_word(const std::string& line, const std::string& word) {
  if (line.compare(0, word.size(), word) != 0) return false;
  return line.size() == word.size() || is_blank(line[word.size()]);
}

class Reader {
 public:
  // Lines may end with "\r\n" as well as "\n": the "\r" is dropped.
  explicit Reader(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::size_t cr = end > start && text[end - 1] == '\r' ? 1 : 0;
      lines_.push_back(text.substr(start, end - start - cr));
      start = end + 1;
    }
    lf_.states.push_back({"INITIAL", false});
  }

  LexFile run() {
    definitions();
    if (at_end()) return std::move(lf_);
    rules();
    if (at_end()) return std::move(lf_);
    lf_.has_user_code = true;
    lf_.user_code.line = number();
    for (; !at_end(); ++cur_) lf_.user_code.text += lines_[cur_] + "\n";
    return std::move(lf_);
  }

 private:
  bool at_end() const { return cur_ >= lines_.size(); }
  int number() const { return static_cast<int>(cur_) + 1; }
  const std::string& line() const { return lines_[cur_]; }
  [[noreturn]] void fail(const std::string& message) const {
    throw LexError(number(), message);
  }

  // Consumes a blank line or the "%%" line that ends a section; `ended`
  // tells which.
  bool separator(bool& ended) {
    ended = trim_right(line()) == "%%";
    if (!ended && !blank_line(line())) return false;
    ++cur_;
    return true;
  }

  // Lines up to one that starts with "%}"; the opening line is the current
  // one, `rest` any text after its opening brace.
  CodeBlock block(const std::string& what, const std::string& rest) {
    int open = number();
    CodeBlock b;
    b.line = open + 1;
    if (!blank_line(rest)) {
      b.text = rest + "\n";
      b.line = open;
    }
    for (++cur_; !at_end(); ++cur_) {
      if (line().compare(0, 2, "%}") == 0) {
        ++cur_;
        return b;
      }
      b.text += line() + "\n";
    }
    throw LexError(open, "unterminated " + what + " block");
  }

  // A directive that opens a block with "{", e.g. "%class{" or "%class {".
  bool block_directive(const std::string& word, std::vector<CodeBlock>& into) {
    const std::string& l = line();
    if (l.compare(0, word.size(), word) != 0) return false;
    std::size_t p = word.size();
    while (p < l.size() && is_blank(l[p])) ++p;
    if (p >= l.size() || l[p] != '{') {
      if (p > word.size() || p == l.size()) fail(word + " needs a { block");
      return false;
    }
    into.push_back(block(word, l.substr(p + 1)));
    return true;
  }

  void definitions() {
    while (!at_end()) {
      bool ended = false;
      if (separator(ended)) {
        if (ended) return;
        continue;
      }
      const std::string l = line();
      if (is_blank(l[0])) {
        indented_code(l);
        ++cur_;
      } else if (l.compare(0, 2, "/*") == 0) {
        comment();
      } else if (trim_right(l) == "%{") {
        lf_.code.push_back(block("%{", ""));
      } else if (starts_with_word(l, "%option")) {
        option_line(l.substr(7));
        ++cur_;
      } else if (block_directive("%top", lf_.top) ||
                 block_directive("%class", lf_.klass) ||
                 block_directive("%init", lf_.init)) {
      } else if (starts_with_word(l, "%x") || starts_with_word(l, "%s")) {
        state_line(l.substr(2), l[1] == 'x');
        ++cur_;
      } else if (l[0] == '%') {
        std::size_t end = l.find_first_of(" \t{");
        fail("unknown directive " + l.substr(0, end));
      } else if (is_name_start(l[0])) {
        named_pattern(l);
        ++cur_;
      } else {
        fail("unexpected text in the definitions");
      }
    }
  }

  // An indented line: code at file scope, joined to the indented line
  // right before it.
  void indented_code(const std::string& l) {
    if (last_indented_ + 1 == cur_ && !lf_.code.empty()) {
      lf_.code.back().text += l + "\n";
    } else {
      lf_.code.push_back({l + "\n", number()});
    }
    last_indented_ = cur_;
  }

  // A /* ... */ comment that starts at the beginning of a line.
  void comment() {
    int open = number();
    std::size_t from = 2;
    for (; !at_end(); ++cur_, from = 0) {
      std::size_t end = line().find("*/", from);
      if (end == std::string::npos) continue;
      if (!blank_line(line().substr(end + 2)))
        fail("unexpected text after a comment");
      ++cur_;
      return;
    }
    throw LexError(open, "unterminated comment");
  }

  void option_line(const std::string& words) {
    std::istringstream in(words);
    std::string w;
    Options& o = lf_.options;
    while (in >> w) {
      if (w == "bison-bridge") o.bison_bridge = true;
      else if (w == "noline") o.noline = true;
      else if (w == "noyywrap") o.yywrap = false;
      else if (w == "yywrap") o.yywrap = true;
      else if (w == "case-insensitive") o.case_insensitive = true;
      else if (w == "interactive") o.interactive = true;
      // Other option words are accepted and have no effect (yylineno among
      // them: the matcher always counts lines).
    }
  }

  void state_line(const std::string& names, bool exclusive) {
    std::istringstream in(names);
    std::string name;
    bool any = false;
    while (in >> name) {
      any = true;
      bool valid = is_name_start(name[0]);
      for (char c : name) valid = valid && is_name_char(c) && c != '-';
      if (!valid) fail("bad start condition name " + name);
      if (state_index(name) >= 0)
        fail("start condition " + name + " declared twice");
      lf_.states.push_back({name, exclusive});
    }
    if (!any) fail(std::string(exclusive ? "%x" : "%s") + " without a name");
  }

  int state_index(const std::string& name) const {
    for (std::size_t i = 0; i < lf_.states.size(); ++i)
      if (lf_.states[i].name == name) return static_cast<int>(i);
    return -1;
  }

  void named_pattern(const std::string& l) {
    std::size_t p = 0;
    while (p < l.size() && is_name_char(l[p])) ++p;
    std::string name = l.substr(0, p);
    if (p < l.size() && !is_blank(l[p]))
      fail("bad name " + l.substr(0, l.find_first_of(" \t")));
    while (p < l.size() && is_blank(l[p])) ++p;
    if (blank_line(l.substr(p))) fail("named pattern " + name + " has no pattern");
    if (lf_.named.count(name)) fail("named pattern " + name + " defined twice");
    FragmentPtr re = translate_pattern(l, p, lf_.named, false, number());
    if (!blank_line(l.substr(p))) fail("unexpected text after the pattern of " + name);
    lf_.named[name] = std::move(re);
  }

  void rules() {
    bool any_rule = false;
    while (!at_end()) {
      bool ended = false;
      if (separator(ended)) {
        if (ended) return;
        continue;
      }
      const std::string l = line();
      if (trim_right(l) == "%{") {
        if (any_rule || lf_.has_initial_code)
          fail("a %{ code block is allowed only before the first rule");
        initial_code();
      } else if (is_blank(l[0])) {
        // Only a comment on a line of its own may be indented here.
        std::string t = trim_right(l);
        t = t.substr(t.find_first_not_of(" \t"));
        bool line_comment = t.compare(0, 2, "//") == 0;
        bool block_comment = t.size() >= 4 && t.compare(0, 2, "/*") == 0 &&
                             t.compare(t.size() - 2, 2, "*/") == 0;
        if (!line_comment && !block_comment)
          fail("indented text in the rules section");
        ++cur_;
      } else {
        rule();
        any_rule = true;
      }
    }
  }

  // The code block that opens the rules: "%{" up to a line that is "%}"
  // or ends with it.
  void initial_code() {
    int open = number();
    lf_.has_initial_code = true;
    lf_.initial_code.line = open + 1;
    for (++cur_; !at_end(); ++cur_) {
      std::string t = trim_right(line());
      if (t.size() >= 2 && t.compare(t.size() - 2, 2, "%}") == 0) {
        std::string before = t.substr(0, t.size() - 2);
        if (!blank_line(before)) lf_.initial_code.text += before + "\n";
        ++cur_;
        return;
      }
      lf_.initial_code.text += line() + "\n";
    }
    throw LexError(open, "unterminated %{ block");
  }

  void rule() {
    const std::string l = line();
    Rule r;
    r.line = number();
    std::size_t p = 0;
    if (l[0] == '<' && l.compare(0, 7, "<<EOF>>") != 0) state_list(l, p, r);
    if (l.compare(p, 7, "<<EOF>>") == 0) {
      r.eof = true;
      p += 7;
      if (p < l.size() && !is_blank(l[p]))
        fail("unexpected text after <<EOF>>");
    } else {
      if (p >= l.size() || is_blank(l[p])) fail("missing pattern");
      r.regex = expand_pattern(*translate_pattern(l, p, lf_.named, true, number()), number());
    }
    while (p < l.size() && is_blank(l[p])) ++p;
    std::string rest = l.substr(p);
    if (trim_right(rest) == "|") {
      if (r.eof) fail("<<EOF>> can't have the action |");
      r.fall_through = true;
      ++cur_;
    } else {
      r.action = action(rest);
    }
    lf_.rules.push_back(std::move(r));
  }

  void state_list(const std::string& l, std::size_t& p, Rule& r) {
    std::size_t end = l.find('>');
    if (end == std::string::npos) fail("bad start condition list");
    std::string list = l.substr(1, end - 1);
    p = end + 1;
    if (list == "*") {
      r.all_states = true;
      return;
    }
    std::size_t from = 0;
    for (;;) {
      std::size_t comma = list.find(',', from);
      std::string name = list.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
      if (name.empty() || !is_name_start(name[0])) fail("bad start condition list");
      int s = state_index(name);
      if (s < 0) fail("undeclared start condition " + name);
      r.states.push_back(s);
      if (comma == std::string::npos) break;
      from = comma + 1;
    }
  }

  // The action from `rest` of the current line, going on over further lines
  // while braces are open; leaves cur_ after its last line.
  CodeBlock action(const std::string& rest) {
    int open = number();
    CodeScanner scan;
    CodeBlock b{rest + "\n", open};
    scan.feed(rest);
    if (scan.depth() < 0) fail("unbalanced } in action");
    for (++cur_; scan.open(); ++cur_) {
      if (at_end()) throw LexError(open, "unterminated action");
      scan.feed(line());
      if (scan.depth() < 0) fail("unbalanced } in action");
      b.text += line() + "\n";
    }
    return b;
  }

  std::vector<std::string> lines_;
  std::size_t cur_ = 0;
  std::size_t last_indented_ = static_cast<std::size_t>(-2);
  LexFile lf_;
};

}  // namespace

LexFile read_lexfile(const std::string& text) { return Reader(text).run(); }

}  // namespace lexgen
