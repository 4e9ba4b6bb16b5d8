// The token list and the scan of preprocessor lines.
#include "tokens.hpp"

#include <cstring>
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
// position of every line is far too slow for large trees. The line is read
// once, and each test gives up at the first word after "#" that is not
// its own, so the patterns that cannot fit cost a comparison each.

static bool is_blank(char c) { return c == ' ' || c == '\t'; }
static bool is_ident_start(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
static bool is_ident_char(char c) { return is_ident_start(c) || (c >= '0' && c <= '9'); }

static bool word_at(const std::string &line, size_t i, const char *word, size_t n) {
  return line.size() - i >= n && std::memcmp(line.data() + i, word, n) == 0;
}

// "^[ \t]*#ifndef[ \t]+", from just after the "#".
static bool is_ifndef(const std::string &line, size_t i) {
  return word_at(line, i, "ifndef", 6) && i + 6 < line.size() && is_blank(line[i + 6]);
}

// "^[ \t]*#include[ \t]*[\"<]([^\">\n]+)[\">]", from just after the "#".
static bool is_include(const std::string &line, size_t i, std::string &name) {
  if (!word_at(line, i, "include", 7)) return false;
  i += 7;
  while (i < line.size() && is_blank(line[i])) ++i;
  if (i >= line.size() || (line[i] != '"' && line[i] != '<')) return false;
  size_t start = ++i;
  i = line.find_first_of("\">\n", start);
  if (i == std::string::npos || i == start || line[i] == '\n') return false;
  name.assign(line, start, i - start);
  return true;
}

// From just after the "#": "define[ \t]+" and a name, the name with its
// parameter list when one follows directly
// ("^[ \t]*\#define[ \t]+([A-Za-z_][A-Za-z_0-9]*\([^\n)]+\))"), else the
// name alone ("^[ \t]*\#define[ \t]+([A-Za-z_][A-Za-z_0-9]*)").
enum class define_form { none, macro, plain };
static define_form define_of(const std::string &line, size_t i, std::string &name) {
  if (!word_at(line, i, "define", 6)) return define_form::none;
  i += 6;
  if (i >= line.size() || !is_blank(line[i])) return define_form::none;
  while (i < line.size() && is_blank(line[i])) ++i;
  if (i >= line.size() || !is_ident_start(line[i])) return define_form::none;
  size_t start = i;
  while (i < line.size() && is_ident_char(line[i])) ++i;
  if (i < line.size() && line[i] == '(') {
    size_t close = line.find_first_of(")\n", i + 1);
    if (close != std::string::npos && close != i + 1 && line[close] == ')') {
      name.assign(line, start, close + 1 - start);
      return define_form::macro;
    }
  }
  name.assign(line, start, i - start);
  return define_form::plain;
}

void trace_prepr1(ast::List<ast::Space_domain *> list, header_info &info) {
  // Counts down from the last "#ifndef" line: an object-like define right
  // after it is an include guard and is not recorded.
  int guard = 0;
  std::string name;
  for (ast::List<ast::Space_domain *> r = begin(list); r != end(list); ++r) {
    if (typeid(**r) != typeid(ast::prepr_node)) continue;
    const std::string &text = static_cast<ast::prepr_node *>(*r)->f1_;
    // "^[ \t]*#": the patterns go on just after the "#".
    size_t i = 0;
    while (i < text.size() && is_blank(text[i])) ++i;
    if (i < text.size() && text[i] == '#') {
      ++i;
      define_form form;
      if (is_ifndef(text, i)) {
        guard = 2;
      } else if (is_include(text, i, name)) {
        if (info.includes.insert(name).second) {
          auto it = stdheaders.find(name);
          if (it != stdheaders.end())
            info.includes.insert(it->second.includes.begin(), it->second.includes.end());
        }
      } else if ((form = define_of(text, i, name)) == define_form::macro) {
        add_global(name, inpname);
      } else if (form == define_form::plain) {
        if (guard == 0) add_global(name, inpname);
      }
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
