// Scanner glue shared by the programs whose scanners come from ".lex" files in
// the layout tarnel writes (tarnel's own reader and veskan).
//
// What lives here is what does not depend on a program's value union or
// token codes:
//   - reinput: reads the rest of a C++ raw string literal after a rule has
//     matched its R and opening double quote, and reports "RE error" through
//     the positioned error function;
//   - the message-only error function yyerror(const std::string&), defined in
//     scanner_glue.cpp: writes the message and a newline to standard error
//     and ends the process with status 1. veskan links it; tarnel's
//     generated driver defines its own and uses only this header.
//
// Each program keeps its own YYSTYPE, its own scanner rules and its own
// positioned error function yyerror(YYLTYPE*, void*, const char*); the glue
// functions that need the value union (yylex over a handle, yylex_init with a
// file name, yylex_filename) are written into each program's ".lex".
//
// A second program uses the glue by linking the library `scanner_glue` and
// including this header from the header its ".lex" includes in %top. Its
// scanner class needs the members the ".lex" layout declares: input() and
// the current range `yylloc`.
#pragma once

#include <cstddef>
#include <string>

// A generated header that carries the runtime (tarnel's reader includes this
// file from its own) has already declared the ranges; the programs' copy of
// the runtime would repeat its unguarded printing templates.
#ifndef ASTTYPES_H
#include "ast_runtime.hpp"
#endif

// Message only; does not return.
void yyerror(const std::string& msg);
// The range's end and the scanner's file name before the message; defined by
// each program; does not return.
void yyerror(YYLTYPE* loc, void* scanner, const char* msg);

namespace glue {

// Longest raw-string delimiter C++ allows.
constexpr std::size_t raw_delimiter_max = 16;

// A character that may stand in a raw-string delimiter: anything but a blank,
// a parenthesis, a backslash or a control character.
inline bool raw_delimiter_char(int c) {
  return c > ' ' && c != '(' && c != ')' && c != '\\' && c != 0x7f;
}

// Reads the rest of a raw string literal whose R and opening double quote
// have just been matched; `text` holds those two characters and receives
// every character read. `next()` yields the following byte (1 to 255), or 0
// or EOF at end of input (the scanner's input() returns EOF there, and 0 for
// a NUL byte, which ends the literal too). A newline is part of the literal
// only when `newlines` is set. The literal ends at ")", the delimiter and a double quote; the body
// may be empty. Returns false for end of input inside the literal, a newline
// that is not allowed, and a delimiter that is too long, holds a character
// that a delimiter cannot hold or is not followed by "(".
template <typename Next>
bool read_raw_string(std::string& text, bool newlines, Next next) {
  std::string delim;
  for (;;) {
    int c = next();
    if (c <= 0) return false;
    text += static_cast<char>(c);
    if (c == '(') break;
    if (!raw_delimiter_char(c) || delim.size() == raw_delimiter_max) return false;
    delim += static_cast<char>(c);
  }
  // How much of the closing ")" and delimiter has been seen; npos: none.
  std::size_t seen = std::string::npos;
  for (;;) {
    int c = next();
    if (c <= 0) return false;
    text += static_cast<char>(c);
    if (c == '\n' && !newlines) return false;
    if (c == ')')
      seen = 0;
    else if (seen == delim.size() && c == '"')
      return true;
    else if (seen < delim.size() && c == delim[seen])
      ++seen;
    else
      seen = std::string::npos;
  }
}

}  // namespace glue

// Reads a raw string literal for a scanner rule that has matched R and a
// double quote, and returns the whole literal from the R on. A literal that
// does not end properly is fatal: "RE error" at the range of the R and
// double quote.
template <typename Lexer>
std::string reinput(Lexer& lexer, int newlines) {
  std::string text = "R\"";
  if (!glue::read_raw_string(text, newlines != 0, [&lexer] { return lexer.input(); }))
    yyerror(&lexer.yylloc, &lexer, "RE error");
  return text;
}
