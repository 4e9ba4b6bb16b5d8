// What a generated header gives the bridge test scanner: the token value,
// its clearing, the literal codes and the scanner's plain functions.
#ifndef BRIDGE_HPP
#define BRIDGE_HPP

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "ast_runtime.hpp"

struct YYSTYPE {
  std::string f1_;
  int f2_ = 0;
};

inline void yyclear_attr(YYSTYPE& v) { v = YYSTYPE(); }

// The code of a one-character token: the character for "(", ")", "+", "{",
// "}" and newline, else 1.
inline int yyliteral(const std::string& s) {
  if (s.size() != 1) return s.empty() ? 0 : 1;
  return std::string("()+{}\n").find(s[0]) != std::string::npos
             ? static_cast<unsigned char>(s[0])
             : 1;
}

typedef void* yyscan_t;
int yylex(YYSTYPE* lvalp, YYLTYPE* llocp, void* scanner);
const char* yylex_filename(void* scanner, int i);
void yylex_init(yyscan_t* scanner, FILE* f, const std::string& n);
void yylex_init(yyscan_t* scanner, const std::string& s);
void yylex_init(yyscan_t* scanner, std::istream& s, const std::string& n);
void yylex_init(yyscan_t* scanner);
void yylex_init_extra(void* extra, yyscan_t* scanner);
void yylex_destroy(yyscan_t scanner);
const char* yyget_text(yyscan_t scanner);
std::size_t yyget_leng(yyscan_t scanner);
int yyget_lineno(yyscan_t scanner);
FILE* yyget_in(yyscan_t scanner);
int yyget_debug(yyscan_t scanner);
void* yyget_extra(yyscan_t scanner);
void yyset_lineno(int line, yyscan_t scanner);
void yyset_in(FILE* file, yyscan_t scanner);
void yyset_debug(int flag, yyscan_t scanner);
void yyset_extra(void* extra, yyscan_t scanner);

// Calls the scanner without a value argument (a misuse).
void bridge_misuse(yyscan_t scanner);

// Positioned fatal error: "file:line:column: message", exit status 1.
void yyerror(YYLTYPE* loc, void* scanner, const char* message);

#endif
