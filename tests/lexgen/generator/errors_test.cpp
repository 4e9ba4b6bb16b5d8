// lexgen's messages on malformed descriptions: "file:line: message" on
// standard error, exit status 1 and no output file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

struct Outcome {
  int status;
  std::string err;
  bool output_exists;
};

std::string read_file(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs lexgen in the temporary directory on a file t.lex holding `text`.
Outcome run_lexgen(const std::string& text, const std::string& args = "-o t.cpp t.lex") {
  // One directory per test: ctest runs the tests in parallel.
  const std::string dir = testing::TempDir() + "lexgen_errors_" +
                          testing::UnitTest::GetInstance()->current_test_info()->name();
  std::system(("mkdir -p " + dir).c_str());
  std::ofstream(dir + "/t.lex", std::ios::binary) << text;
  std::remove((dir + "/t.cpp").c_str());
  std::string cmd = "cd " + dir + " && " LEXGEN_PATH " " + args + " 2>err.txt";
  int raw = std::system(cmd.c_str());
  Outcome r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.err = read_file(dir + "/err.txt");
  r.output_exists = std::ifstream(dir + "/t.cpp").good();
  return r;
}

void expect_error(const std::string& text, const std::string& message) {
  Outcome r = run_lexgen(text);
  EXPECT_EQ(r.status, 1) << text;
  EXPECT_EQ(r.err, message + "\n") << text;
  EXPECT_FALSE(r.output_exists) << text;
}

TEST(LexgenErrors, Definitions) {
  expect_error("%top{\nint x;\n", "t.lex:1: unterminated %top block");
  expect_error("%option noyywrap\n%class {\nint x;\n", "t.lex:2: unterminated %class block");
  expect_error("\n%{\nint x;\n", "t.lex:2: unterminated %{ block");
  expect_error("%foo bar\n", "t.lex:1: unknown directive %foo");
  expect_error("%top\n", "t.lex:1: %top needs a { block");
  expect_error("%x A B\n%s A\n", "t.lex:2: start condition A declared twice");
  expect_error("%x\n", "t.lex:1: %x without a name");
  expect_error("%s 1A\n", "t.lex:1: bad start condition name 1A");
  expect_error("DIGIT\n", "t.lex:1: named pattern DIGIT has no pattern");
  expect_error("D [0-9]\nD [a-z]\n", "t.lex:2: named pattern D defined twice");
  expect_error("D [0-9] x\n", "t.lex:1: unexpected text after the pattern of D");
  expect_error("D {E}\n", "t.lex:1: undefined named pattern {E}");
  expect_error("D a/b\n", "t.lex:1: trailing context in a named pattern");
  expect_error("/* open\n\n", "t.lex:1: unterminated comment");
  expect_error("#define X\n", "t.lex:1: unexpected text in the definitions");
}

TEST(LexgenErrors, Patterns) {
  expect_error("%%\n{NOPE}\t;\n", "t.lex:2: undefined named pattern {NOPE}");
  expect_error("%%\na/b/c\t;\n", "t.lex:2: trailing context used twice");
  expect_error("%%\n(a/b)\t;\n", "t.lex:2: trailing context inside a group");
  expect_error("%%\na/\t;\n", "t.lex:2: missing trailing context after /");
  expect_error("%%\n\"abc\t;\n", "t.lex:2: unterminated quoted text in pattern");
  expect_error("%%\n[abc\t;\n", "t.lex:2: unterminated character class in pattern");
  expect_error("%%\n(ab\t;\n", "t.lex:2: unbalanced ( in pattern");
  expect_error("%%\nab)\t;\n", "t.lex:2: unbalanced ) in pattern");
  expect_error("%%\nab\\", "t.lex:2: pattern ends with a backslash");
  expect_error("%%\n\\Qab\t;\n", "t.lex:2: \\Q without \\E in pattern");
  // What RE/flex rejects: a quoted backslash, trailing context of only "$",
  // an empty alternative.
  expect_error("%%\n\"\\\\\"\t;\n",
               "t.lex:2: \\\\\" in quoted text is a backslash and a quote, not an escaped backslash: "
               "only \\\" is an escape inside quotes; write a backslash as \\\\ outside them");
  expect_error("%%\na/$\t;\n", "t.lex:2: trailing context of only $: write x$, not x/$");
  expect_error("%%\nx\t;\n(a|)b\t;\n",
               "t.lex:3: bad pattern: empty alternative: write (a)? rather than (a|) at position 8");
  expect_error("%%\n(?x: a # comment )\t;\n", "t.lex:2: bad pattern: missing ')' at position 5");
  expect_error("%%\n(?# comment\t;\n", "t.lex:2: unterminated (?#...) comment in pattern");
}

// Sizes are checked before the work they bound: names used four times a
// level over sixteen levels (238 bytes) would paste 4^15 bytes; rules that
// are each small enough may not add up to too large a start condition; a
// repetition of repetitions of nothing would take 10^9 steps to build.
TEST(LexgenErrors, HostileSizesAreBounded) {
  std::string defs = "A a\n";
  for (char c = 'B'; c <= 'P'; ++c) {
    std::string prev(1, static_cast<char>(c - 1));
    defs += std::string(1, c) + " {" + prev + "}{" + prev + "}{" + prev + "}{" + prev + "}\n";
  }
  ASSERT_EQ(defs.size() + 9, 238u);
  expect_error(defs + "%%\n{P}\t;\n",
               "t.lex:18: pattern too large: longer than 1048576 bytes once its named patterns are pasted in");
  expect_error(defs + "%%\n{I}\t;\n{I}\t;\n<*>{I}\t;\n",
               "t.lex:20: pattern of start condition INITIAL too large: longer than 1048576 bytes with this rule");
  expect_error("%%\n(?:(?:(?:(?:){1000}){1000}){1000})x\t;\n", "t.lex:2: bad pattern: pattern too large");
}

TEST(LexgenErrors, Rules) {
  expect_error("%%\n<S>a\t;\n", "t.lex:2: undeclared start condition S");
  expect_error("%x S\n%%\n<S,>a\t;\n", "t.lex:3: bad start condition list");
  expect_error("%%\na\t{ if (x) {\n}\n", "t.lex:2: unterminated action");
  expect_error("%%\na\tfoo(); }\n", "t.lex:2: unbalanced } in action");
  expect_error("%%\na\t{\n  x(); }}\n", "t.lex:3: unbalanced } in action");
  expect_error("%%\na\t;\n%{\nx();\n%}\n", "t.lex:3: a %{ code block is allowed only before the first rule");
  expect_error("%%\n%{\nx();\n", "t.lex:2: unterminated %{ block");
  expect_error("%%\n  x();\n", "t.lex:2: indented text in the rules section");
  expect_error("%%\n<<EOF>>\t|\n", "t.lex:2: <<EOF>> can't have the action |");
  expect_error("%%\n<<EOF>>x\t;\n", "t.lex:2: unexpected text after <<EOF>>");
  expect_error("%%\na\t|\n", "t.lex:2: the action | has no rule after it in start condition INITIAL");
  // Fall-through is per state: in S nothing follows.
  expect_error("%s S\n%%\n<INITIAL,S>a\t|\n<INITIAL>b\t;\n",
               "t.lex:3: the action | has no rule after it in start condition S");
}

TEST(LexgenErrors, LineNumbersCountEveryLine) {
  expect_error(
      "%top{\n#include <x>\n%}\n%class{\n int a;\n%}\n/* a\n b */\n  int c;\n%%\n"
      "a\t{\n  x();\n}\n\"open\t;\n",
      "t.lex:14: unterminated quoted text in pattern");
}

TEST(LexgenErrors, BadRegexFromTheEngine) {
  Outcome r = run_lexgen("%%\na\t;\nb{3,1}\t;\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("t.lex:3: bad pattern: ", 0), 0u) << r.err;
  EXPECT_FALSE(r.output_exists);
}

TEST(LexgenErrors, CommandLine) {
  Outcome r = run_lexgen("", "");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "usage: lexgen [-o OUT.cpp] INPUT.lex\n");
  r = run_lexgen("", "-o t.cpp missing.lex");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "missing.lex: cannot open file\n");
  EXPECT_FALSE(r.output_exists);
  // A directory opens, but reading it fails: no empty scanner is written.
  r = run_lexgen("", "-o t.cpp .");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, ".: cannot read file\n");
  EXPECT_FALSE(r.output_exists);
}

TEST(LexgenErrors, UnknownOptionsAreIgnored) {
  Outcome r = run_lexgen("%option noyywrap fast 8bit outfile=\"x.cpp\"\n%%\na\t;\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(r.output_exists);
}

}  // namespace
