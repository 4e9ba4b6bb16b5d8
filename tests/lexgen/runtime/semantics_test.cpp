// The matching rules a scanner relies on, each with its known examples.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <sstream>
#include <string>

#include "reflex/matcher.h"
#include "scan_util.h"

namespace {

TEST(LexgenSemantics, LongestMatchThenEarlierRule) {
  reflex::Pattern p("(?m)(if)|([a-z]+)|( )");
  EXPECT_EQ(tokens(p, "if iffy i"), (Tokens{"1:if", "3: ", "2:iffy", "3: ", "2:i"}));
  // Equal length: the earlier rule, whatever their order of appearance.
  reflex::Pattern q("(?m)([a-z]+)|(if)");
  EXPECT_EQ(tokens(q, "if"), (Tokens{"1:if"}));
}

TEST(LexgenSemantics, TrailingContextCountsInLengthNotInToken) {
  // Rule 1 matches 4 bytes with its context, beating rule 2's 3; its token
  // is "ab" and scanning resumes at "cd".
  reflex::Pattern p("(?m)(ab(?=cd))|(abc)|(cd)");
  EXPECT_EQ(tokens(p, "abcd"), (Tokens{"1:ab", "3:cd"}));
  EXPECT_EQ(tokens(p, "abce"), (Tokens{"2:abc", "0:e"}));
  // Variable-length head and context; equal lengths go to rule 1.
  reflex::Pattern q("(?m)(x+(?= *=))|([x =]+)");
  EXPECT_EQ(tokens(q, "xxx  ="), (Tokens{"1:xxx", "2:  ="}));
  EXPECT_EQ(tokens(q, "xxx  =x"), (Tokens{"2:xxx  =x"}));
}

TEST(LexgenSemantics, LazyQuantifierEndsItsPathsAtTheShortestMatch) {
  EXPECT_EQ(tokens(reflex::Pattern("(?m)(a.*?b+)"), "axbbb"), (Tokens{"1:axb", "0:b", "0:b"}));
  EXPECT_EQ(tokens(reflex::Pattern("(?m)(a*?)"), "aa"), (Tokens{"1:a", "1:a"}));
  // Paths of the rule that do not go through the lazy quantifier go on.
  EXPECT_EQ(tokens(reflex::Pattern("(?m)(ab|a.*?c)"), "abxc"), (Tokens{"1:abxc"}));
  EXPECT_EQ(tokens(reflex::Pattern("(?m)((a*?|[a-z]+)b)"), "aabxb"), (Tokens{"1:aabxb"}));
  EXPECT_EQ(tokens(reflex::Pattern("(?m)(x(a.*?b|c+)d?)"), "xaxbd xccd"), (Tokens{"1:xaxb", "0:d", "0: ", "1:xccd"}));
  // Other rules still compete by length.
  EXPECT_EQ(tokens(reflex::Pattern("(?m)(a.*?b)|(abc)"), "abcb"), (Tokens{"2:abc", "0:b"}));
  // A block comment ends at the first "*/". Rules are the top-level
  // alternatives: the inner group is not one.
  reflex::Pattern c("(?m)(/\\*(.|\\n)*?\\*/)|(.|\\n)");
  EXPECT_EQ(tokens(c, "/* a\n*/ */"), (Tokens{"1:/* a\n*/", "2: ", "2:*", "2:/"}));
}

TEST(LexgenSemantics, EmptyMatchesAreNeverReturned) {
  reflex::Pattern p("(?m)(a*)|(b)");
  reflex::Matcher m(p, "cab");
  EXPECT_EQ(m.scan(), 0u);
  EXPECT_FALSE(m.at_end());
  EXPECT_EQ(m.size(), 0u);
  EXPECT_STREQ(m.text(), "");
  EXPECT_EQ(m.input(), 'c');
  EXPECT_EQ(drain(m), (Tokens{"1:a", "2:b"}));
  // A rule that can only match the empty string never fires.
  EXPECT_EQ(tokens(reflex::Pattern("(?m)(^)|($)|(x)"), "\nx"), (Tokens{"0:\n", "3:x"}));
  // Winning with an empty token (its length is all trailing context) is no match.
  EXPECT_EQ(tokens(reflex::Pattern("(?m)(a*(?=b))"), "b"), (Tokens{"0:b"}));
}

TEST(LexgenSemantics, AnchorsInMultilineMode) {
  reflex::Pattern p("(?m)(^a)|(a$)|(a)|(\\n)");
  EXPECT_EQ(tokens(p, "aaa\naa"), (Tokens{"1:a", "3:a", "2:a", "4:\n", "1:a", "2:a"}));
  // "$" consumes nothing.
  EXPECT_EQ(tokens(reflex::Pattern("(?m)(x$\\n)"), "x\n"), (Tokens{"1:x\n"}));
  // A newline read by input() starts a line.
  {
    reflex::Matcher m(p, "b\na");
    EXPECT_EQ(m.scan(), 0u);
    EXPECT_EQ(m.input(), 'b');
    EXPECT_EQ(m.input(), '\n');
    EXPECT_TRUE(m.at_bol());
    EXPECT_EQ(m.scan(), 1u);
  }
  // unput('\n'): the newline is the next match, and a line starts after it.
  {
    reflex::Matcher m(p, "aa");
    EXPECT_EQ(m.scan(), 1u);
    m.unput('\n');
    EXPECT_EQ(m.scan(), 4u);
    EXPECT_TRUE(m.at_bol());
    EXPECT_EQ(m.scan(), 1u);  // "^a" after the put-back newline
  }
}

TEST(LexgenSemantics, AnchorsWithoutMultilineMode) {
  // "^" holds only at the start of the input, "$" only at its end.
  reflex::Pattern p("(^a)|(a$)|(a)|(\\n)");
  EXPECT_EQ(tokens(p, "aa\naa"), (Tokens{"1:a", "3:a", "4:\n", "3:a", "2:a"}));
}

TEST(LexgenSemantics, WordBoundariesAndEdges) {
  // Word bytes are ASCII letters, digits and "_"; the ends of the input
  // count as non-word bytes.
  reflex::Pattern p("(?m)(\\bab\\b)|([a-z_]+)|(.)");
  EXPECT_EQ(tokens(p, "ab abc ab_ ab"), (Tokens{"1:ab", "3: ", "2:abc", "3: ", "2:ab_", "3: ", "1:ab"}));
  reflex::Pattern edges("(?m)(\\<a)|(a\\>)|(a)|( )");
  EXPECT_EQ(tokens(edges, "aaa a"), (Tokens{"1:a", "3:a", "2:a", "4: ", "1:a"}));
  EXPECT_EQ(tokens(reflex::Pattern("(?m)(a\\B)|(a)"), "aa a"), (Tokens{"1:a", "2:a", "0: ", "2:a"}));
  // The byte before a match counts, also one consumed by input().
  reflex::Matcher m(reflex::Pattern("(?m)(\\<ab)|([a-z])"), "xab");
  EXPECT_EQ(m.input(), 'x');
  EXPECT_EQ(drain(m), (Tokens{"2:a", "2:b"}));
  // A word edge in trailing context, and before the end of the input.
  reflex::Pattern look("(?m)(a(?=b\\>))|([ab])|( )");
  EXPECT_EQ(tokens(look, "ab abb"), (Tokens{"1:a", "2:b", "3: ", "2:a", "2:b", "2:b"}));
}

// When the buffer drops the bytes before a match, the byte before it still
// counts: here the match moves to the front of the buffer, less(0) goes back
// to its start and another pattern scans from there.
TEST(LexgenSemantics, WordBoundaryAtTheFrontOfTheBuffer) {
  const std::string text = std::string(65533, 'a') + "bcdefgh";
  reflex::Matcher m(reflex::Pattern("(?m)(a+)|([b-z]+)"), text);
  EXPECT_EQ(m.scan(), 1u);
  EXPECT_EQ(m.scan(), 2u);
  EXPECT_EQ(m.str(), "bcdefgh");
  m.less(0);
  m.pattern(reflex::Pattern("(?m)(\\Bb)|(b)"));
  EXPECT_EQ(m.scan(), 1u);
}

TEST(LexgenSemantics, LinesAndColumns) {
  reflex::Pattern p("(?m)([^ \\t\\n]+)|([ \\t\\n])");
  reflex::Matcher m(p, "ab\tc\n\xc3\xa9t \xe2\x82\xac x\n\n  y");
  struct Want {
    const char* text;
    size_t line, col;
  } want[] = {{"ab", 1, 0}, {"c", 1, 8}, {"\xc3\xa9t", 2, 0}, {"\xe2\x82\xac", 2, 3}, {"x", 2, 5}, {"y", 4, 2}};
  size_t i = 0;
  while (m.scan()) {
    if (m.accept() != 1) continue;
    ASSERT_LT(i, std::size(want));
    EXPECT_STREQ(m.text(), want[i].text);
    EXPECT_EQ(m.lineno(), want[i].line) << want[i].text;
    EXPECT_EQ(m.columno(), want[i].col) << want[i].text;
    ++i;
  }
  EXPECT_EQ(i, std::size(want));
  EXPECT_TRUE(m.at_end());
  // Sizes are in bytes; lineno(n) renumbers from the current match on.
  reflex::Matcher n(p, "\xc3\xa9\n\xc3\xa9");
  EXPECT_EQ(n.scan(), 1u);
  EXPECT_EQ(n.size(), 2u);
  n.lineno(10);
  EXPECT_EQ(n.lineno(), 10u);
  n.scan();
  n.scan();
  EXPECT_EQ(n.lineno(), 11u);
}

TEST(LexgenSemantics, PositionsAgreeWithACountFromTheStart) {
  // Spans of every length between the tokens asked about, with newlines,
  // tabs and UTF-8 continuation bytes anywhere in them.
  std::mt19937 rng(7);
  const std::string pieces[] = {"a", "\xc3\xa9", "\n", "\t", " ", "x", "\xe2\x82\xac"};
  std::string text;
  while (text.size() < 20000) text += pieces[rng() % 7];
  reflex::Matcher m(reflex::Pattern("(?m)([^x]{1,40})|(x)"), text);
  size_t pos = 0, line = 1, col = 0, at = 0;
  while (m.scan()) {
    for (; at < pos; ++at) {
      unsigned char c = static_cast<unsigned char>(text[at]);
      if (c == '\n')
        ++line, col = 0;
      else if (c == '\t')
        col = (col + 8) / 8 * 8;
      else if ((c & 0xC0) != 0x80)
        ++col;
    }
    if (rng() % 3 == 0) {
      ASSERT_EQ(m.lineno(), line) << pos;
      ASSERT_EQ(m.columno(), col) << pos;
    }
    pos += m.size();
  }
  EXPECT_EQ(pos, text.size());
}

TEST(LexgenSemantics, CaseFoldingIsAsciiOnly) {
  EXPECT_EQ(tokens(reflex::Pattern("(?mi)(abc)"), "aBcABC"), (Tokens{"1:aBc", "1:ABC"}));
  EXPECT_EQ(tokens(reflex::Pattern("(?mi)([a-c]+)"), "AbC"), (Tokens{"1:AbC"}));
  // Negated classes exclude both cases.
  EXPECT_EQ(tokens(reflex::Pattern("(?mi)([^a])"), "aAb"), (Tokens{"0:a", "0:A", "1:b"}));
  // Bytes beyond ASCII are not folded.
  EXPECT_EQ(tokens(reflex::Pattern("(?i)\\xe9"), "\xc9\xe9"), (Tokens{"0:\xc9", "1:\xe9"}));
  // Scoped folding.
  EXPECT_EQ(tokens(reflex::Pattern("(?m)((?i:a)b)"), "AbAB"), (Tokens{"1:Ab", "0:A", "0:B"}));
}

TEST(LexgenSemantics, EndOfInputIsSticky) {
  reflex::Pattern p("(?m)(a)");
  reflex::Matcher m(p, "a");
  EXPECT_EQ(m.scan(), 1u);
  EXPECT_TRUE(m.at_end());  // all consumed
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(m.scan(), 0u);
    EXPECT_TRUE(m.at_end());
    EXPECT_EQ(m.size(), 0u);
    EXPECT_EQ(m.input(), EOF);
  }
  reflex::Matcher e(p, "");
  EXPECT_TRUE(e.at_end());
  EXPECT_EQ(e.scan(), 0u);
}

TEST(LexgenSemantics, InputAndUnputKeepTheMatch) {
  reflex::Pattern p("(?m)([a-z]+)|(\\n)");
  reflex::Matcher m(p, "x\nabc\xff");
  m.scan();
  m.scan();
  EXPECT_EQ(m.scan(), 1u);
  EXPECT_EQ(m.input(), 0xff);  // bytes come back as 0..255
  EXPECT_STREQ(m.text(), "abc");
  EXPECT_EQ(m.size(), 3u);
  EXPECT_EQ(m.lineno(), 2u);
  EXPECT_EQ(m.columno(), 0u);
  EXPECT_EQ(m.input(), EOF);  // end of input
  m.unput('q');
  m.unput('p');
  EXPECT_EQ(m.lineno(), 2u);
  EXPECT_EQ(m.scan(), 1u);
  EXPECT_STREQ(m.text(), "pq");
  EXPECT_EQ(m.scan(), 0u);
  EXPECT_TRUE(m.at_end());
  // unput before the first scan, at the very start of the buffer.
  reflex::Matcher n(p, "bc");
  n.unput('a');
  EXPECT_EQ(drain(n), (Tokens{"1:abc"}));
}

// Bytes put back one after another take the places of the bytes consumed
// before them: they start where those started, and a newline they replace
// no longer counts.
TEST(LexgenSemantics, UnputSeveralBytesKeepsLinesAndColumns) {
  reflex::Pattern p("(?m)([a-z]+)|(\\n)|([A-Z]+)");
  reflex::Matcher m(p, "ab\ncd\nxy\n");
  m.scan();
  m.scan();
  EXPECT_EQ(m.scan(), 1u);  // "cd"
  m.unput('Q');
  m.unput('P');
  m.unput('O');  // over "d", "c" and the first newline
  EXPECT_EQ(m.scan(), 3u);
  EXPECT_STREQ(m.text(), "OPQ");
  EXPECT_EQ(m.lineno(), 1u);
  EXPECT_EQ(m.columno(), 2u);
  EXPECT_EQ(m.scan(), 2u);
  EXPECT_EQ(m.columno(), 5u);
  EXPECT_EQ(m.scan(), 1u);
  EXPECT_STREQ(m.text(), "xy");
  EXPECT_EQ(m.lineno(), 2u);
}

TEST(LexgenSemantics, NulBytesAreOrdinary) {
  const std::string in("a\0b\0", 4);
  reflex::Pattern p(std::string("(?m)([a-z])|(\\x00)"));
  reflex::Matcher m(p, in);
  EXPECT_EQ(m.scan(), 1u);
  EXPECT_EQ(m.scan(), 2u);
  EXPECT_EQ(m.size(), 1u);
  EXPECT_EQ(m.text()[0], '\0');
  EXPECT_EQ(m.scan(), 1u);
  EXPECT_STREQ(m.text(), "b");  // NUL-terminated in place
  EXPECT_FALSE(m.at_end());
  EXPECT_EQ(m.input(), 0);  // the NUL byte
  EXPECT_TRUE(m.at_end());
}

TEST(LexgenSemantics, LessAndMore) {
  reflex::Pattern p("(?m)([a-z]+)|([0-9]+)");
  reflex::Matcher m(p, "abc123");
  EXPECT_EQ(m.scan(), 1u);
  m.less(1);
  EXPECT_STREQ(m.text(), "a");
  EXPECT_EQ(m.scan(), 1u);
  EXPECT_STREQ(m.text(), "bc");
  m.more();
  EXPECT_EQ(m.scan(), 2u);
  EXPECT_STREQ(m.text(), "bc123");
  EXPECT_EQ(m.size(), 5u);
  EXPECT_EQ(m.columno(), 1u);
  EXPECT_EQ(m.scan(), 0u);
  EXPECT_TRUE(m.at_end());
  // Before a byte that no rule can start with, the text kept by more()
  // stays the match, also when that byte has not been read yet.
  reflex::Pattern pair("(?m)(ab)"), line_start("(?m)(^c)");
  for (bool interactive : {false, true}) {
    std::istringstream in("abc");
    reflex::Matcher k(pair, in);
    if (interactive) k.interactive();
    EXPECT_EQ(k.scan(), 1u);
    k.more();
    k.pattern(line_start);
    EXPECT_EQ(k.scan(), 0u);
    EXPECT_STREQ(k.text(), "ab") << interactive;
    EXPECT_FALSE(k.at_end());
    EXPECT_EQ(k.input(), 'c');
  }
}

TEST(LexgenSemantics, PatternAndInputCanBeSwitched) {
  reflex::Pattern words("(?m)([a-z]+)|( )");
  reflex::Pattern chars("(?m)(.)");
  reflex::Matcher m(words, "ab cd\nef");
  EXPECT_EQ(m.scan(), 1u);
  m.pattern(chars);
  EXPECT_EQ(m.scan(), 1u);
  EXPECT_STREQ(m.text(), " ");
  m.pattern(words);
  EXPECT_EQ(m.scan(), 1u);
  EXPECT_STREQ(m.text(), "cd");
  EXPECT_EQ(&m.pattern().regex(), &words.regex());
  m.input("zz");
  EXPECT_EQ(m.scan(), 1u);
  EXPECT_STREQ(m.text(), "zz");
  EXPECT_EQ(m.lineno(), 1u);
  EXPECT_EQ(m.columno(), 0u);
  // A temporary pattern stays alive for the matcher.
  reflex::Matcher t(reflex::Pattern("(x)"), "x");
  EXPECT_EQ(t.scan(), 1u);
}

TEST(LexgenSemantics, BeforeTheFirstScan) {
  reflex::Matcher m(reflex::Pattern("(x)"), "x");
  EXPECT_STREQ(m.text(), "");
  EXPECT_EQ(m.size(), 0u);
  EXPECT_EQ(m.lineno(), 1u);
  EXPECT_EQ(m.columno(), 0u);
  EXPECT_TRUE(m.at_bol());
}

}  // namespace
