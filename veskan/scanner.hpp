// The plain-function interface of veskan's generated scanner.
#ifndef VESKAN_SCANNER_HPP
#define VESKAN_SCANNER_HPP 1

#include "veskan.hpp"

#include <cstdio>
#include <istream>
#include <string>

typedef void *yyscan_t;

void yylex_init(yyscan_t *scanner);
void yylex_init(yyscan_t *scanner, FILE *f, const std::string &name);
void yylex_init(yyscan_t *scanner, std::istream &in, const std::string &name);
void yylex_init(yyscan_t *scanner, const std::string &text);
void yylex_destroy(yyscan_t scanner);
int yylex(YYSTYPE *value, YYLTYPE *loc, void *scanner);
const char *yylex_filename(void *scanner, int i);

#endif
