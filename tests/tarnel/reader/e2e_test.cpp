// tarnel's reader end to end: the token dump (-d1) and the tree (-d2) of
// descriptions against expected files, syntax and scanner errors, files that
// cannot be opened, standard input, several files and the -d option.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

#include "run_tarnel.hpp"

namespace {

const std::string data_dir = TEST_DATA_DIR;

RunResult tarnel(const std::vector<std::string>& args, const std::string& input = "",
                 const std::string& dir = data_dir) {
  return run_program(TARNEL_EXE, args, dir, input);
}

// Compares with an expected file; TARNEL_UPDATE_EXPECTED=1 rewrites it.
void expect_file(const std::string& name, const std::string& actual) {
  const std::string path = data_dir + "/" + name;
  if (std::getenv("TARNEL_UPDATE_EXPECTED")) write_file(path, actual);
  SCOPED_TRACE(name);
  EXPECT_EQ(actual, read_file(path));
}

std::string description_path(const std::string& name) {
  return name == "tarnel" ? std::string(TARNEL_DESCRIPTION) : name + ".tn";
}

class Dumps : public testing::TestWithParam<const char*> {};

TEST_P(Dumps, TokensAndTree) {
  const std::string name = GetParam();
  RunResult d1 = tarnel({"-d1", description_path(name)});
  EXPECT_EQ(d1.status, 0);
  EXPECT_EQ(d1.err, "");
  expect_file(name + ".d1", d1.out);

  RunResult d2 = tarnel({"-d2", description_path(name)});
  EXPECT_EQ(d2.status, 0);
  EXPECT_EQ(d2.err, "");
  expect_file(name + ".d2", d2.out);
}

// Together they meet every token rule and start condition of the scanner and
// every rule of the grammar; "tarnel" is tarnel's own description.
INSTANTIATE_TEST_SUITE_P(Descriptions, Dumps,
                         testing::Values("empty", "decls", "lexer", "grammar", "code",
                                         "sections", "codeonly", "lexcode", "tarnel"));

TEST(Errors, SyntaxErrorAtTheEndOfTheUnexpectedToken) {
  RunResult r = tarnel({"-d2", "bad.tn"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "bad.tn:3:10: syntax error, unexpected ?id?, expecting '>'\n");
}

TEST(Errors, StandardInputHasAnEmptyFileName) {
  RunResult r = tarnel({}, "%type <A> a\n%using\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, ":2:7: syntax error, unexpected '\\n', expecting ?id?\n");
}

TEST(Errors, UnfinishedLines) {
  // A named expression without its expression; a start-condition list
  // broken by the end of its line.
  EXPECT_EQ(tarnel({}, "ab\n").err, ":1:3: syntax error, unexpected '\\n', expecting ?re?\n");
  EXPECT_EQ(tarnel({}, "%%\n<A\nx ?t?\n").err,
            ":2:3: syntax error, unexpected '\\n', expecting '>'\n");
}

TEST(Errors, EndOfInputInsideACodeBlock) {
  RunResult r = tarnel({}, "%{ int x;\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, ":1:10: syntax error, unexpected end of file, expecting '}'\n");
}

TEST(Errors, NulByteIsAnInvalidToken) {
  const std::string dir = scratch_folder("nul");
  write_file(dir + "/nul.tn", std::string("%type <A> a\n\0%type <B> b\n", 25));
  RunResult r = tarnel({"nul.tn"}, "", dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "nul.tn:2:1: syntax error, unexpected invalid token, expecting end of file\n");
  RunResult d1 = tarnel({"-d1", "nul.tn"}, "", dir);
  EXPECT_NE(d1.out.find("2:1 2:1 undef\n2:2 2:2 undef\n"), std::string::npos) << d1.out;

  // Inside a token (a pattern, code, a literal, a comment) it is the same
  // error at the NUL, not the end of the token.
  const std::pair<std::string, std::string> inside[] = {
      {"noas@\n", "1:5: syntax error, unexpected invalid token, expecting ?re?"},
      {"%%\nab@c ?t?\n", "2:3: syntax error, unexpected invalid token, expecting end of file"},
      {"%%\nx %{ f(\"@\"); %}\n", "2:9: syntax error, unexpected invalid token, expecting '}'"},
      {"%%\n%%\ns = 'a@' ;\n", "3:5: syntax error, unexpected invalid token, expecting ';'"},
      {"%%\n%%\ns = 'a' ; // a@b\n", "3:15: syntax error, unexpected invalid token, expecting end of file"},
      {"%%\n%%\ns = 'a' ; /* a @ */\n", "3:16: syntax error, unexpected invalid token, expecting end of file"},
  };
  for (auto [text, message] : inside) {
    std::replace(text.begin(), text.end(), '@', '\0');
    write_file(dir + "/nul.tn", text);
    r = tarnel({"nul.tn"}, "", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "nul.tn:" + message + "\n");
  }
}

TEST(Errors, StackDepth) {
  // Deeper than Bison's initial stack of 200, then beyond its limit.
  // The generator runs over the accepted tree (-d9: without writing files).
  auto nested = [](int n) {
    return "%option noyylex\n%%\na = " + std::string(n, '(') + "b" + std::string(n, ')') +
           ";\nb = 'x';\n";
  };
  EXPECT_EQ(tarnel({"-d9"}, nested(300)).status, 0);
  RunResult r = tarnel({"-d9"}, nested(6000));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, ":3:5000: memory exhausted\n");
}

struct RawCase {
  const char* input;
  const char* error;  // "" when the literal is read
};

TEST(RawStrings, LiteralsAndErrors) {
  const RawCase cases[] = {
      {"%%\nR\"xy(a b)xy\" ?t?\n", ""},
      {"%%\nR\"()\" ?t?\n", ""},
      {"%%\nR\"x(a)xb)x\" ?t?\n", ""},
      {"%%\nx <R\"(a\nb)\">\n", ""},                   // newlines inside a term
      {"%%\nR\"(a\nb)\" ?t?\n", ":2:2: RE error\n"},    // not in a pattern
      {"%%\nR\"(ab", ":2:2: RE error\n"},
      {"%%\nR\"(a\"", ":2:2: RE error\n"},             // ends after a quote
      {"%%\nR\"0123456789abcdefg(a)0123456789abcdefg\" ?t?\n", ":2:2: RE error\n"},
      {"%%\nR\"a b(x)a b\" ?t?\n", ":2:2: RE error\n"},
      {"%%\nR\"ab\" ?t?\n", ":2:2: RE error\n"},
  };
  for (const RawCase& c : cases) {
    RunResult r = tarnel({"-d1"}, c.input);
    EXPECT_EQ(r.err, c.error) << c.input;
    EXPECT_EQ(r.status, *c.error ? 1 : 0) << c.input;
  }
  EXPECT_EQ(tarnel({"-d1"}, "%%\nR\"xy(a b)xy\"\n").out,
            "1:1 1:3 ?%%lex?\n2:1 2:2 ?re? : \"R\\\"xy(a b)xy\\\"\"\n2:13 2:13 '\\n'\n");
}

TEST(Files, CannotOpen) {
  RunResult r = tarnel({"-d1", "no-such.tn", "decls.tn"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");  // the later file is not read
  EXPECT_EQ(r.err, "Can't open file no-such.tn\n");
}

TEST(Files, DirectoryCannotBeOpened) {
  const std::string dir = scratch_folder("tarnel_dir.tn");
  RunResult r = tarnel({dir});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Can't open file " + dir + "\n");
}

TEST(Files, EachFileIsClosed) {
  // More files than the child may hold open at once.
  rlimit saved;
  getrlimit(RLIMIT_NOFILE, &saved);
  rlimit low = saved;
  low.rlim_cur = 32;
  setrlimit(RLIMIT_NOFILE, &low);
  // Each description's output files are written (and closed) too.
  std::vector<std::string> args(100, "decls.tn");
  args.push_back("-o" + scratch_folder("closed") + "/");
  RunResult r = tarnel(args);
  setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
}

TEST(Files, ArgumentsInOrder) {
  // The first file is generated (into a scratch directory), the second dumped.
  RunResult r = tarnel({"-o" + scratch_folder("order") + "/", "codeonly.tn", "-d1",
                        "empty.tn", "sections.tn"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, read_file(data_dir + "/sections.d1"));
  RunResult t = tarnel({"-d2", "empty.tn", "-d1", "empty.tn"});
  EXPECT_EQ(t.out, "\nprog([],[],[],[])");
}

TEST(Files, StandardInput) {
  const std::string text = read_file(data_dir + "/decls.tn");
  EXPECT_EQ(tarnel({"-d2"}, text).out, read_file(data_dir + "/decls.d2"));
  // An empty name reads standard input and leaves no file read, so standard
  // input is read once more at the end (and is empty by then).
  RunResult r = tarnel({"-d2", ""}, text);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, read_file(data_dir + "/decls.d2") + "\nprog([],[],[],[])");
}

TEST(Examples, BundledDescriptionParses) {
  RunResult r = tarnel({"-d2", EXAMPLES_DIR "/calc.tn"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.compare(0, 7, "\nprog(["), 0);
}

TEST(Options, DebugLevelAndOptionWords) {
  // -d without a digit: the passes would run; nothing is printed.
  RunResult r = tarnel({"-d", "decls.tn"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  // An option word from the command line steers the sections: without a
  // lexer the first "%%" opens the grammar and the second the code.
  RunResult g = tarnel({"--noyylex", "-d1", "-oout/", "grammar.tn"});
  EXPECT_EQ(g.status, 0);
  EXPECT_NE(g.out.find("2:1 2:3 ?%%grm?\n3:1 3:3 ?%%code?\n"), std::string::npos) << g.out;
}

}  // namespace
