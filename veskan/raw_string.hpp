// Reading a raw string literal by hand: the scanner matches R and the double
// quote, and this reads the rest with the lexer's input().
#ifndef VESKAN_RAW_STRING_HPP
#define VESKAN_RAW_STRING_HPP 1

#include <string>

// Longest delimiter of a raw string literal.
const size_t raw_delim_max = 16;

// Returns the whole literal, from R to the closing double quote. With
// newline_ok 0 a newline anywhere in it is an error. Errors ("RE error",
// positioned at the R and double quote): end of input inside the literal,
// a forbidden newline, a delimiter that is too long, holds a blank, a
// parenthesis, a backslash or a control character, or is not followed by
// "(".
template <typename Lexer> std::string reinput(Lexer &lexer, int newline_ok) {
  std::string result = "R\"";
  auto fail = [&lexer]() { yyerror(&lexer.yylloc, &lexer, "RE error"); };
  std::string delim;
  for (;;) {
    int c = lexer.input();
    if (c == 0) fail();
    result += static_cast<char>(c);
    if (c == '(') break;
    if (c <= ' ' || c == ')' || c == '\\' || c == 127 || delim.size() == raw_delim_max) fail();
    delim += static_cast<char>(c);
  }
  const size_t open = result.size() - 1;
  const std::string close = ")" + delim + "\"";
  for (;;) {
    int c = lexer.input();
    if (c == 0 || (c == '\n' && !newline_ok)) fail();
    result += static_cast<char>(c);
    if (c == '"' && result.size() >= open + 1 + close.size() &&
        result.compare(result.size() - close.size(), close.size(), close) == 0)
      return result;
  }
}

#endif
