%top{
#include <iostream>
#include <string>
#include <vector>
%}
%option noyywrap
%x COMMENT PING PONG

%class{
 public:
  // Each piece of output in brackets: ECHO and the default rule's copy.
  void LexerOutput(const char* s, std::size_t n) override {
    std::cout << "[";
    std::cout.write(s, static_cast<std::streamsize>(n));
    std::cout << "]";
  }
  // Inputs that the end-of-input action takes on, one after another.
  std::vector<std::string> more;
  std::size_t next = 0;
%}
%%
a	yymore();
b	ECHO;
"/*"	yy_push_state(COMMENT);
<COMMENT>"*/"	yy_pop_state();
<COMMENT>"/*"	{ std::cout << "nested, top " << yy_top_state() << "\n"; yy_push_state(COMMENT); }
<COMMENT>.|\n	;
"<"[^>]*">"	{
  std::cout << "span " << lineno() << ":" << columno() << " to " << lineno_end() << ":"
            << columno_end() << ", " << lines() << " lines, last " << columns()
            << " columns, " << str().size() << " bytes, " << wsize() << " characters, first "
            << chr() << "/" << wchr() << " then " << static_cast<long>(wstr()[1]) << "\n";
  echo();
  std::cout << "\n";
}
@	{
  std::cout << "peek " << peek();
  int c = input();
  std::cout << " input " << c << " then " << input();
  wunput(0x20AC);
  std::cout << " wide " << winput() << "\n";
}
ping	BEGIN PING;
<COMMENT><<EOF>>	{ std::cout << "unclosed comment\n"; BEGIN INITIAL; }
<PING><<EOF>>	{ std::cout << "ping\n"; BEGIN PONG; }
<PONG><<EOF>>	{ std::cout << "pong\n"; BEGIN PING; }
<<EOF>>	{ std::cout << "end of input\n"; if (next < more.size()) in(more[next++]); }
%%

int main() {
  yyFlexLexer lexer;  // given no input: reads standard input
  int token = lexer.yylex();
  std::cout << "return " << token << "\n";
  lexer.in(std::string("@!"));
  token = lexer.yylex();
  std::cout << "return " << token << "\n";
  // End-of-input actions that only change the start condition: they run
  // until as many have run as there are start conditions.
  lexer.in(std::string("ping"));
  token = lexer.yylex();
  std::cout << "return " << token << "\n";
  // The count starts again with each new input: every unclosed comment of
  // four inputs is reported in one scan.
  lexer.more = {"/* a", "/* b", "/* c", "/* d"};
  lexer.next = 1;
  lexer.start(INITIAL);
  lexer.in(lexer.more[0]);
  token = lexer.yylex();
  std::cout << "return " << token << "\n";
  return 0;
}
