// Translation of lex-level patterns into the regex level.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "lexfile.hpp"
#include "pattern.hpp"

namespace {

const std::map<std::string, std::string> named = {{"D", "[0-9]"}, {"ID", "[a-z]+"}};

// Translates `text` as a rule; `rest` receives what follows the pattern.
std::string rule(const std::string& text, std::string* rest = nullptr) {
  std::size_t pos = 0;
  std::string re = lexgen::translate_pattern(text, pos, named, true, 1);
  if (rest) *rest = text.substr(pos);
  return re;
}

TEST(Pattern, QuotedTextIsLiteral) {
  EXPECT_EQ(rule("\"a+b\""), "a\\+b");
  EXPECT_EQ(rule("\"a b\"x"), "a\\x20bx");
  EXPECT_EQ(rule("\"\\n\\\"\""), "\\n\\\"");  // escapes keep their meaning
  EXPECT_EQ(rule("\"/*\""), "\\/\\*");
}

TEST(Pattern, EndsAtTheFirstBlankOutsideQuotesAndBrackets) {
  std::string rest;
  EXPECT_EQ(rule("[a b]+ x", &rest), "[a b]+");
  EXPECT_EQ(rest, " x");
  EXPECT_EQ(rule("a\\ b\tx", &rest), "a\\x20b");
  EXPECT_EQ(rest, "\tx");
  EXPECT_EQ(rule("\\Q/ *\\E; x", &rest), "\\Q/ *\\E;");
  EXPECT_EQ(rest, " x");
  EXPECT_EQ(rule("[]a]b"), "[]a]b");
  EXPECT_EQ(rule("[^]\\] ]x"), "[^]\\] ]x");
  EXPECT_EQ(rule("[[:alpha:] ]"), "[[:alpha:] ]");
}

TEST(Pattern, NamedPatternsAndRepetitions) {
  EXPECT_EQ(rule("{D}{2,3}{ID}"), "(?:[0-9]){2,3}(?:[a-z]+)");
  EXPECT_EQ(rule("\\x{4a}{D}"), "\\x{4a}(?:[0-9])");
  EXPECT_EQ(rule("[{]{D}"), "[{](?:[0-9])");
}

TEST(Pattern, TrailingContextBecomesALookahead) {
  EXPECT_EQ(rule("{ID}/\"(\""), "(?:(?:[a-z]+))(?=\\()");
  EXPECT_EQ(rule("a|b/c|d"), "(?:a|b)(?=c|d)");
  EXPECT_EQ(rule("a\\/b"), "a\\/b");
  EXPECT_EQ(rule("[/]x"), "[/]x");
}

TEST(Pattern, AnchorsAndGroupsPassThrough) {
  EXPECT_EQ(rule("^(?:\\Q%{\\E)(?=[\\x09\\x0a\\x20])"), "^(?:\\Q%{\\E)(?=[\\x09\\x0a\\x20])");
  EXPECT_EQ(rule("x$"), "x$");
  EXPECT_EQ(rule("(?i:ab)c"), "(?i:ab)c");
}

// A description with "\r\n" line ends: no pattern takes the "\r" in.
TEST(Pattern, CarriageReturnsEndLinesNotPatterns) {
  lexgen::LexFile lf = lexgen::read_lexfile("D [0-9]\r\n%x S\r\n%%\r\n{D}+\r\n<S>x\t;\r\n<<EOF>>\r\n");
  EXPECT_EQ(lf.named.at("D"), "[0-9]");
  ASSERT_EQ(lf.rules.size(), 3u);
  EXPECT_EQ(lf.rules[0].regex, "(?:[0-9])+");
  EXPECT_EQ(lf.rules[1].regex, "x");
  EXPECT_TRUE(lf.rules[2].eof);
}

}  // namespace
