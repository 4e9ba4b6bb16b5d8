%top{
#include <sstream>
#include "tokprint.hpp"
%}
%option yywrap

%class{
  int wrap_calls = 0;
  std::istringstream second{"second input\n"};
 public:
  // The first two ends of input switch to more input; the third asks to go
  // on without giving any; then the input is done.
  int yywrap() override {
    ++wrap_calls;
    if (wrap_calls == 1) switch_streams(second, nullptr);
    if (wrap_calls == 2) in(std::string("third"));
    return wrap_calls <= 3 ? 0 : 1;
  }
  void LexerOutput(const char* s, std::size_t n) override {
    std::cout << "<";
    std::cout.write(s, static_cast<std::streamsize>(n));
    std::cout << ">";
  }
%}
%%
[a-z]+	TOK("word");
\n	ECHO;
<<EOF>>	{ std::cout << "end of input at line " << yylineno << " after " << wrap_calls << " wraps\n"; return 0; }
%%

int main() {
  yyFlexLexer lexer;
  for (int call = 0; call < 2; ++call) {
    int token = lexer.yylex();
    std::cout << "return " << token << "\n";
  }
  return 0;
}
