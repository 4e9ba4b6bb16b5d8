// The positioned fatal error: the file name, line and column of the end of
// the offending range, then the message through the message-only error
// function, which ends the process with status 1.
#include "scanner.hpp"

#include <iostream>

void yyerror(YYLTYPE *loc, void *scanner, const char *msg) {
  std::cerr << yylex_filename(scanner, loc->last.file) << ':' << loc->last.line << ':'
            << loc->last.column << ": ";
  yyerror(std::string(msg));
}
