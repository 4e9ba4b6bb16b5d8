// The token list and the scan of preprocessor lines.
#include "tokens.hpp"

#include <string_view>
#include <typeinfo>

std::vector<lex_info> lex_list;
std::string inpname;
bool inplang_c = false;

std::string base_name(const std::string &path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The preprocessor-line tests are written out by hand rather than as
// std::regex searches: the library's matcher recurses once per character
// and overflows the stack on very long lines, and trying a pattern at every
// position of every line is far too slow for large trees. Each test does
// exactly what the pattern in its comment describes, searched from the
// start of the line.

static bool is_blank(char c) { return c == ' ' || c == '\t'; }
static bool is_ident_start(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
static bool is_ident_char(char c) { return is_ident_start(c) || (c >= '0' && c <= '9'); }

// "^[ \t]*#" followed by word: the position after the word, or npos.
static size_t directive(const std::string &line, const char *word) {
  size_t i = 0;
  while (i < line.size() && is_blank(line[i])) ++i;
  if (i >= line.size() || line[i] != '#') return std::string::npos;
  ++i;
  size_t n = std::char_traits<char>::length(word);
  if (line.compare(i, n, word) != 0) return std::string::npos;
  return i + n;
}

// "^[ \t]*#define[ \t]+([A-Za-z_][A-Za-z_0-9]*)": the position after the
// name and the position of its start, or npos.
static size_t define_name(const std::string &line, size_t &start) {
  size_t i = directive(line, "define");
  if (i == std::string::npos || i >= line.size() || !is_blank(line[i])) return std::string::npos;
  while (i < line.size() && is_blank(line[i])) ++i;
  if (i >= line.size() || !is_ident_start(line[i])) return std::string::npos;
  start = i;
  while (i < line.size() && is_ident_char(line[i])) ++i;
  return i;
}

// "^[ \t]*#ifndef[ \t]+"
bool match_ifndef(const std::string &line) {
  size_t i = directive(line, "ifndef");
  return i != std::string::npos && i < line.size() && is_blank(line[i]);
}

// "^[ \t]*#include[ \t]*[\"<]([^\">\n]+)[\">]"
bool match_include(const std::string &line, std::string &name) {
  size_t i = directive(line, "include");
  if (i == std::string::npos) return false;
  while (i < line.size() && is_blank(line[i])) ++i;
  if (i >= line.size() || (line[i] != '"' && line[i] != '<')) return false;
  size_t start = ++i;
  i = line.find_first_of("\">\n", start);
  if (i == std::string::npos || i == start || line[i] == '\n') return false;
  name = line.substr(start, i - start);
  return true;
}

// "^[ \t]*#define[ \t]+([A-Za-z_][A-Za-z_0-9]*\([^\n)]+\))"
bool match_macro(const std::string &line, std::string &name) {
  size_t start = 0;
  size_t i = define_name(line, start);
  if (i == std::string::npos || i >= line.size() || line[i] != '(') return false;
  size_t close = line.find_first_of(")\n", i + 1);
  if (close == std::string::npos || close == i + 1 || line[close] != ')') return false;
  name = line.substr(start, close + 1 - start);
  return true;
}

// "^[ \t]*#define[ \t]+([A-Za-z_][A-Za-z_0-9]*)"
bool match_define(const std::string &line, std::string &name) {
  size_t start = 0;
  size_t i = define_name(line, start);
  if (i == std::string::npos) return false;
  name = line.substr(start, i - start);
  return true;
}

void trace_prepr1(ast::List<ast::Space_domain *> list, header_info &info) {
  // Counts down from the last "#ifndef" line: an object-like define right
  // after it is an include guard and is not recorded.
  int guard = 0;
  std::string name;
  for (ast::List<ast::Space_domain *> r = begin(list); r != end(list); ++r) {
    if (typeid(**r) != typeid(ast::prepr_node)) continue;
    const std::string &text = static_cast<ast::prepr_node *>(*r)->f1_;
    if (match_ifndef(text)) {
      guard = 2;
    } else if (match_include(text, name)) {
      if (info.includes.insert(name).second) {
        auto it = stdheaders.find(name);
        if (it != stdheaders.end())
          info.includes.insert(it->second.includes.begin(), it->second.includes.end());
      }
    } else if (match_macro(text, name)) {
      add_global(name, inpname);
    } else if (match_define(text, name)) {
      if (guard == 0) add_global(name, inpname);
    }
    if (guard > 0) --guard;
  }
}

void trace_prepr_token(const lex_info &t, header_info &info) {
  if (t.token < 256 || !t.value.f1_) return;
  // The code tells the node's class: end of input carries an eoflex node,
  // every other token a lexem node.
  if (t.token == TOK_EOF) {
    trace_prepr1(static_cast<ast::eoflex_node *>(t.value.f1_)->f1_, info);
  } else {
    auto l = static_cast<ast::lexem_node *>(t.value.f1_);
    if (l->f1_) trace_prepr1(l->f1_, info);
    if (std::string_view(l->f2_) == "class") inplang_c = false;
  }
}

void trace_prepr() {
  header_info &info = headers[inpname];
  for (const lex_info &t : lex_list) trace_prepr_token(t, info);
}

void free_list() {
  for (lex_info &t : lex_list) {
    if (t.token >= 256 && t.value.f1_) {
      delete t.value.f1_;
      t.value.f1_ = nullptr;
    }
  }
}

void release_tokens() {
  free_list();
  lex_list.clear();
  ast::destroy(space_list);
}
