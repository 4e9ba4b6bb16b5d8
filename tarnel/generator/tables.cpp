#include "tables.hpp"

std::map<std::string, symbolinfo> symbols;
std::map<std::string, constinfo> consts;
std::map<std::string, domaininfo> domains;
std::map<std::string, nodeinfo> nodes;
std::vector<operinfo> opers;
std::vector<lexdefinfo> lexdefs;
std::set<std::string> defined_symbols;
std::set<std::string> symbol_names;
std::set<std::string> lex_states;
std::map<std::string, int> union_fields;
std::map<std::string, int> new_symbol_suffixes;
const std::set<std::string> builtin_types{"int",   "std::string", "long",
                                          "double", "int64_t",     "char"};

ast::List<ast::Code_domain*> hcode = nullptr;
ast::List<ast::Code_domain*> topcode = nullptr;
ast::List<ast::Code_domain*> bottomcode = nullptr;
ast::List<ast::Code_domain*> grmcode = nullptr;
ast::List<ast::Code_domain*> lexcode = nullptr;
std::vector<ast::List<ast::Code_domain*>> lexcode_blocks;
ast::List<ast::Code_domain*> lexinitcode = nullptr;
ast::List<ast::Grule_domain*> new_rules = nullptr;

const std::regex ref_re(R"re(\$(\d+|\$))re", std::regex::ECMAScript);
// Letters are the Latin ones and the code page 1251 letters (0xC0 to 0xFF,
// 0xA8 and 0xB8).
const std::regex xref_re(
    R"re(\$(\[('.*?'|\".*?\"|\?.*?\?|[a-zA-Z\xC0-\xFF\xB8\xA8][-._a-zA-Z0-9\xC0-\xFF\xB8\xA8]*)\]|[a-zA-Z\xC0-\xFF\xB8\xA8][_a-zA-Z0-9\xC0-\xFF\xB8\xA8]*))re",
    std::regex::ECMAScript);

void add_symbol(const std::string& name, const std::string& type) {
  auto inserted = symbols.try_emplace(name);
  if (inserted.second) inserted.first->second.type = type;
}

void add_constant(const std::string& name, const std::string& type) {
  auto inserted = consts.try_emplace(name);
  if (inserted.second) inserted.first->second.type = type;
}

namespace {

bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }

bool is_ref_letter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0xC0 ||
         c == 0xB8 || c == 0xA8;
}

// Characters after the first letter of a bare "$name".
bool is_word_char(unsigned char c) {
  return is_ref_letter(c) || is_digit(c) || c == '_';
}

// Characters after the first letter of a bracketed "$[name]".
bool is_bracket_word_char(unsigned char c) {
  return is_word_char(c) || c == '-' || c == '.';
}

// The pattern's "." matches anything but a line break.
bool is_line_break(char c) { return c == '\n' || c == '\r'; }

}  // namespace

bool find_ref(const std::string& text, std::size_t from, ref_match& m) {
  const std::size_t n = text.size();
  for (std::size_t p = from; p + 1 < n; ++p) {
    if (text[p] != '$') continue;
    if (text[p + 1] == '$') {
      m = {p, 2, false};
      return true;
    }
    if (is_digit(text[p + 1])) {
      std::size_t r = p + 2;
      while (r < n && is_digit(text[r])) ++r;
      m = {p, r - p, false};
      return true;
    }
  }
  return false;
}

xref_finder::xref_finder(const std::string& text) : text_(text) {}

std::size_t xref_finder::bracket_end(std::size_t k) {
  const std::string& s = text_;
  const std::size_t n = s.size();
  if (k >= n) return std::string::npos;
  const char open = s[k];
  if (open == '\'' || open == '"' || open == '?') {
    scan& last = scans_[open == '\'' ? 0 : open == '"' ? 1 : 2];
    const std::size_t from = k + 1;
    if (last.from == std::string::npos || from < last.from || from > last.to) {
      std::size_t j = from;
      while (j < n && !is_line_break(s[j]) && !(s[j] == open && j + 1 < n && s[j + 1] == ']')) ++j;
      last = {from, j, j < n && !is_line_break(s[j])};
    }
    return last.found ? last.to + 2 : std::string::npos;
  }
  if (!is_ref_letter(open)) return std::string::npos;
  std::size_t j = k + 1;
  while (j < n && is_bracket_word_char(s[j])) ++j;
  return j < n && s[j] == ']' ? j + 1 : std::string::npos;
}

bool xref_finder::find(std::size_t from, ref_match& m) {
  const std::string& text = text_;
  const std::size_t n = text.size();
  for (std::size_t p = from; p + 1 < n; ++p) {
    if (text[p] != '$') continue;
    const std::size_t q = p + 1;
    if (text[q] == '[') {
      // "[" is no letter, so a bare name cannot start here either.
      std::size_t end = bracket_end(q + 1);
      if (end == std::string::npos) continue;
      m = {p, end - p, true};
      return true;
    }
    if (is_ref_letter(text[q])) {
      std::size_t r = q + 1;
      while (r < n && is_word_char(text[r])) ++r;
      m = {p, r - p, false};
      return true;
    }
  }
  return false;
}

bool find_xref(const std::string& text, std::size_t from, ref_match& m) {
  return xref_finder(text).find(from, m);
}
