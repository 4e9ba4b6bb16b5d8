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

TEST(LexgenSyntax, OctalControlAndCodePointEscapes) {
  EXPECT_TRUE(whole("\\101\\132\\12\\1", "AZ\n\x01"));
  EXPECT_TRUE(whole("[\\101-\\132]+", "AQZ"));
  EXPECT_FALSE(whole("[\\101-\\132]", "a"));
  EXPECT_TRUE(whole("\\1012", "A2"));  // three digits at most
  EXPECT_TRUE(whole("\\cA\\cM\\cJ\\ca", "\x01\r\n\x01"));
  EXPECT_TRUE(whole("[\\cA-\\cC]", "\x02"));
  EXPECT_TRUE(whole("\\u{41}\\u{e9}\\u{20AC}\\u{1F600}", "A\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"));
  EXPECT_TRUE(whole("\\u{20ac}+", "\xe2\x82\xac\xe2\x82\xac"));  // one unit for the quantifier
  EXPECT_FALSE(whole("\\u{20ac}+", "\xe2\x82\xac\xac"));
  EXPECT_TRUE(whole("[\\u{41}-\\u{43}]", "B"));
}

TEST(LexgenSyntax, ShorthandAndNamedClasses) {
  EXPECT_TRUE(whole("\\h\\h\\l\\u", " \tqQ"));
  EXPECT_FALSE(whole("\\h", "\n"));
  EXPECT_FALSE(whole("\\l", "Q"));
  EXPECT_FALSE(whole("\\u", "q"));
  EXPECT_TRUE(whole("[\\l\\d]+", "a1z9"));
  EXPECT_TRUE(whole("(?i)\\u", "q"));
  EXPECT_TRUE(whole("[[:graph:]]+[[:word:]]+", "!~a_Z9"));
  EXPECT_FALSE(whole("[[:graph:]]", " "));
  EXPECT_FALSE(whole("[[:word:]]", "-"));
  EXPECT_TRUE(whole("\\p{Alnum}\\p{Alpha}\\p{Blank}\\p{Cntrl}\\p{Digit}\\p{Graph}\\p{Lower}", "1a\t\x7f" "5#z"));
  EXPECT_TRUE(whole("\\p{Print}\\p{Punct}\\p{Space}\\p{Upper}\\p{Word}\\p{Xdigit}\\p{XDigit}", " ;\nQ_fA"));
  EXPECT_FALSE(whole("\\p{Punct}", "a"));
  EXPECT_TRUE(whole("[\\p{Upper}_]+", "A_B"));
}

TEST(LexgenSyntax, ClassSetOperations) {
  EXPECT_TRUE(whole("[a-z]{-}[aeiou]", "b"));
  EXPECT_FALSE(whole("[a-z]{-}[aeiou]", "e"));
  EXPECT_TRUE(whole("[a-c]{+}[x-z]", "y"));
  EXPECT_TRUE(whole("[a-z]{&}[^a-w]", "x"));
  EXPECT_FALSE(whole("[a-z]{&}[^a-w]", "b"));
  EXPECT_TRUE(whole("[a-z]{-}[aeiou]{-}[xyz]+", "bcd"));  // left to right; the quantifier takes the result
  EXPECT_FALSE(whole("[a-z]{-}[aeiou]{-}[xyz]", "x"));
  EXPECT_TRUE(whole("\\w{-}\\d", "_"));
  EXPECT_FALSE(whole("\\w{-}\\d", "3"));
  EXPECT_TRUE(whole("(?:[a-z]){-}(?:[b-z])", "a"));  // named patterns come as groups
  EXPECT_FALSE(whole("(?i)[a-z]{-}[aeiou]", "E"));
  EXPECT_TRUE(whole("(?i)[a-z]{-}[aeiou]", "B"));
  // Inside a bracket expression, on what it holds so far.
  EXPECT_TRUE(whole("[a-z--[aeiou]]+", "bcd"));
  EXPECT_FALSE(whole("[a-z--[aeiou]]", "a"));
  EXPECT_FALSE(whole("[a-z--[aeiou]]", "]"));
  EXPECT_TRUE(whole("[a-z&&[^aeiou]]", "k"));
  EXPECT_FALSE(whole("[a-z&&[^aeiou]]", "o"));
  EXPECT_FALSE(whole("(?i)[a-zA-Z--[a]]", "A"));
  EXPECT_TRUE(whole("[+--]", ","));  // "--" before anything but "[" is a range
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
  // Comments, free spacing, and modifiers turned off.
  EXPECT_TRUE(whole("a(?#any text|)b", "ab"));
  EXPECT_TRUE(whole("(?x: a b+ # a comment\n \\  [ ] c )", "abb  c"));
  EXPECT_TRUE(whole("(?x)a (?-x: b)", "a b"));
  EXPECT_FALSE(whole("(?x:a b)", "a b"));
  EXPECT_TRUE(whole("(?i:x(?-i:y))", "Xy"));
  EXPECT_FALSE(whole("(?i:x(?-i:y))", "XY"));
  EXPECT_TRUE(whole("(?is-s:a.)", "Ab") && !whole("(?is-s:a.)", "A\n"));
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
      {"\\777", "octal escape above \\377 at position 0", 0},
      {"a\\c", "\\c must be followed by a character at position 1", 1},
      {"[\\B]", "word boundary \\B is not allowed inside [...] at position 1", 1},
      {"\\p{L}", "unknown character class \\p{L}: only the ASCII classes", 0},
      {"\\p{alpha}", "unknown character class \\p{alpha}", 0},
      {"\\u{110000}", "\\u{...} above \\u{10FFFF} at position 0", 0},
      {"\\u{d800}", "surrogate", 0},
      {"\\u{41", "invalid \\u{...} escape at position 0", 0},
      {"[\\u{e9}]", "\\u{...} above \\u{7F} inside [...]", 1},
      {"(a|)b", "empty alternative: write (a)? rather than (a|) at position 3", 3},
      {"(|a)", "empty alternative", 1},
      {"a||b", "empty alternative", 2},
      {"a{-}[a]", "class operation {-} needs a character class before it at position 1", 1},
      {"[ab]{&}b", "class operation {&} needs a character class after it at position 4", 4},
      {"[ab]{+}", "class operation {+} needs a character class after it", 4},
      {"[a-z--[a]", "missing ']' at position 0", 0},
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
      {"(?y)", "unknown group modifier 'y' at position 2", 2},
      {"(?i--s)", "unknown group modifier '-' at position 4", 4},
      {"(?#open", "missing ')' at position 0", 0},
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
  // Tens of thousands of states build; with every byte a class of its own
  // the table has room for 65536.
  EXPECT_GT(reflex::Pattern("(a|b)*a(a|b){14}").states(), 32768u);
  std::string bytes = "\\x00";
  for (int b = 1; b < 256; ++b) bytes += "|\\x" + std::string(1, "0123456789abcdef"[b / 16]) + "0123456789abcdef"[b % 16];
  try {
    reflex::Pattern p("(a|b)*a(a|b){15}|" + bytes);
    ADD_FAILURE() << "exponential DFA was built";
  } catch (const reflex::regex_error& e) {
    EXPECT_EQ(std::string(e.what()), "pattern needs more than 65536 DFA states");
    EXPECT_EQ(e.pos(), reflex::regex_error::npos);
  }
  EXPECT_THROW(reflex::Pattern("((((a{1000}){1000}){1000}){1000})"), reflex::regex_error);
  EXPECT_THROW(reflex::Pattern(std::string(5000, '(') + std::string(5000, ')')), reflex::regex_error);
  std::string stacked = "a";
  for (int i = 0; i < 3000; ++i) stacked += "?";
  EXPECT_THROW(reflex::Pattern{stacked}, std::exception);
}

}  // namespace
