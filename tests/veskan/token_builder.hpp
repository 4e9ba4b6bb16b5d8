// Builds token lists by hand for the tests of the preprocessor scan, the
// tables and the declaration recogniser.
#ifndef VESKAN_TEST_TOKEN_BUILDER_HPP
#define VESKAN_TEST_TOKEN_BUILDER_HPP 1

#include "tables.hpp"
#include "tokens.hpp"

#include <initializer_list>
#include <sstream>
#include <string>
#include <unordered_map>
#include <unordered_set>

// Empties every table and the token list.
inline void reset_tables() {
  free_list();
  lex_list.clear();
  clear_tables();
  inpname.clear();
  inplang_c = false;
}

// The global entries with their files, for comparing as a whole.
inline std::unordered_map<std::string, std::string> globals_map() {
  std::unordered_map<std::string, std::string> map;
  for (const auto &g : globals) map.emplace(g.first, g.second);
  return map;
}

// The known type names, for comparing as a whole.
inline std::unordered_set<std::string> alltypes_set() {
  std::unordered_set<std::string> set;
  for (std::string_view name : alltypes) set.emplace(name);
  return set;
}

// Material in front of a token: preprocessor lines (texts starting with
// "#" after optional blanks), comments (starting with "/") or blanks.
inline ast::List<ast::Space_domain *> material(std::initializer_list<std::string> items) {
  ast::List<ast::Space_domain *> list(nullptr);
  for (const std::string &s : items) {
    size_t i = s.find_first_not_of(" \t");
    ast::Space_domain *node;
    if (i != std::string::npos && s[i] == '#') node = ast::prepr(s, nullptr);
    else if (i != std::string::npos && s[i] == '/') node = ast::comment(s, nullptr);
    else node = ast::spaces(s, nullptr);
    list = ast::cons(list, node);
  }
  return list;
}

inline void push_token(int code, const std::string &text,
                       ast::List<ast::Space_domain *> before = nullptr) {
  YYSTYPE v;
  v.f1_ = ast::lexem(before, text, nullptr);
  lex_list.emplace_back(code, v, YYLTYPE());
}

inline void push_eof(ast::List<ast::Space_domain *> after) {
  YYSTYPE v;
  v.f1_ = ast::eoflex(after, nullptr);
  lex_list.emplace_back(TOK_EOF, v, YYLTYPE());
}

// The summary of the tables as text.
inline std::string summary_text() {
  std::ostringstream out;
  write_summary(out);
  return out.str();
}

#endif
