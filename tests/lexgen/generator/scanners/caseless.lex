%top{
#include <csignal>
#include <cstring>
#include <unistd.h>
#include "tokprint.hpp"
%}
%option case-insensitive interactive noyywrap
%%
select	{ TOK("select"); return 1; }
"from"	TOK("from");
[a-c]+	TOK("abc");
[^x\n ]	TOK("not-x");
x	TOK("x");
[ \n]	;
%%

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "pipe") == 0) {
    // Interactive input is read no further than a match needs: with the
    // pipe still open, the first token comes back without waiting for more.
    int fds[2];
    if (pipe(fds) != 0) return 3;
    const char line[] = "Select\n";
    if (write(fds[1], line, sizeof line - 1) != static_cast<ssize_t>(sizeof line - 1)) return 3;
    FILE* in = fdopen(fds[0], "r");
    alarm(5);
    yyFlexLexer lexer(in);
    int token = lexer.yylex();
    std::cout << "token " << token << "\n";
    return 0;
  }
  yyFlexLexer lexer;
  while (lexer.yylex() != 0) {
  }
  return 0;
}
