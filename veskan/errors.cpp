// Fatal diagnostics.
#include "scanner.hpp"

#include <iostream>

void yyerror(YYLTYPE *loc, void *scanner, const char *msg) {
  std::cerr << yylex_filename(scanner, loc->last.file) << ':' << loc->last.line << ':'
            << loc->last.column << ": ";
  yyerror(std::string(msg));
}

void yyerror(const std::string &msg) {
  std::cerr << msg << std::endl;
  std::exit(1);
}
