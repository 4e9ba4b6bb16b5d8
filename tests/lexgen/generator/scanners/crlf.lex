%top{
#include "tokprint.hpp"
%}
%option noyywrap
/* $ holds before "\n", before "\r\n" and at the end of the input, not
   before a "\r" alone. */
%%
[a-z]+;$	TOK("statement-at-end-of-line");
[a-z]+;	TOK("statement");
"//".*?$	TOK("comment");
[0-9]+/"!"$	TOK("number-before-bang-at-end-of-line");
\r\n	TOK("crlf");
\r	TOK("cr");
\n	TOK("lf");
" "	;
.	TOK("char");
%%

int main() {
  yyFlexLexer lexer(stdin);
  while (lexer.yylex() != 0) {
  }
  return 0;
}
