%top{
// Eleven C/C++ token rules (those of the Pattern/Matcher benchmarks, an
// earlier form of veskan's), as a generated scanner whose
// actions only return the rule's number; with `positions` set every action
// also asks for the line, the column and the text, as the project's
// scanners do.
#include <cstddef>
#define YY_USER_ACTION                                                                  \
  if (positions)                                                                        \
    position_sum += static_cast<std::size_t>(lineno() + columno()) +                    \
                    static_cast<unsigned char>(yytext[0]);
%}
%option noyywrap
%class{
 public:
  bool positions = false;
  std::size_t position_sum = 0;
%}
%%
[\x09\x0a\x20]+	return 1;
(?:\Q//\E).*\n	return 2;
(?:\Q/*\E)(?:.|\n)*?(?:\Q*/\E)	return 3;
^[\x09\x20]*#(?:\\\n|.)*\n	return 4;
(?:[A-Z_a-z][0-9A-Z_a-z]*)	return 5;
(?:\d+['0-9A-Za-z]*|\d['0-9]*(?:\.['0-9]*)?(?:[Ee][\x2b\x2d]?\d+[0-9A-Za-z]*)?)	return 6;
(?:'(?:[^\x0a'\x5c]|\\(?:x[0-9A-Fa-f]+|[0-9]+|.))')	return 7;
(?:\"(?:[^\x0a"\x5c]|\\.)*\")	return 8;
R\"	return 9;
::|(?:\Q<<\E)	return 10;
.	return 11;
%%

std::size_t generated_scan(const reflex::Input& input, bool positions, std::size_t& position_sum) {
  yyFlexLexer lexer(input);
  lexer.positions = positions;
  std::size_t tokens = 0;
  while (lexer.yylex() != 0) ++tokens;
  position_sum = lexer.position_sum;
  return tokens;
}
