%top{
#include "tokprint.hpp"
%}
%option noyywrap
/* One rule per construct of the pattern language; each input token goes
   to the construct's rule when it matches whole, else to "word" or "char". */
L	[a-z]
V	[aeiou]
CONS	{L}{-}{V}
%%
\101\102\103	TOK("octal");
[\060-\062]+	TOK("octal-class");
\cA\cB	TOK("control");
[[:xdigit:]]+h	TOK("posix-xdigit");
[[:word:]]+@	TOK("posix-word");
[[:punct:]]{3}	TOK("posix-punct");
\p{Upper}\p{Digit}	TOK("property");
{CONS}+#	TOK("difference-named");
[a-c]{+}[0-2]{2}%	TOK("union");
[a-z]{&}[^a-w]=	TOK("intersection");
[a-z--[aeiou]]+\$	TOK("bracket-difference");
[a-z&&[^aeiou]]+\^	TOK("bracket-intersection");
\l\u	TOK("lower-upper");
\[\h\]	TOK("blank");
\u{20AC}+	TOK("code-point");
\bif\b	TOK("keyword");
x\>	TOK("word-end");
\<y	TOK("word-start");
pre[a-z]+	{ yyless(3); TOK("prefix"); }
\B[a-z]+	TOK("inside-a-word");
(?#a comment, with blanks)cmt	TOK("comment");
(?x: f r e e \  s p a c e )	TOK("free-spacing");
(?i:x(?-i:y))z	TOK("modifier-off");
"ab"+	TOK("quoted-unit");
"\n"	TOK("quoted-backslash-n");
"a+"/"?"	TOK("quoted-with-context");
[[:alnum:]_]+	TOK("word");
[ \n]+	;
.	TOK("char");
%%

int main() {
  yyFlexLexer lexer(stdin);
  while (lexer.yylex() != 0) {
  }
  return 0;
}
