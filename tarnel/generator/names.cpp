#include "names.hpp"

#include <climits>
#include <cstdio>

#include "tables.hpp"

namespace {

const std::string list_prefix = "List<";

bool is_ascii_alnum(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool is_hex_digit(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

bool is_builtin_type(const std::string& t) { return builtin_types.count(t) != 0; }

bool is_big_builtin_type(const std::string& t) { return t == "std::string"; }

bool is_domain(const std::string& t) { return domains.count(t) != 0; }

bool is_domain_name(const std::string& t) {
  for (unsigned char c : t)
    if (!is_ascii_alnum(c)) return false;
  return !is_builtin_type(t);
}

bool is_list_type(const std::string& t) {
  return t.compare(0, list_prefix.size(), list_prefix) == 0;
}

std::string list_of_type(std::string t) {
  if (ends_with_mark(t)) t.pop_back();
  return list_prefix + t + ">";
}

std::string type_of_list(const std::string& t) {
  if (!is_list_type(t)) return t;
  // "List<" alone has no element type.
  if (t.size() <= list_prefix.size()) return "";
  return t.substr(list_prefix.size(), t.size() - list_prefix.size() - 1);
}

bool empty_type(const std::string& t) { return t.empty() || t == "?"; }

bool ends_with_mark(const std::string& t) { return !t.empty() && t.back() == '?'; }

std::string without_mark(const std::string& t) {
  return ends_with_mark(t) ? t.substr(0, t.size() - 1) : t;
}

std::string type_mark(const std::string& t, int mode) {
  if (ends_with_mark(t)) return "ast::Maybe<" + without_mark(t) + ">";
  if (mode == 1 && t == "std::string") return "const std::string&";
  return t;
}

bool isterminal(const std::string& s) {
  return !s.empty() && (s[0] == '?' || s[0] == '\'' || s[0] == '"');
}

bool isliteral(const std::string& s) {
  return !s.empty() && (s[0] == '\'' || s[0] == '"');
}

std::string normalize_terminal(const std::string& t) {
  if (t.size() < 2 || t[0] == '?') return t;
  const std::string text = decode_string(t.substr(1, t.size() - 2));
  const char quote = text.size() == 1 ? '\'' : '"';
  return quote + encode_string(text, 1) + quote;
}

std::string encode_string(const std::string& s, int hex) {
  std::string out;
  out.reserve(s.size());
  for (char ch : s) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      // A compiler reads a bare carriage return as the end of the line. The
      // canonical forms of terminals are decoded again, which reads \xNN
      // only; the generated code reads \r, and a \x there would take the
      // hexadecimal digits after it as well.
      out += hex ? "\\x0d" : "\\r";
    } else if (c == '\\' || c == '\'' || c == '"') {
      out += '\\';
      out += ch;
    } else if (c >= 127 && hex) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%x", static_cast<unsigned>(c));
      out += buf;
    } else {
      out += ch;
    }
  }
  return out;
}

std::string decode_string(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n) {
    if (s[i] == '\\' && i + 1 < n) {
      const char e = s[i + 1];
      if (e == 'n' || e == 't' || e == '\\' || e == '\'' || e == '"') {
        out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
        i += 2;
        continue;
      }
      if (e == 'x' && i + 3 < n && is_hex_digit(s[i + 2]) && is_hex_digit(s[i + 3])) {
        out += static_cast<char>(todigit(s[i + 2]) * 16 + todigit(s[i + 3]));
        i += 4;
        continue;
      }
    }
    out += s[i++];
  }
  return out;
}

int todigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

const char* const cyr_enc[32] = {
    "a", "b", "v",  "g",  "d",   "e", "zh", "z",  "i",  "y", "k",
    "l", "m", "n",  "o",  "p",   "r", "s",  "t",  "u",  "f", "kh",
    "ts", "ch", "sh", "tsh", "q", "iq", "j", "eq", "yu", "ya"};

std::string encode_symbol(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char ch : s) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 0xE0) {
      out += cyr_enc[c - 0xE0];
    } else if (c >= 0xC0) {
      std::string upper = cyr_enc[c - 0xC0];
      upper[0] = static_cast<char>(upper[0] - 'a' + 'A');
      out += upper;
    } else if (c == '-' || c == '.') {
      out += '_';
    } else if (c == 0xA8) {
      out += "Yo";
    } else if (c == 0xB8) {
      out += "yo";
    } else {
      out += ch;
    }
  }
  return out;
}

std::optional<int> read_decimal(const std::string& s, std::size_t pos, std::size_t* end) {
  std::size_t i = pos;
  long long value = 0;
  bool fits = true;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    if (fits) {
      value = value * 10 + (s[i] - '0');
      if (value > INT_MAX) fits = false;
    }
    ++i;
  }
  if (end) *end = i;
  if (i == pos || !fits) return std::nullopt;
  return static_cast<int>(value);
}
