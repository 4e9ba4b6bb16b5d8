// The raw-string reader of the scanner glue.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "scanner_glue.hpp"

namespace {

// Reads the literal whose rest (after R and the double quote) is `rest`,
// with EOF after it as the scanner's input() gives; returns the text read,
// or "FAIL" followed by it.
std::string read(const std::string& rest, bool newlines = false) {
  std::string text = "R\"";
  std::size_t i = 0;
  bool ok = glue::read_raw_string(text, newlines, [&] {
    return i < rest.size() ? static_cast<unsigned char>(rest[i++]) : EOF;
  });
  return ok ? text : "FAIL" + text;
}

TEST(RawString, ReadsUpToTheClosingDelimiter) {
  EXPECT_EQ(read("(a)\" rest"), "R\"(a)\"");
  EXPECT_EQ(read("xx(a)xx\" rest"), "R\"xx(a)xx\"");
  EXPECT_EQ(read("xy(a b)xy\""), "R\"xy(a b)xy\"");
  // A closing parenthesis and the delimiter without the quote go on.
  EXPECT_EQ(read("x(a)xy)x\"b"), "R\"x(a)xy)x\"");
  EXPECT_EQ(read("ab(q)a\")ab\""), "R\"ab(q)a\")ab\"");
  // A parenthesis restarts the closing match.
  EXPECT_EQ(read("d()))d\""), "R\"d()))d\"");
}

TEST(RawString, EmptyBodyIsALiteral) {
  EXPECT_EQ(read("()\""), "R\"()\"");
  EXPECT_EQ(read("end()end\""), "R\"end()end\"");
}

TEST(RawString, DelimiterOfSixteenCharacters) {
  std::string d(16, 'z');
  EXPECT_EQ(read(d + "(x)" + d + "\""), "R\"" + d + "(x)" + d + "\"");
  EXPECT_EQ(read(d + "z(x)" + d + "z\"").substr(0, 4), "FAIL");
}

TEST(RawString, DelimiterCharacters) {
  EXPECT_EQ(read("\"(x)\"\""), "R\"\"(x)\"\"");  // a quote may delimit
  EXPECT_EQ(read("a b(x)a b\"").substr(0, 4), "FAIL");
  EXPECT_EQ(read("a)(x)a)\"").substr(0, 4), "FAIL");
  EXPECT_EQ(read("a\\(x)a\\\"").substr(0, 4), "FAIL");
  EXPECT_EQ(read("a\t(x)a\t\"").substr(0, 4), "FAIL");
  EXPECT_EQ(read("\n(x)\n\"", true).substr(0, 4), "FAIL");
}

TEST(RawString, Failures) {
  EXPECT_EQ(read(""), "FAILR\"");
  EXPECT_EQ(read("abc"), "FAILR\"abc");          // no "(" before the end
  EXPECT_EQ(read("(abc"), "FAILR\"(abc");        // end inside the body
  EXPECT_EQ(read(std::string("(abc)\0\"", 7)), "FAILR\"(abc)");  // a NUL ends the input
  EXPECT_EQ(read("(a)x\"").substr(0, 4), "FAIL");  // delimiter does not match
  // End of input right after a quote inside the body.
  EXPECT_EQ(read("(a\""), "FAILR\"(a\"");
  EXPECT_EQ(read("x(a)x"), "FAILR\"x(a)x");
}

TEST(RawString, Newlines) {
  EXPECT_EQ(read("(a\nb)\"").substr(0, 4), "FAIL");
  EXPECT_EQ(read("(a\nb)\"", true), "R\"(a\nb)\"");
  EXPECT_EQ(read("x(\n)x\"", true), "R\"x(\n)x\"");
}

// A scanner stand-in: what reinput needs of the generated class.
struct FakeLexer {
  std::string rest;
  std::size_t pos = 0;
  YYLTYPE yylloc{4, 7, 4, 8};
  int input() { return pos < rest.size() ? static_cast<unsigned char>(rest[pos++]) : 0; }
};

TEST(Reinput, ReturnsTheWholeLiteral) {
  FakeLexer lex{"a(b)a\" tail"};
  EXPECT_EQ(reinput(lex, 0), "R\"a(b)a\"");
  EXPECT_EQ(lex.pos, 6u);  // the rest of the input is left for the scanner
}

TEST(ReinputDeathTest, ReportsAtTheOpeningOfTheLiteral) {
  FakeLexer lex{"(ab\ncd)\""};
  EXPECT_EXIT(reinput(lex, 0), testing::ExitedWithCode(1), "^4:8: RE error\n$");
}

TEST(MessageOnlyErrorDeathTest, WritesTheMessageAndEnds) {
  EXPECT_EXIT(yyerror(std::string("Can't open file x")), testing::ExitedWithCode(1),
              "^Can't open file x\n$");
}

}  // namespace

// The positioned error function every program supplies; this one prints the
// range's end without a file name.
void yyerror(YYLTYPE* loc, void*, const char* msg) {
  std::cerr << loc->last.line << ':' << loc->last.column << ": ";
  yyerror(std::string(msg));
}
