%top{
#include "tokprint.hpp"
%}
%option noyywrap
%x COMMENT STR
%s INCL

%class{
  void show_stack() {
    std::cout << "state " << YY_START << " top " << top_state()
              << " empty " << states_empty() << "\n";
  }
%}

%%
%{
  std::cout << "[call in INITIAL]\n";
default:
  std::cout << "[call " << start() << "]\n";
%}
"/*"	{ TOK("open"); push_state(COMMENT); show_stack(); }
<COMMENT>"*/"	{ TOK("close"); pop_state(); show_stack(); }
<COMMENT>"/*"	{ TOK("nested"); push_state(COMMENT); }
<COMMENT>.|\n	;
\"	{ TOK("quote"); push_state(STR); return 1; }
<STR>[^"\n#!~]+	TOK("body");
<STR>\"	{ pop_state(); return 2; }
<INITIAL,STR>"#"	|
<STR>"!"	TOK("hash-or-bang in STR");
<INITIAL>"%"	TOK("hash-or-percent in INITIAL");
begin	{ BEGIN INCL; show_stack(); }
<INCL>end	{ BEGIN(INITIAL); show_stack(); }
<INCL>only	TOK("only in INCL");
<*>"~"	TOK("tilde anywhere");
pop	{ pop_state(); show_stack(); }
bad	{ start(42); }
[a-z]+	TOK("word");
[ \n]	;
<COMMENT><<EOF>>	{ TOK("eof in COMMENT"); show_stack(); return 9; }
<<EOF>>	{ std::cout << "eof in " << YY_START << "\n"; return 0; }
<STR><<EOF>>	{ std::cout << "never: the rule above comes first\n"; return 5; }
%%

int main() {
  yyFlexLexer lexer;
  int token;
  // End of input inside a comment returns 9 on every call.
  while ((token = lexer.yylex()) != 0 && token != 9) std::cout << "return " << token << "\n";
  token = lexer.yylex();
  std::cout << "again " << token << "\n";
  return 0;
}
