#include "pattern.hpp"

#include "lexfile.hpp"

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

class Translator {
 public:
  Translator(const std::string& text, std::size_t& pos,
             const std::map<std::string, std::string>& named, bool rule,
             int line)
      : text_(text), pos_(pos), named_(named), rule_(rule), line_(line) {}

  std::string run() {
    std::string out;
    std::string head;
    bool context = false;
    int depth = 0;
    const std::size_t n = text_.size();
    while (pos_ < n && text_[pos_] != ' ' && text_[pos_] != '\t') {
      char c = text_[pos_];
      switch (c) {
        case '\\':
          escape(out);
          break;
        case '"':
          quoted(out);
          break;
        case '[':
          bracket(out);
          break;
        case '{':
          braces(out);
          break;
        case '(':
          ++depth;
          out += c;
          ++pos_;
          break;
        case ')':
          if (--depth < 0) fail("unbalanced ) in pattern");
          out += c;
          ++pos_;
          break;
        case '/':
          if (!rule_) fail("trailing context in a named pattern");
          if (depth > 0) fail("trailing context inside a group");
          if (context) fail("trailing context used twice");
          context = true;
          head.swap(out);
          ++pos_;
          break;
        default:
          out += c;
          ++pos_;
      }
    }
    if (depth > 0) fail("unbalanced ( in pattern");
    if (!context) {
      if (out.empty()) fail("missing pattern");
      return out;
    }
    if (head.empty()) fail("missing pattern before trailing context");
    if (out.empty()) fail("missing trailing context after /");
    return "(?:" + head + ")(?=" + out + ")";
  }

 private:
  [[noreturn]] void fail(const std::string& message) const {
    throw LexError(line_, message);
  }

  // A backslash escape: \Q...\E is copied whole (blanks and slashes in it
  // are literal); "\ " becomes a blank; \x{...} and the like keep their
  // braces; any other escape is copied as it stands.
  void escape(std::string& out) {
    const std::size_t n = text_.size();
    if (pos_ + 1 >= n) fail("pattern ends with a backslash");
    char d = text_[pos_ + 1];
    if (d == 'Q') {
      std::size_t end = text_.find("\\E", pos_ + 2);
      if (end == std::string::npos) fail("\\Q without \\E in pattern");
      out.append(text_, pos_, end + 2 - pos_);
      pos_ = end + 2;
      return;
    }
    if (d == ' ') {
      out += "\\x20";
      pos_ += 2;
      return;
    }
    out += '\\';
    out += d;
    pos_ += 2;
    if (is_name_start(d) && pos_ < n && text_[pos_] == '{') {
      std::size_t end = text_.find('}', pos_);
      if (end == std::string::npos) fail("unterminated \\" + std::string(1, d) + "{ in pattern");
      out.append(text_, pos_, end + 1 - pos_);
      pos_ = end + 1;
    }
  }

  // "...": literal text; backslash escapes keep their meaning.
  void quoted(std::string& out) {
    const std::size_t n = text_.size();
    ++pos_;
    while (pos_ < n && text_[pos_] != '"') {
      if (text_[pos_] == '\\') {
        if (pos_ + 1 >= n) break;
        out.append(text_, pos_, 2);
        pos_ += 2;
      } else {
        append_literal(out, static_cast<unsigned char>(text_[pos_]));
        ++pos_;
      }
    }
    if (pos_ >= n) fail("unterminated quoted text in pattern");
    ++pos_;
  }

  // [...]: copied as it stands; a "]" right after "[" or "[^" is a member,
  // escapes and [:name:] are skipped over.
  void bracket(std::string& out) {
    const std::size_t n = text_.size();
    std::size_t p = pos_ + 1;
    if (p < n && text_[p] == '^') ++p;
    if (p < n && text_[p] == ']') ++p;
    while (p < n && text_[p] != ']') {
      if (text_[p] == '\\' && p + 1 < n) {
        p += 2;
      } else if (text_[p] == '[' && p + 1 < n && text_[p + 1] == ':') {
        std::size_t end = text_.find(":]", p + 2);
        p = end == std::string::npos ? p + 1 : end + 2;
      } else {
        ++p;
      }
    }
    if (p >= n) fail("unterminated character class in pattern");
    out.append(text_, pos_, p + 1 - pos_);
    pos_ = p + 1;
  }

  // {NAME}: the named pattern as a non-capturing group; any other brace
  // (a repetition count) is copied as it stands.
  void braces(std::string& out) {
    const std::size_t n = text_.size();
    std::size_t p = pos_ + 1;
    if (p < n && is_name_start(text_[p])) {
      while (p < n && is_name_char(text_[p])) ++p;
      if (p < n && text_[p] == '}') {
        std::string name = text_.substr(pos_ + 1, p - pos_ - 1);
        auto it = named_.find(name);
        if (it == named_.end()) fail("undefined named pattern {" + name + "}");
        out += "(?:" + it->second + ")";
        pos_ = p + 1;
        return;
      }
    }
    std::size_t end = text_.find('}', pos_);
    std::size_t blank = text_.find_first_of(" \t", pos_);
    if (end == std::string::npos || (blank != std::string::npos && blank < end)) {
      out += '{';
      ++pos_;
      return;
    }
    out.append(text_, pos_, end + 1 - pos_);
    pos_ = end + 1;
  }

  const std::string& text_;
  std::size_t& pos_;
  const std::map<std::string, std::string>& named_;
  bool rule_;
  int line_;
};

}  // namespace

std::string translate_pattern(const std::string& text, std::size_t& pos,
                              const std::map<std::string, std::string>& named,
                              bool rule, int line) {
  return Translator(text, pos, named, rule, line).run();
}

}  // namespace lexgen
