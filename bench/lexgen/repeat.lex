%top{
// A scanner whose only rule is a bounded repetition: over 999 "a" and a
// "b", every scan reads to the "b" and fails, and the default action copies
// one byte.
#include <cstddef>
#include <ostream>
%}
%option noyywrap
%%
a{1000}	return 1;
%%

std::size_t repeat_scan(const reflex::Input& input, std::ostream& out) {
  yyFlexLexer lexer(input, &out);
  std::size_t tokens = 0;
  while (lexer.yylex() != 0) ++tokens;
  return tokens;
}
