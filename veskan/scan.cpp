// Lexing one file into the token list.
#include "scanner.hpp"
#include "tokens.hpp"

#include <cstdio>
#include <iostream>
#include <sys/stat.h>

int yydebug_flag = 0;

int yylex_loop(void *scanner, header_info *info) {
  lex_list.clear();
  for (;;) {
    YYSTYPE value;
    YYLTYPE loc;
    int token = yylex(&value, &loc, scanner);
    if (token == TOK_END) return 0;
    lex_list.emplace_back(token, value, loc);
    if (info) trace_prepr_token(lex_list.back(), *info);
    if (yydebug_flag == 1) {
      std::cout << loc.first.line << ':' << loc.first.column << ' ' << loc.last.line << ':'
                << loc.last.column << ' ';
      lexprint(std::cout, token, value);
      std::cout << std::endl;
    }
  }
}

int yyparse_file(const char *path, bool traced) {
  std::string name(path);
  inpname = base_name(name);
  header_info *info = traced ? &headers[inpname] : nullptr;
  void *scanner = nullptr;
  FILE *file = nullptr;
  if (!name.empty()) {
    file = std::fopen(path, "r");
    // A directory opens but reads as nothing: it is no source file either.
    struct stat st;
    if (file && (fstat(fileno(file), &st) != 0 || S_ISDIR(st.st_mode))) {
      std::fclose(file);
      file = nullptr;
    }
    if (!file) yyerror("Can't open file " + name);
    yylex_init(&scanner, file, name);
  } else {
    yylex_init(&scanner);
  }
  int result = yylex_loop(scanner, info);
  yylex_destroy(scanner);
  if (file) std::fclose(file);
  return result;
}
