// Runs the per-file steps over a source text held in memory and returns the
// summary of the tables.
#ifndef VESKAN_TEST_SOURCE_SCAN_HPP
#define VESKAN_TEST_SOURCE_SCAN_HPP 1

#include "decls.hpp"
#include "token_builder.hpp"

#include <cctype>

// A plain tokenizer for tests: identifiers, numbers, string literals, "::",
// "<<" and single characters; blanks are dropped.
inline void lex_text(const std::string &src) {
  free_list();
  lex_list.clear();
  size_t i = 0;
  while (i < src.size()) {
    unsigned char c = static_cast<unsigned char>(src[i]);
    size_t j = i + 1;
    int code = TOK_LEXEM;
    if (std::isspace(c)) {
      ++i;
      continue;
    } else if (std::isalpha(c) || c == '_') {
      while (j < src.size() && (std::isalnum(static_cast<unsigned char>(src[j])) || src[j] == '_'))
        ++j;
      code = TOK_IDENT;
    } else if (std::isdigit(c)) {
      while (j < src.size() && std::isalnum(static_cast<unsigned char>(src[j]))) ++j;
      code = TOK_CONST;
    } else if (c == '"') {
      while (j < src.size() && src[j] != '"') ++j;
      ++j;
      code = TOK_CONST;
    } else if (src.compare(i, 2, "::") == 0 || src.compare(i, 2, "<<") == 0) {
      j = i + 2;
    }
    push_token(code, src.substr(i, j - i));
    i = j;
  }
}

// Scans one file's text as the program does (the file name decides C or
// C++ and names the entries) and adds it to the tables.
inline void scan_text(const std::string &name, const std::string &src) {
  inpname = name;
  inplang_c = name.size() > 2 && (name.compare(name.size() - 2, 2, ".h") == 0 ||
                                  name.compare(name.size() - 2, 2, ".c") == 0);
  lex_text(src);
  trace_prepr();
  trace_decl();
  free_list();
}

#endif
