%top{
#include "tokprint.hpp"
#define YY_USER_ACTION ++actions;
%}
%option noyywrap yylineno nodefault outfile="ignored.cpp"
%option unknown-word

%class{
 public:
  int actions = 0;
%}

DIGIT	[0-9]
NUMBER	{DIGIT}+(\.{DIGIT}+)?
ID	[A-Za-z_][A-Za-z0-9_]*
/* A comment in the definitions,
   over two lines. */
  // Indented lines are code at file scope.
  static int eof_calls = 0;
%{
static const char* const greeting = "{ not a brace";
%}

%%
%{
  int seen_in_call = 0;
%}
{NUMBER}	TOK("number"); ++seen_in_call;
x$	TOK("x-at-end-of-line");
more:	yymore();
less[0-9]+	{ TOK("less"); yyless(4); }
count	{ std::cout << "numbers so far in this call " << seen_in_call << ", actions " << actions << "\n"; }
stop	return 7;
{ID}/"("	TOK("call");
{ID}	TOK("id");
"a b"	TOK("quoted-blank");
a\ c	TOK("escaped-blank");
^#.*	TOK("directive");
"<<"|">>"	TOK("shift");
"/*"(.|\n)*?"*/"	{ TOK("comment");
  /* a brace in a comment: { */
  const char* s = "}"; (void)s;
  char c = '{'; (void)c;
}
\x00	TOK("nul");
"+"	|
"-"	TOK("sign");
@	{ TOK("at"); int c = input(); std::cout << "input " << c << "\n"; }
!	{ TOK("bang"); unput('?'); unput('x'); }
"x?"	std::cout << "x-question|" << yytext << "\n";
"?"	TOK("question");
\.\.\.	ECHO;
[ \t]+	;
\n	ECHO;
<<EOF>>	{ std::cout << "end of input " << ++eof_calls << "\n"; yyterminate(); }
%%

int main(int argc, char** argv) {
  FILE* file = argc > 1 ? std::fopen(argv[1], "rb") : stdin;
  if (!file) return 3;
  yyFlexLexer lexer(file);
  (void)greeting;
  int token;
  while ((token = lexer.yylex()) != 0) std::cout << "return " << token << "\n";
  token = lexer.yylex();
  std::cout << "again " << token << "\n";
  return 0;
}
