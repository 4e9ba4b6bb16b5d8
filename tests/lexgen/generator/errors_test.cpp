// lexgen's messages on malformed descriptions: "file:line: message" on
// standard error, exit status 1 and no output file; and how it treats the
// files it is given (an output that is the input, links, devices, failed
// writes).
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

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

// A folder of this process's own, removed when it ends: two runs of the
// suite at once (two builds) must not share files.
class Scratch {
 public:
  Scratch() {
    std::string templ = testing::TempDir() + "lexgen_errors_XXXXXX";
    if (!mkdtemp(&templ[0])) std::abort();
    root_ = templ;
  }
  ~Scratch() { std::system(("rm -rf '" + root_ + "'").c_str()); }
  const std::string& root() const { return root_; }

 private:
  std::string root_;
};

// The current test's own folder in it.
std::string test_dir() {
  static Scratch scratch;
  const std::string dir =
      scratch.root() + "/" + testing::UnitTest::GetInstance()->current_test_info()->name();
  mkdir(dir.c_str(), 0700);
  return dir;
}

// The names in a folder.
std::set<std::string> names_in(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.insert(e->d_name);
    closedir(d);
  }
  return names;
}

// Runs lexgen in the test's folder on a file t.lex holding `text`, after the
// shell commands `setup` (with no t.cpp left from before them).
Outcome run_lexgen(const std::string& text, const std::string& args = "-o t.cpp t.lex",
                   const std::string& setup = "") {
  const std::string dir = test_dir();
  std::ofstream(dir + "/t.lex", std::ios::binary) << text;
  std::remove((dir + "/t.cpp").c_str());
  std::string cmd = "cd " + dir + " && " + setup + " " LEXGEN_PATH " " + args + " 2>err.txt";
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
  // Rules that each build a DFA, but not together: with every byte a class
  // of its own there is room for 65536 states, and one rule needs more. The
  // message names the start condition, at its first rule.
  std::string bytes = "\\x00";
  for (int b = 1; b < 256; ++b) bytes += "|\\x" + std::string(1, "0123456789abcdef"[b / 16]) + "0123456789abcdef"[b % 16];
  expect_error("%x S\n%%\na\t;\n<S>b\t;\n<*>[ab]*a[ab]{15}\t;\n<S>" + bytes + "\t;\n",
               "t.lex:4: the rules of start condition S together: pattern needs more than 65536 DFA states");
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

const char good[] = "%%\na\t;\n";
const char bad[] = "%%\n(a\t;\n";

// The description is never written over nor removed, whatever names it: the
// same name, a link to it, a second (hard) link. Nothing else is written.
TEST(LexgenFiles, AnOutputThatIsTheInputIsRefused) {
  const std::string dir = test_dir();
  for (const char* text : {good, bad}) {
    for (const char* output : {"t.lex", "./t.lex", "soft.cpp", "hard.cpp"}) {
      Outcome r = run_lexgen(text, std::string("-o ") + output + " t.lex",
                             "rm -f soft.cpp hard.cpp && ln -s t.lex soft.cpp && ln t.lex hard.cpp &&");
      EXPECT_EQ(r.status, 1) << output;
      EXPECT_EQ(r.err, std::string(output) + ": output file is the input\n");
      EXPECT_TRUE(read_file(dir + "/t.lex") == text) << output;
      EXPECT_EQ(names_in(dir), (std::set<std::string>{"err.txt", "hard.cpp", "soft.cpp", "t.lex"}));
    }
  }
}

// A description error removes a scanner of an earlier run, also one that a
// link leads to (the link stays), but never a folder or a pipe.
TEST(LexgenFiles, AnErrorRemovesOnlyAnEarlierRegularOutput) {
  const std::string dir = test_dir();
  Outcome r = run_lexgen(bad, "-o t.cpp t.lex", "echo old >t.cpp &&");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(r.output_exists);
  r = run_lexgen(bad, "-o link.cpp t.lex", "echo old >real.cpp && ln -sf real.cpp link.cpp &&");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(names_in(dir), (std::set<std::string>{"err.txt", "link.cpp", "t.lex"}));
  r = run_lexgen(bad, "-o folder t.lex", "rm -f link.cpp && mkdir folder && mkfifo pipe &&");
  EXPECT_EQ(r.status, 1);
  r = run_lexgen(bad, "-o pipe t.lex");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(names_in(dir), (std::set<std::string>{"err.txt", "folder", "pipe", "t.lex"}));
}

// A write that fails (a file size limit, a full device, a missing folder)
// leaves an earlier output as it was and no temporary; a link is written at
// its target and stays a link.
TEST(LexgenFiles, AnEarlierOutputIsReplacedOnlyByAWholeOne) {
  const std::string dir = test_dir();
  Outcome r = run_lexgen(good, "-o t.cpp t.lex", "echo old >t.cpp && ulimit -f 1 &&");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "t.cpp: cannot write file\n");
  EXPECT_EQ(read_file(dir + "/t.cpp"), "old\n");
  EXPECT_EQ(names_in(dir), (std::set<std::string>{"err.txt", "t.cpp", "t.lex"}));
  // The full device through a link: a lexgen that removed its output on a
  // failed write would remove only the link.
  for (const char* output : {"full.cpp", "missing/t.cpp"}) {
    r = run_lexgen(good, std::string("-o ") + output + " t.lex", "ln -sf /dev/full full.cpp &&");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, std::string(output) + ": cannot write file\n");
  }
  unlink((dir + "/full.cpp").c_str());
  r = run_lexgen(good, "-o link.cpp t.lex", "echo old >real.cpp && ln -s real.cpp link.cpp &&");
  EXPECT_EQ(r.status, 0);
  struct stat st;
  EXPECT_TRUE(lstat((dir + "/link.cpp").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
  EXPECT_NE(read_file(dir + "/real.cpp").find("class yyFlexLexer"), std::string::npos);
  EXPECT_EQ(names_in(dir), (std::set<std::string>{"err.txt", "link.cpp", "real.cpp", "t.lex"}));
}

}  // namespace
