#include "pattern.hpp"

#include <algorithm>

namespace lexgen {

bool is_name_start(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool is_name_char(char c) {
  return is_name_start(c) || (c >= '0' && c <= '9') || c == '-';
}

namespace {

const char hexdigits[] = "0123456789abcdef";

// One byte of quoted text as a regex that matches it literally.
void append_literal(std::string& out, unsigned char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
      (c >= 'a' && c <= 'z') || c >= 0x80) {
    out += static_cast<char>(c);
  } else if (c > 0x20 && c < 0x7f && c != '<' && c != '>') {
    // (A backslash before "<" or ">" would make a word boundary.)
    out += '\\';
    out += static_cast<char>(c);
  } else {
    out += "\\x";
    out += hexdigits[c >> 4];
    out += hexdigits[c & 15];
  }
}

void append_text(Fragment& f, const std::string& text) {
  if (text.empty()) return;
  if (f.pieces.empty() || f.pieces.back().named) f.pieces.push_back({std::string(), nullptr});
  f.pieces.back().text += text;
  f.size = std::min(f.size + text.size(), max_pattern_size + 1);
}

void append_named(Fragment& f, const FragmentPtr& named) {
  f.pieces.push_back({std::string(), named});
  f.size = std::min(f.size + named->size + 4, max_pattern_size + 1);  // "(?:" and ")"
}

void append_fragment(Fragment& f, const Fragment& g) {
  for (const Fragment::Piece& p : g.pieces) {
    append_text(f, p.text);
    if (p.named) append_named(f, p.named);
  }
}

class Translator {
 public:
  Translator(const std::string& text, std::size_t& pos, const NamedPatterns& named, bool rule,
             int line)
      : text_(text), pos_(pos), named_(named), rule_(rule), line_(line) {}

  FragmentPtr run() {
    Fragment head;
    bool context = false;
    const std::size_t n = text_.size();
    while (pos_ < n) {
      char c = text_[pos_];
      // Blanks end the pattern, except inside a free-spacing group.
      if ((c == ' ' || c == '\t') && !(spacing_.size() > 1 && spacing_.back())) break;
      switch (c) {
        case '\\':
          escape();
          break;
        case '"':
          quoted();
          break;
        case '[':
          bracket();
          break;
        case '{':
          braces();
          break;
        case '(':
          group();
          break;
        case ')':
          if (spacing_.size() == 1) fail("unbalanced ) in pattern");
          spacing_.pop_back();
          append_text(out_, ")");
          ++pos_;
          break;
        case '/':
          if (!rule_) fail("trailing context in a named pattern");
          if (spacing_.size() > 1) fail("trailing context inside a group");
          if (context) fail("trailing context used twice");
          context = true;
          head = std::move(out_);
          out_ = Fragment();
          ++pos_;
          break;
        default:
          append_text(out_, std::string(1, c));
          ++pos_;
      }
    }
    if (spacing_.size() > 1) fail("unbalanced ( in pattern");
    if (!context) {
      if (out_.empty()) fail("missing pattern");
      return std::make_shared<const Fragment>(std::move(out_));
    }
    if (head.empty()) fail("missing pattern before trailing context");
    if (out_.empty()) fail("missing trailing context after /");
    if (out_.pieces.size() == 1 && out_.pieces[0].text == "$" && !out_.pieces[0].named)
      fail("trailing context of only $: write x$, not x/$");
    Fragment f;
    append_text(f, "(?:");
    append_fragment(f, head);
    append_text(f, ")(?=");
    append_fragment(f, out_);
    append_text(f, ")");
    return std::make_shared<const Fragment>(std::move(f));
  }

 private:
  [[noreturn]] void fail(const std::string& message) const {
    throw LexError(line_, message);
  }

  // A backslash escape: \Q...\E is copied whole (blanks and slashes in it
  // are literal); "\ " becomes a blank; \cX, and \x{...}, \u{...},
  // \p{...} with their braces, are copied whole; any other escape is
  // copied as it stands.
  void escape() {
    const std::size_t n = text_.size();
    if (pos_ + 1 >= n) fail("pattern ends with a backslash");
    char d = text_[pos_ + 1];
    if (d == 'Q') {
      std::size_t end = text_.find("\\E", pos_ + 2);
      if (end == std::string::npos) fail("\\Q without \\E in pattern");
      append_text(out_, text_.substr(pos_, end + 2 - pos_));
      pos_ = end + 2;
      return;
    }
    if (d == ' ') {
      append_text(out_, "\\x20");
      pos_ += 2;
      return;
    }
    std::size_t end = pos_ + 2;
    if (d == 'c' && end < n) {
      ++end;
    } else if ((d == 'x' || d == 'u' || d == 'p' || d == 'P') && end < n && text_[end] == '{') {
      end = text_.find('}', end);
      if (end == std::string::npos) fail("unterminated \\" + std::string(1, d) + "{ in pattern");
      ++end;
    }
    append_text(out_, text_.substr(pos_, end - pos_));
    pos_ = end;
  }

  // "...": the text between the quotes, taken literally: only \" stands for
  // a quote, any other backslash is a backslash. The text is one unit for
  // an operator after it ("ab"+ matches abab).
  void quoted() {
    const std::size_t n = text_.size();
    std::string literal;
    for (++pos_; pos_ < n && text_[pos_] != '"'; ++pos_) {
      if (text_[pos_] == '\\' && pos_ + 1 < n && text_[pos_ + 1] == '"') {
        if (text_[pos_ - 1] == '\\')
          fail("\\\\\" in quoted text is a backslash and a quote, not an escaped backslash: "
               "only \\\" is an escape inside quotes; write a backslash as \\\\ outside them");
        ++pos_;
      }
      literal += text_[pos_];
    }
    if (pos_ >= n) fail("unterminated quoted text in pattern");
    ++pos_;
    std::string re;
    for (char c : literal) append_literal(re, static_cast<unsigned char>(c));
    append_text(out_, literal.size() == 1 ? re : "(?:" + re + ")");
  }

  // [...]: copied as it stands.
  void bracket() {
    std::size_t end = bracket_end();
    append_text(out_, text_.substr(pos_, end - pos_));
    pos_ = end;
  }

  // Where the bracket expression at pos_ ends: a "]" right after "[" or
  // "[^" is a member, escapes and [:name:] are skipped over, and the
  // classes of the set operations "--[...]" and "&&[...]" nest.
  std::size_t bracket_end() const {
    const std::size_t n = text_.size();
    std::size_t p = pos_ + 1;
    std::size_t depth = 0;
    bool opening = true;
    for (;;) {
      if (opening) {
        if (p < n && text_[p] == '^') ++p;
        if (p < n && text_[p] == ']') ++p;
        opening = false;
      }
      if (p >= n) fail("unterminated character class in pattern");
      if (text_[p] == ']') {
        ++p;
        if (depth == 0) return p;
        --depth;
      } else if (text_[p] == '\\' && p + 1 < n) {
        p += 2;
      } else if (text_[p] == '[' && p + 1 < n && text_[p + 1] == ':') {
        std::size_t end = text_.find(":]", p + 2);
        p = end == std::string::npos ? p + 1 : end + 2;
      } else if (text_.compare(p, 3, "--[") == 0 || text_.compare(p, 3, "&&[") == 0) {
        p += 3;
        ++depth;
        opening = true;
      } else {
        ++p;
      }
    }
  }

  // "(": a group. A comment (?#...) is copied whole; the modifiers of
  // (?x:...) and (?x) tell whether blanks inside are part of the pattern.
  void group() {
    const std::size_t n = text_.size();
    if (text_.compare(pos_, 3, "(?#") == 0) {
      std::size_t end = text_.find(')', pos_);
      if (end == std::string::npos) fail("unterminated (?#...) comment in pattern");
      append_text(out_, text_.substr(pos_, end + 1 - pos_));
      pos_ = end + 1;
      return;
    }
    bool spacing = spacing_.back();
    std::size_t p = pos_ + 1;
    if (p < n && text_[p] == '?') {
      bool on = true;
      for (++p; p < n; ++p) {
        char m = text_[p];
        if (m == '-')
          on = false;
        else if (m == 'x')
          spacing = on;
        else if (m != 'i' && m != 'm' && m != 's')
          break;
      }
      if (p < n && text_[p] == ')') {  // (?x): for the rest of the enclosing group
        spacing_.back() = spacing;
        append_text(out_, text_.substr(pos_, p + 1 - pos_));
        pos_ = p + 1;
        return;
      }
    }
    spacing_.push_back(spacing);
    append_text(out_, "(");
    ++pos_;
  }

  // {NAME}: the named pattern, as a non-capturing group; any other brace
  // (a repetition count, a class operation {-}) is copied as it stands.
  void braces() {
    const std::size_t n = text_.size();
    std::size_t p = pos_ + 1;
    if (p < n && is_name_start(text_[p])) {
      while (p < n && is_name_char(text_[p])) ++p;
      if (p < n && text_[p] == '}') {
        std::string name = text_.substr(pos_ + 1, p - pos_ - 1);
        auto it = named_.find(name);
        if (it == named_.end()) fail("undefined named pattern {" + name + "}");
        append_named(out_, it->second);
        pos_ = p + 1;
        return;
      }
    }
    std::size_t end = text_.find('}', pos_);
    std::size_t blank = text_.find_first_of(" \t", pos_);
    if (end == std::string::npos || (blank != std::string::npos && blank < end)) {
      append_text(out_, "{");
      ++pos_;
      return;
    }
    append_text(out_, text_.substr(pos_, end + 1 - pos_));
    pos_ = end + 1;
  }

  const std::string& text_;
  std::size_t& pos_;
  const NamedPatterns& named_;
  bool rule_;
  int line_;
  Fragment out_;
  // Per open group, whether blanks in it belong to the pattern ((?x)); the
  // first entry is the top level, where a blank always ends the pattern.
  std::vector<bool> spacing_{false};
};

}  // namespace

FragmentPtr translate_pattern(const std::string& text, std::size_t& pos,
                              const NamedPatterns& named, bool rule, int line) {
  return Translator(text, pos, named, rule, line).run();
}

std::string expand_pattern(const Fragment& f, int line) {
  if (f.size > max_pattern_size)
    throw LexError(line, "pattern too large: longer than " + std::to_string(max_pattern_size) +
                             " bytes once its named patterns are pasted in");
  std::string out;
  out.reserve(f.size);
  // Depth-first over the pieces, without recursion: names may nest deeply.
  std::vector<std::pair<const Fragment*, std::size_t>> stack{{&f, 0}};
  while (!stack.empty()) {
    const Fragment* at = stack.back().first;
    std::size_t i = stack.back().second++;
    if (i == at->pieces.size()) {
      stack.pop_back();
      if (!stack.empty()) out += ')';
      continue;
    }
    const Fragment::Piece& piece = at->pieces[i];
    out += piece.text;
    if (piece.named) {
      out += "(?:";
      stack.push_back({piece.named.get(), 0});
    }
  }
  return out;
}

}  // namespace lexgen
