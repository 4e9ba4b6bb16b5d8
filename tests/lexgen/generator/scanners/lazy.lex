%top{
#include "tokprint.hpp"
%}
%option noyywrap
/* A lazy quantifier ends the matches that go through it at the first one;
   the rule's other paths still compete by length. */
%%
(a*?|[a-z]+)b	TOK("lazy-or-word-then-b");
"/*"(.|\n)*?"*/"	TOK("comment");
"#".*?"#"+	TOK("hashes");
[a-z]+	TOK("word");
[ \n]	;
.	TOK("char");
%%

int main() {
  yyFlexLexer lexer(stdin);
  while (lexer.yylex() != 0) {
  }
  return 0;
}
