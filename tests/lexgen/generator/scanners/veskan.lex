%option noyywrap
%option bison-bridge noline
%top{
#include <string>
#include <vector>
#include "ast_runtime.hpp"
#include "tokprint.hpp"
struct YYSTYPE { std::string text; };
#define YY_USER_ACTION yysetloc();
%}

%class {
public:
  std::vector<std::string> filenames;
  int activefile;
%}

%init {
  filenames.push_back("");
  activefile=0;
%}

%class {
public: YYLTYPE yylloc;
  void yysetloc(){
    yylloc.first.line=lineno();
    yylloc.first.file=activefile;
    yylloc.first.column=short(columno()+1);
    yylloc.last.line=lineno();
    yylloc.last.file=activefile;
    yylloc.last.column=short(columno()+size());
  }
%}

%{
// Material in front of the next token: blanks, comments, preprocessor lines.
static std::string pending;
static void add(const char* kind, const char* text, std::size_t size) {
  pending += std::string(" ") + kind + "(" + shown(text, size) + ")";
}
// The rest of a raw string literal, newlines included; "" when malformed.
static std::string raw_rest(yyFlexLexer& lex) {
  std::string result = "R\"";
  int c;
  while ((c = lex.input()) > 0) {  // EOF at the end, 0 for a NUL byte
    result += static_cast<char>(c);
    std::size_t open = result.find('(');
    if (c == '"' && open != std::string::npos && result.size() > 2 * (open - 2) + 5) {
      std::string close = ")" + result.substr(2, open - 2) + "\"";
      if (result.compare(result.size() - close.size(), close.size(), close) == 0)
        return result;
    }
  }
  return "";
}
%}
%%
%{
  pending.clear();
%}
[\x09\x0a\x20]+	{ add("spaces", yytext, yyleng); }
(?:\Q//\E).*\n	{ add("comment", yytext, yyleng); }
(?:\Q/*\E)(?:.|\n)*?(?:\Q*/\E)	{ add("comment", yytext, yyleng); }
^[\x09\x20]*#(?:\\\n|.)*\n	{ add("prepr", yytext, yyleng); }
(?:[A-Z_a-z][0-9A-Z_a-z]*)	{ yylval.text = yytext; return 1003; }
(?:\d+['0-9A-Za-z]*|\d['0-9]*(?:\.['0-9]*)?(?:[Ee][\x2b\x2d]?\d+[0-9A-Za-z]*)?)	{ yylval.text = yytext; return 1001; }
(?:'(?:[^\x0a'\x5c]|\\(?:x[0-9A-Fa-f]+|[0-9]+|.))')	{ yylval.text = yytext; return 1001; }
(?:\"(?:[^\x0a"\x5c]|\\.)*\")	{ yylval.text = yytext; return 1001; }
R\"	{ yylval.text = raw_rest(*this); return 1001; }
::|(?:\Q<<\E)	{ yylval.text = yytext; return 1004; }
.	{ yylval.text = yytext; return 1004; }
<<EOF>>	{ if (pending.empty()) return 0; yylval.text.clear(); return 1002; }
%%

int main() {
  yyFlexLexer lexer;
  YYSTYPE value;
  int token;
  while ((token = lexer.yylex(value)) != 0) {
    std::cout << token << " [" << shown(value.text.data(), value.text.size()) << "] @"
              << lexer.yylloc.first.line << ":" << lexer.yylloc.first.column << "-"
              << lexer.yylloc.last.column << pending << "\n";
    pending.clear();
  }
  return 0;
}
