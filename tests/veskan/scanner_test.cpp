// The token rules: which texts become tokens and what material hangs on
// each token, through veskan's scanner over texts in memory.
#include "source_scan.hpp"

#include <gtest/gtest.h>

namespace {

// One token as "code text", its material first as "[kind text]" items.
std::string describe(const lex_info &t) {
  std::string s;
  ast::List<ast::Space_domain *> material(nullptr);
  if (t.token == TOK_EOF) material = static_cast<ast::eoflex_node *>(t.value.f1_)->f1_;
  else material = static_cast<ast::lexem_node *>(t.value.f1_)->f1_;
  for (auto r = begin(material); r != end(material); ++r) {
    if (auto c = dynamic_cast<ast::comment_node *>(*r)) s += "[c " + c->f1_ + "]";
    else if (auto p = dynamic_cast<ast::prepr_node *>(*r)) s += "[p " + p->f1_ + "]";
    else s += "[s " + static_cast<ast::spaces_node *>(*r)->f1_ + "]";
  }
  if (t.token == TOK_EOF) return s + "EOF";
  const char *kind = t.token == TOK_CONST ? "C " : t.token == TOK_IDENT ? "I " : "L ";
  return s + kind + static_cast<ast::lexem_node *>(t.value.f1_)->f2_;
}

std::vector<std::string> tokens_of(const std::string &src) {
  lex_text(src);
  std::vector<std::string> out;
  for (const lex_info &t : lex_list) out.push_back(describe(t));
  free_list();
  lex_list.clear();
  return out;
}

using V = std::vector<std::string>;

TEST(Scanner, MaterialHangsOnTheNextToken) {
  EXPECT_EQ(tokens_of("int x; // c\n"), (V{"I int", "[s  ]I x", "L ;", "[s  ][c // c\n]EOF"}));
  EXPECT_EQ(tokens_of(""), V{});
  EXPECT_EQ(tokens_of(" \n\t"), V{"[s  \n\t]EOF"});
  EXPECT_EQ(tokens_of("/*a*/ /* b\n*/x/**/"), (V{"[c /*a*/][s  ][c /* b\n*/]I x", "[c /**/]EOF"}));
}

// Without the token dump blanks and comments are left out of the material:
// the tokens stay the same, the preprocessor lines stay on them, and
// trailing blanks still end the list with an end-of-input token.
TEST(Scanner, BlanksLeftOutWithoutTheDump) {
  keep_blanks = false;
  EXPECT_EQ(tokens_of("int x; // c\n"), (V{"I int", "I x", "L ;", "EOF"}));
  EXPECT_EQ(tokens_of("a /* b */\n#define M 1\n// c\n#include <x>\nb"),
            (V{"I a", "[p #define M 1\n][p #include <x>\n]I b"}));
  EXPECT_EQ(tokens_of("x"), V{"I x"});
  EXPECT_EQ(tokens_of(""), V{});
  keep_blanks = true;
}

TEST(Scanner, CommentsNeedTheirEnd) {
  EXPECT_EQ(tokens_of("a // c"), (V{"I a", "[s  ]L /", "L /", "[s  ]I c"}));
  EXPECT_EQ(tokens_of("/* open\n"), (V{"L /", "L *", "[s  ]I open", "[s \n]EOF"}));
}

TEST(Scanner, PreprocessorLinesStartLines) {
  EXPECT_EQ(tokens_of("#if A\n  #if B\nx;\n  #if C\n#if D\n// c\n  #if E\n#x"),
            (V{"[p #if A\n][p   #if B\n]I x", "L ;", "[s \n  ]L #", "I if",
               "[s  ]I C", "[s \n][p #if D\n][c // c\n][p   #if E\n]L #", "I x"}));
  EXPECT_EQ(tokens_of("#define M(a) \\\n  a\n#define N \\\r\n 1\r\nx"),
            (V{"[p #define M(a) \\\n  a\n][p #define N \\\r\n 1\r\n]I x"}));
}

TEST(Scanner, SplitsOperatorsAndNumbers) {
  EXPECT_EQ(tokens_of("a::b x<<=1 a->b"),
            (V{"I a", "L ::", "I b", "[s  ]I x", "L <<", "L =", "C 1", "[s  ]I a", "L -", "L >",
               "I b"}));
  EXPECT_EQ(tokens_of("1.5e+3f .5 0x1Fu 1'000 'a' '\\n' '\\x41' \"s\\\"t\""),
            (V{"C 1.5e+3f", "[s  ]L .", "C 5", "[s  ]C 0x1Fu", "[s  ]C 1'000", "[s  ]C 'a'",
               "[s  ]C '\\n'", "[s  ]C '\\x41'", "[s  ]C \"s\\\"t\""}));
}

TEST(Scanner, CarriageReturnsFormFeedsAndTabsAreBlanks) {
  EXPECT_EQ(tokens_of("int a;\r\n\f\vint b;\r\n"),
            (V{"I int", "[s  ]I a", "L ;", "[s \r\n\f\v]I int", "[s  ]I b", "L ;", "[s \r\n]EOF"}));
}

// Token ranges: columns from 1, a tab to the next multiple of eight, a
// byte that starts a UTF-8 character one column and the bytes that go on
// with it none (each byte here is a token of its own); blank runs long and
// short, with and without newlines.
TEST(Scanner, TokenRangesCountTabsAndCharacters) {
  lex_text("\tint  x;\n                y\t\xc3\xa9z =\n\n  // c\n\t\t  w\n"
           "abcdefghijklmnopqrstuvwxyz0123456789 q");
  std::string ranges;
  for (const lex_info &t : lex_list)
    ranges += std::to_string(t.loc.first.line) + ":" + std::to_string(t.loc.first.column) + "-" +
              std::to_string(t.loc.last.column) + " ";
  free_list();
  lex_list.clear();
  EXPECT_EQ(ranges, "1:9-11 1:14-14 1:15-15 2:17-17 2:25-25 2:26-26 2:26-26 2:28-28 5:19-19 "
                    "6:1-36 6:38-38 ");
}

TEST(Scanner, RawStrings) {
  EXPECT_EQ(tokens_of("R\"(a)\" R\"xy(a)x\n)xy\" R\"()\" u8R\"(x)\" Rx"),
            (V{"C R\"(a)\"", "[s  ]C R\"xy(a)x\n)xy\"", "[s  ]C R\"()\"", "[s  ]I u8R",
               "C \"(x)\"", "[s  ]I Rx"}));
}

TEST(Scanner, MalformedRawStringsAreFatal) {
  for (const char *src : {"R\"abc", "R\"(abc)", "R\"a b(x)a b\"", "R\"(x)\n",
                          "R\"12345678901234567(x)12345678901234567\""})
    EXPECT_EXIT(tokens_of(src), ::testing::ExitedWithCode(1), ":1:2: RE error") << src;
}

} // namespace
