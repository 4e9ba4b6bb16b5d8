// Runs the per-file steps over a source text held in memory and returns the
// summary of the tables.
#ifndef VESKAN_TEST_SOURCE_SCAN_HPP
#define VESKAN_TEST_SOURCE_SCAN_HPP 1

#include "decls.hpp"
#include "scanner.hpp"
#include "token_builder.hpp"

// Lexes a source text into the token list with veskan's scanner.
inline void lex_text(const std::string &src) {
  free_list();
  void *scanner = nullptr;
  yylex_init(&scanner, src);
  yylex_loop(scanner);
  yylex_destroy(scanner);
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
