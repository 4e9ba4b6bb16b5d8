// Translation of lex-level patterns into the regex level.
#include <gtest/gtest.h>

#include <string>

#include "lexfile.hpp"
#include "pattern.hpp"

namespace {

lexgen::NamedPatterns make_named() {
  lexgen::NamedPatterns named;
  for (const char* def : {"D [0-9]", "ID [a-z]+", "V [aeiou]"}) {
    std::string text = def;
    std::size_t pos = text.find(' ') + 1;
    const std::string name = text.substr(0, pos - 1);
    named[name] = lexgen::translate_pattern(text, pos, named, false, 1);
  }
  return named;
}
const lexgen::NamedPatterns named = make_named();

// Translates `text` as a rule; `rest` receives what follows the pattern.
std::string rule(const std::string& text, std::string* rest = nullptr) {
  std::size_t pos = 0;
  std::string re = lexgen::expand_pattern(*lexgen::translate_pattern(text, pos, named, true, 1), 1);
  if (rest) *rest = text.substr(pos);
  return re;
}

// The message of the LexError that translating `text` as a rule throws.
std::string rule_error(const std::string& text) {
  try {
    rule(text);
  } catch (const lexgen::LexError& e) {
    return e.what();
  }
  return "accepted";
}

// Inside quotes only \" is an escape; the text is one unit.
TEST(Pattern, QuotedTextIsLiteral) {
  EXPECT_EQ(rule("\"a+b\""), "(?:a\\+b)");
  EXPECT_EQ(rule("\"a b\"x"), "(?:a\\x20b)x");
  EXPECT_EQ(rule("\"\\n\\\"\""), "(?:\\\\n\\\")");  // a backslash, n and a quote
  EXPECT_EQ(rule("\"/*\""), "(?:\\/\\*)");
  EXPECT_EQ(rule("\"ab\"+"), "(?:ab)+");
  EXPECT_EQ(rule("\"x\"*"), "x*");
  EXPECT_EQ(rule("a\"\"*"), "a(?:)*");
  EXPECT_EQ(rule_error("\"\\\\\""), rule_error("\"a\\\\\"b\""));
  EXPECT_EQ(rule_error("\"\\\\\"").rfind("\\\\\" in quoted text is a backslash and a quote", 0), 0u);
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
  EXPECT_EQ(rule("[a-z--[ ]]] x", &rest), "[a-z--[ ]]]");
  EXPECT_EQ(rest, " x");
  EXPECT_EQ(rule("[^a&&[^]b]]{-}{V} x", &rest), "[^a&&[^]b]]{-}(?:[aeiou])");
  EXPECT_EQ(rest, " x");
  // Comments and free-spacing groups hold blanks; (?x) at the top level
  // does not.
  EXPECT_EQ(rule("(?# a ( b )a x", &rest), "(?# a ( b )a");
  EXPECT_EQ(rest, " x");
  EXPECT_EQ(rule("(?x: a (b) (?-x:c)d )e x", &rest), "(?x: a (b) (?-x:c)d )e");
  EXPECT_EQ(rest, " x");
  EXPECT_EQ(rule_error("(?x:a(?-x) b) x"), "unbalanced ( in pattern");
  EXPECT_EQ(rule("(?x)a b", &rest), "(?x)a");
}

TEST(Pattern, NamedPatternsAndRepetitions) {
  EXPECT_EQ(rule("{D}{2,3}{ID}"), "(?:[0-9]){2,3}(?:[a-z]+)");
  EXPECT_EQ(rule("\\x{4a}{D}"), "\\x{4a}(?:[0-9])");
  EXPECT_EQ(rule("[{]{D}"), "[{](?:[0-9])");
  EXPECT_EQ(rule("\\d{D}\\p{Alpha}\\u{20ac}\\c{{D}"), "\\d(?:[0-9])\\p{Alpha}\\u{20ac}\\c{(?:[0-9])");
  EXPECT_EQ(rule("{D}{-}[5]{+}{V}"), "(?:[0-9]){-}[5]{+}(?:[aeiou])");
}

// A name used many times is stored once, and nothing longer than the limit
// is ever built: sixteen levels of four uses each would paste 4^15 bytes.
TEST(Pattern, NamedPatternsAreSharedAndBounded) {
  lexgen::NamedPatterns defs;
  std::string prev = "A";
  std::size_t pos = 0;
  defs[prev] = lexgen::translate_pattern("a", pos, defs, false, 1);
  for (char c = 'B'; c <= 'P'; ++c) {
    std::string text = "{" + prev + "}{" + prev + "}{" + prev + "}{" + prev + "}";
    pos = 0;
    defs[std::string(1, c)] = lexgen::translate_pattern(text, pos, defs, false, 1);
    prev = std::string(1, c);
  }
  EXPECT_EQ(defs["P"]->pieces.size(), 4u);
  EXPECT_EQ(defs["P"]->pieces[0].named, defs["O"]);
  std::string c;
  for (int i = 0; i < 4; ++i) c += "(?:(?:a)(?:a)(?:a)(?:a))";
  EXPECT_EQ(lexgen::expand_pattern(*defs["C"], 1), c);
  try {
    lexgen::expand_pattern(*defs["P"], 7);
    ADD_FAILURE() << "expanded";
  } catch (const lexgen::LexError& e) {
    EXPECT_EQ(e.line(), 7);
    EXPECT_STREQ(e.what(), "pattern too large: longer than 1048576 bytes once its named patterns are pasted in");
  }
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
  EXPECT_EQ(lexgen::expand_pattern(*lf.named.at("D"), 1), "[0-9]");
  ASSERT_EQ(lf.rules.size(), 3u);
  EXPECT_EQ(lf.rules[0].regex, "(?:[0-9])+");
  EXPECT_EQ(lf.rules[1].regex, "x");
  EXPECT_TRUE(lf.rules[2].eof);
}

}  // namespace
