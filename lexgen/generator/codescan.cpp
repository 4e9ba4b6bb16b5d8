#include "codescan.hpp"

#include <cstddef>

namespace lexgen {

namespace {

bool ident_char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= '0' && c <= '9') || c == '_';
}

// Whether an identifier may prefix a string or character literal.
bool literal_prefix(const std::string& id, bool& raw) {
  static const char* const plain[] = {"L", "u", "U", "u8"};
  static const char* const raws[] = {"R", "LR", "uR", "UR", "u8R"};
  for (const char* p : raws)
    if (id == p) return raw = true;
  raw = false;
  for (const char* p : plain)
    if (id == p) return true;
  return false;
}

// Skips an ordinary string or character literal that opens at line[i];
// returns the position after it (or the end of the line).
std::size_t skip_literal(const std::string& line, std::size_t i) {
  char quote = line[i++];
  while (i < line.size() && line[i] != quote) i += line[i] == '\\' ? 2 : 1;
  return i < line.size() ? i + 1 : line.size();
}

}  // namespace

void CodeScanner::feed(const std::string& line) {
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (i < n) {
    if (state_ == BlockComment) {
      std::size_t end = line.find("*/", i);
      if (end == std::string::npos) return;
      state_ = Code;
      i = end + 2;
      continue;
    }
    if (state_ == Raw) {
      std::size_t end = line.find(raw_end_, i);
      if (end == std::string::npos) return;
      state_ = Code;
      i = end + raw_end_.size();
      continue;
    }
    char c = line[i];
    if (c == '/' && i + 1 < n && line[i + 1] == '/') return;
    if (c == '/' && i + 1 < n && line[i + 1] == '*') {
      state_ = BlockComment;
      i += 2;
    } else if (c == '"' || c == '\'') {
      i = skip_literal(line, i);
    } else if (c >= '0' && c <= '9') {
      // A number, with digit separators and exponent signs.
      while (i < n && (ident_char(line[i]) || line[i] == '\'' || line[i] == '.' ||
                       ((line[i] == '+' || line[i] == '-') &&
                        (line[i - 1] == 'e' || line[i - 1] == 'E' ||
                         line[i - 1] == 'p' || line[i - 1] == 'P'))))
        ++i;
    } else if (ident_char(c)) {
      std::size_t start = i;
      while (i < n && ident_char(line[i])) ++i;
      bool raw = false;
      if (i < n && (line[i] == '"' || line[i] == '\'') &&
          literal_prefix(line.substr(start, i - start), raw)) {
        if (!raw || line[i] == '\'') {
          i = skip_literal(line, i);
        } else {
          std::size_t paren = line.find('(', i + 1);
          if (paren == std::string::npos) return;
          raw_end_ = ")" + line.substr(i + 1, paren - i - 1) + "\"";
          state_ = Raw;
          i = paren + 1;
        }
      }
    } else {
      if (c == '{') ++depth_;
      if (c == '}' && --depth_ < 0) return;
      ++i;
    }
  }
}

}  // namespace lexgen
