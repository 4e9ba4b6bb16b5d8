// The project's own scanner patterns against inputs whose tokens are known.
#include <gtest/gtest.h>

#include <string>

#include "reflex/matcher.h"
#include "sample_patterns.h"
#include "scan_util.h"

namespace {

// The text of the first match of sub-pattern `sub` at the start of `text`,
// or "-" when it does not match there.
std::string first(const std::string& sub, const std::string& text) {
  reflex::Matcher m(reflex::Pattern(samples::rule_set({sub})), text);
  return m.scan() ? m.str() : "-";
}

TEST(LexgenRules, NamesAndIdentifiers) {
  EXPECT_EQ(first(samples::ID, "a-b.c_9 x"), "a-b.c_9");
  EXPECT_EQ(first(samples::ID, "\xc0\xa8x\xff"), "\xc0\xa8x\xff");
  EXPECT_EQ(first(samples::ID, "1a"), "-");
  EXPECT_EQ(first(samples::ID, "_a"), "-");
  EXPECT_EQ(first(samples::CID, "_a1-b"), "_a1");
  EXPECT_EQ(first(samples::CID, "9a"), "-");
}

TEST(LexgenRules, TerminalsCharactersAndStrings) {
  EXPECT_EQ(first(samples::TRM, "'a' x"), "'a'");
  EXPECT_EQ(first(samples::TRM, R"("x\"y" z)"), R"("x\"y")");
  EXPECT_EQ(first(samples::TRM, "?name? x"), "?name?");
  EXPECT_EQ(first(samples::TRM, "''"), "-");
  EXPECT_EQ(first(samples::TRM, "'a\tb'"), "-");
  EXPECT_EQ(first(samples::TRM, "?a b?"), "-");
  EXPECT_EQ(first(samples::CHR, R"('\x41')"), R"('\x41')");
  EXPECT_EQ(first(samples::CHR, R"('\n')"), R"('\n')");
  EXPECT_EQ(first(samples::CHR, R"('\'')"), R"('\'')");
  EXPECT_EQ(first(samples::CHR, R"('\012')"), R"('\012')");
  EXPECT_EQ(first(samples::CHR, "'ab'"), "-");
  EXPECT_EQ(first(samples::STR, R"("a\"b" "c")"), R"("a\"b")");
  EXPECT_EQ(first(samples::STR, R"("")"), R"("")");
  EXPECT_EQ(first(samples::STR, "\"a\nb\""), "-");
}

TEST(LexgenRules, NumbersAndReferences) {
  EXPECT_EQ(first(samples::NUM, "1'000;"), "1'000");
  EXPECT_EQ(first(samples::NUM, "0x1Fu+"), "0x1Fu");
  EXPECT_EQ(first(samples::NUM, "1.5e+3f;"), "1.5e+3f");
  EXPECT_EQ(first(samples::NUM, "12.;"), "12.");
  EXPECT_EQ(first(samples::NUM, "1e5"), "1e5");
  EXPECT_EQ(first(samples::NUM, ".5"), "-");
  EXPECT_EQ(first(samples::REF, "$12x"), "$12");
  EXPECT_EQ(first(samples::REF, "$[a-b.c]x"), "$[a-b.c]");
  EXPECT_EQ(first(samples::REF, "$['x']"), "$['x']");
  EXPECT_EQ(first(samples::REF, "$na-me"), "$na");
  EXPECT_EQ(first(samples::REF, "$[a b]"), "-");
}

TEST(LexgenRules, Comments) {
  EXPECT_EQ(first(samples::BLOCKCOMMENT, "/* a\n */ x */"), "/* a\n */");
  EXPECT_EQ(first(samples::BLOCKCOMMENT, "/**/"), "/**/");
  EXPECT_EQ(first(samples::BLOCKCOMMENT, "/* a"), "-");
  EXPECT_EQ(first(samples::ONELINECOMMENT, "/* a */ */"), "/* a */");
  EXPECT_EQ(first(samples::ONELINECOMMENT, "/* a\n */"), "-");
  EXPECT_EQ(first(samples::LINECOMMENT, "// x\ny\n"), "// x\n");
  EXPECT_EQ(first(samples::LINECOMMENT, "// x"), "-");
}

TEST(LexgenRules, CodeBlockCondition) {
  reflex::Pattern p(samples::s_code());
  EXPECT_EQ(p.size(), 24u);
  // Keywords only as whole words; "return" only before a quoted terminal.
  EXPECT_EQ(tokens(p, "return \"x\";"), (Tokens{"8:return", "19: ", "2:\"x\"", "23:;"}));
  EXPECT_EQ(tokens(p, "return ?x?"), (Tokens{"8:return", "19: ", "23:?", "12:x", "23:?"}));
  EXPECT_EQ(tokens(p, "return x"), (Tokens{"12:return", "19: ", "12:x"}));
  EXPECT_EQ(tokens(p, "token \t'a'"), (Tokens{"9:token \t", "1:'a'"}));
  EXPECT_EQ(tokens(p, "tokens"), (Tokens{"12:tokens"}));
  EXPECT_EQ(tokens(p, "default defaults visit visitor visits rule rules match"),
            (Tokens{"4:default", "19: ", "12:defaults", "19: ", "11:visit", "19: ", "7:visitor", "19: ",
                    "12:visits", "19: ", "10:rule", "19: ", "12:rules", "19: ", "6:match"}));
  // A comment within one line matches rules 20 and 21 alike: 20 wins.
  EXPECT_EQ(tokens(p, "/* a */ /* b\n */"), (Tokens{"20:/* a */", "19: ", "21:/* b\n */"}));
  EXPECT_EQ(tokens(p, "// c\nx"), (Tokens{"22:// c\n", "12:x"}));
  EXPECT_EQ(tokens(p, "$$ @$ $1 $[a] $b %} { } :"),
            (Tokens{"14:$$", "19: ", "14:@$", "19: ", "15:$1", "19: ", "15:$[a]", "19: ", "15:$b", "19: ", "18:%}",
                    "19: ", "16:{", "19: ", "17:}", "19: ", "5::"}));
  EXPECT_EQ(tokens(p, "R\"(x)\" 1'0 \xc3\xa9\n"),
            (Tokens{"3:R\"", "23:(", "12:x", "23:)", "23:\"", "19: ", "13:1'0", "19: ", "23:\xc3", "23:\xa9", "19:\n"}));
}

TEST(LexgenRules, SourceTokenRules) {
  reflex::Pattern p(samples::source_tokens);
  EXPECT_EQ(p.size(), 11u);
  EXPECT_EQ(tokens(p, "int x; // c\n"), (Tokens{"5:int", "1: ", "5:x", "11:;", "1: ", "2:// c\n"}));
  EXPECT_EQ(tokens(p, "a::b"), (Tokens{"5:a", "10:::", "5:b"}));
  EXPECT_EQ(tokens(p, "x<<=1"), (Tokens{"5:x", "10:<<", "11:=", "6:1"}));
  EXPECT_EQ(tokens(p, "a->b"), (Tokens{"5:a", "11:-", "11:>", "5:b"}));
  EXPECT_EQ(tokens(p, "1.5e+3f .5 0x1Fu"), (Tokens{"6:1.5e+3f", "1: ", "11:.", "6:5", "1: ", "6:0x1Fu"}));
  EXPECT_EQ(tokens(p, "'a' \"s\\\"\" R\"x Rx u8R\""),
            (Tokens{"7:'a'", "1: ", "8:\"s\\\"\"", "1: ", "9:R\"", "5:x", "1: ", "5:Rx", "1: ", "5:u8R", "11:\""}));
}

TEST(LexgenRules, SourceCommentsAndPreprocessorLines) {
  reflex::Pattern p(samples::source_tokens);
  // Unterminated comments are not comments.
  EXPECT_EQ(tokens(p, "x // c"), (Tokens{"5:x", "1: ", "11:/", "11:/", "1: ", "5:c"}));
  EXPECT_EQ(tokens(p, "/* x"), (Tokens{"11:/", "11:*", "1: ", "5:x"}));
  EXPECT_EQ(tokens(p, "/* a\n*/ */"), (Tokens{"3:/* a\n*/", "1: ", "11:*", "11:/"}));
  // "#" lines start a line and end with a newline; backslash-newline continues.
  EXPECT_EQ(tokens(p, "#define A \\\n  1\nx"), (Tokens{"4:#define A \\\n  1\n", "5:x"}));
  EXPECT_EQ(tokens(p, "#x"), (Tokens{"11:#", "5:x"}));
  EXPECT_EQ(tokens(p, "a\n#x\n"), (Tokens{"5:a", "1:\n", "4:#x\n"}));
  EXPECT_EQ(tokens(p, "a\n  #x\n"), (Tokens{"5:a", "1:\n  ", "11:#", "5:x", "1:\n"}));
  EXPECT_EQ(tokens(p, "// c\n  #x\n#y\n"), (Tokens{"2:// c\n", "4:  #x\n", "4:#y\n"}));
  EXPECT_EQ(tokens(p, ""), Tokens{});
  EXPECT_EQ(tokens(p, " \t\n"), (Tokens{"1: \t\n"}));
}

}  // namespace
