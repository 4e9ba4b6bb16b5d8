// The regex dialect: what each construct matches, and how malformed
// expressions are reported.
#include <gtest/gtest.h>

#include <string>

#include "reflex/matcher.h"
#include "scan_util.h"

namespace {

// True when the one-rule pattern matches the whole of text.
bool whole(const std::string& regex, const std::string& text) {
  reflex::Matcher m(reflex::Pattern("(?m)(" + regex + ")"), text);
  return m.scan() == 1 && m.size() == text.size();
}

TEST(LexgenSyntax, Escapes) {
  EXPECT_TRUE(whole("\\n\\t\\r\\f\\v\\a\\e", "\n\t\r\f\v\a\x1b"));
  EXPECT_TRUE(whole("\\0101\\012", "A\n"));
  EXPECT_TRUE(whole("\\x41\\x4a\\x{42}\\x{0043}\\x9", "AJBC\t"));
  EXPECT_TRUE(whole("\\d\\D\\s\\S\\w\\W", "7x\vy_-"));
  EXPECT_FALSE(whole("\\d", "a"));
  EXPECT_FALSE(whole("\\W", "_"));
  EXPECT_TRUE(whole("\\\\\\.\\*\\(\\[\\{\\$\\^\\|\\?\\+\\ \\\"", "\\.*([{$^|?+ \""));
  EXPECT_TRUE(whole("\\Qa.b*(\\E+", "a.b*(((("));  // the quantifier takes the last byte
  EXPECT_FALSE(whole("\\Qa.b\\E", "axb"));
  EXPECT_TRUE(whole("\\Q$\\E[0-9]+", "$12"));
  // Without \E, \Q runs to the end of the expression.
  EXPECT_EQ(tokens(reflex::Pattern("\\Qa)|"), "a)|"), (Tokens{"1:a)|"}));
}

TEST(LexgenSyntax, BracketExpressions) {
  EXPECT_TRUE(whole("[a-cx]+", "abcxa"));
  EXPECT_FALSE(whole("[a-cx]", "d"));
  EXPECT_TRUE(whole("[^a-c]", "d"));
  EXPECT_TRUE(whole("[^a-c]", "\n"));
  EXPECT_TRUE(whole("[]a]+", "]a]"));
  EXPECT_TRUE(whole("[^]]", "a"));
  EXPECT_TRUE(whole("[a-]+", "-a"));
  EXPECT_TRUE(whole("[\\x2d.0-9]+", "-.5"));  // an escaped hyphen is no range
  EXPECT_FALSE(whole("[\\x2d.0-9]", ","));
  EXPECT_TRUE(whole("[\\]\\\\\\n]+", "]\\\n"));
  EXPECT_TRUE(whole("[\\d\\s]+", "1 2\t"));
  EXPECT_TRUE(whole("[\\xc0-\\xff]+", "\xc0\xe9\xff"));
  EXPECT_TRUE(whole("[[:alpha:]][[:digit:]][[:alnum:]][[:space:]][[:upper:]][[:lower:]]", "a1b\tAz"));
  EXPECT_TRUE(whole("[[:punct:]][[:xdigit:]][[:print:]][[:cntrl:]][[:blank:]]", "!f~\x7f "));
  EXPECT_FALSE(whole("[[:punct:]]", "a"));
  EXPECT_TRUE(whole("[[:a]+", "[:a"));  // not a class name: plain bytes
}

TEST(LexgenSyntax, DotGroupsRepetitionsAndModifiers) {
  EXPECT_FALSE(whole(".", "\n"));
  EXPECT_TRUE(whole("(?s).", "\n"));
  EXPECT_TRUE(whole("(?s:.)", "\n"));
  EXPECT_TRUE(whole(".", "\xff"));
  EXPECT_TRUE(whole("(ab|cd)(?:ef|gh)", "cdef"));
  EXPECT_TRUE(whole("a{3}", "aaa"));
  EXPECT_FALSE(whole("a{3}", "aa"));
  EXPECT_TRUE(whole("a{2,}", "aaaaa"));
  EXPECT_TRUE(whole("a{1,2}b", "aab"));
  EXPECT_FALSE(whole("a{1,2}b", "aaab"));
  EXPECT_TRUE(whole("a{0}b", "b"));
  EXPECT_TRUE(whole("a+?b", "aab"));  // lazy forms parse
  EXPECT_TRUE(whole("a??b", "ab"));
  EXPECT_TRUE(whole("a{1,3}?b", "aab"));
  EXPECT_TRUE(whole("a(?i)b|c", "aB"));  // (?i) runs to the end of the group
  EXPECT_TRUE(whole("x(?:a(?i)b|c)", "xC"));
  EXPECT_FALSE(whole("x(?:(?i)a)b", "xAB"));
  EXPECT_TRUE(whole("a]}", "a]}"));
  EXPECT_TRUE(whole("", "") == false);  // an empty match is no match
}

TEST(LexgenSyntax, RulesAreTopLevelAlternatives) {
  reflex::Pattern p("(?m)(a)|b(c)|(d|e)");
  EXPECT_EQ(p.size(), 3u);
  EXPECT_EQ(tokens(p, "abce"), (Tokens{"1:a", "2:bc", "3:e"}));
  EXPECT_EQ(reflex::Pattern("").size(), 1u);
  EXPECT_EQ(p.regex(), "(?m)(a)|b(c)|(d|e)");
}

struct BadRegex {
  const char* regex;
  const char* message;
  size_t pos;
};

TEST(LexgenSyntax, MalformedExpressionsNameTheProblemAndPosition) {
  const BadRegex cases[] = {
      {"ab(c", "missing ')' at position 2", 2},
      {"ab)", "unmatched ')' at position 2", 2},
      {"x[ab", "missing ']' at position 1", 1},
      {"*a", "nothing to repeat at position 0", 0},
      {"a|+", "nothing to repeat at position 2", 2},
      {"a{2,1}", "m < n at position 1", 1},
      {"a{x}", "invalid repetition {...} at position 1", 1},
      {"a{2", "invalid repetition {...} at position 1", 1},
      {"a{1001}", "repetition count above 1000 at position 1", 1},
      {"\\0", "\\0 must be followed by octal digits at position 0", 0},
      {"\\0777", "octal escape above \\0377 at position 0", 0},
      {"a\\xg", "\\x must be followed by hexadecimal digits at position 1", 1},
      {"\\x{100}", "patterns match bytes at position 0", 0},
      {"\\x{41", "invalid \\x{...} escape at position 0", 0},
      {"a\\b", "word boundary \\b is not supported at position 1", 1},
      {"\\<a\\>", "word boundary \\< is not supported at position 0", 0},
      {"[\\B]", "word boundary \\B is not supported at position 1", 1},
      {"\\q", "unknown escape \\q at position 0", 0},
      {"ab\\", "trailing backslash at position 2", 2},
      {"a\\E", "\\E without \\Q at position 1", 1},
      {"[z-a]", "end before start at position 1", 1},
      {"[\\d-z]", "invalid range in [...] at position 1", 1},
      {"[[:alfa:]]", "unknown character class [:alfa:] at position 1", 1},
      {"a(?=b)c", "trailing context (?=...) must end its alternative at position 6", 6},
      {"(a(?=b))c", "must end its alternative at position 8", 8},
      {"(a(?=b))*", "trailing context (?=...) cannot be repeated at position 8", 8},
      {"a(?=b(?=c))", "trailing context inside trailing context at position 5", 5},
      {"(?!a)", "negative lookahead (?!...) is not supported at position 0", 0},
      {"(?<=a)", "lookbehind and named groups are not supported at position 0", 0},
      {"(?x)", "unknown group modifier 'x' at position 2", 2},
      {"(?i", "missing ')' at position 0", 0},
  };
  for (const BadRegex& c : cases) {
    try {
      reflex::Pattern p(c.regex);
      ADD_FAILURE() << c.regex << " was accepted";
    } catch (const reflex::regex_error& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.regex << ": " << e.what();
      EXPECT_EQ(e.pos(), c.pos) << c.regex;
    }
  }
}

TEST(LexgenSyntax, OversizedPatternsFailClearly) {
  try {
    reflex::Pattern p("(a|b)*a(a|b){16}");
    ADD_FAILURE() << "exponential DFA was built";
  } catch (const reflex::regex_error& e) {
    EXPECT_EQ(std::string(e.what()), "pattern needs more than 20000 DFA states");
    EXPECT_EQ(e.pos(), reflex::regex_error::npos);
  }
  EXPECT_THROW(reflex::Pattern("((((a{1000}){1000}){1000}){1000})"), reflex::regex_error);
  EXPECT_THROW(reflex::Pattern(std::string(5000, '(') + std::string(5000, ')')), reflex::regex_error);
  std::string stacked = "a";
  for (int i = 0; i < 3000; ++i) stacked += "?";
  EXPECT_THROW(reflex::Pattern{stacked}, std::exception);
}

}  // namespace
