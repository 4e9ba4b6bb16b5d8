// Readers that tarnel generated, built with lexgen and Bison, run as their
// users run them: the values they compute, their token and tree dumps, and
// their error messages and exit statuses.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "run_tarnel.hpp"

namespace {

// A new empty directory for output files.
std::string temp_dir() {
  char templ[] = "/tmp/tarnel_out_XXXXXX";
  if (!mkdtemp(templ)) ADD_FAILURE() << "mkdtemp failed";
  return templ;
}

// The readers run with leak reports on in a sanitizer build: every value
// they make is freed.
RunResult calc(const std::vector<std::string>& args, const std::string& input = "") {
  return run_program(CALC_READER, args, E2E_DIR, input, true);
}
RunResult lists(const std::vector<std::string>& args, const std::string& input = "") {
  return run_program(LISTS_READER, args, E2E_DIR, input, true);
}
RunResult json(const std::vector<std::string>& args, const std::string& input = "") {
  return run_program(JSON_READER, args, E2E_DIR, input, true);
}

// tarnel's own reader is built from tarnel's output for its description,
// kept exactly as written.
TEST(Bootstrap, ReaderFilesAreTarnelsOutput) {
  const std::string dir = temp_dir();
  RunResult r = run_program(TARNEL_EXE, {"-o" + dir + "/", TARNEL_DESCRIPTION}, dir);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  bool same = true;
  for (const char* ext : {".lex", ".grm", ".hpp", ".cpp"}) {
    const std::string written = read_file(dir + "/tarnel" + ext);
    EXPECT_FALSE(written.empty()) << ext;
    const bool equal = written == read_file(std::string(READER_DIR) + "/tarnel" + ext);
    EXPECT_TRUE(equal) << "tarnel" << ext << " differs from what tarnel writes for tarnel.tn (see "
                       << dir << "; the target regenerate_reader writes them again)";
    same = same && equal;
  }
  if (same) std::filesystem::remove_all(dir);
}

// Every description of the tests and examples, tarnel's own included.
std::vector<std::string> description_corpus() {
  std::vector<std::string> found;
  for (const char* sub : {"tests", "examples", "tarnel/reader"})
    for (const auto& e :
         std::filesystem::recursive_directory_iterator(std::string(SOURCE_DIR) + "/" + sub))
      if (e.is_regular_file() && e.path().extension() == ".tn") found.push_back(e.path());
  std::sort(found.begin(), found.end());
  return found;
}

// The files in `dir`, by name, with their contents.
std::map<std::string, std::string> files_in(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    files[e.path().filename()] = read_file(e.path());
  return files;
}

// A second tarnel, built from the files that tarnel writes for its own
// description, reads, prints and writes what the first does. One run per
// description reads it at every debug level in turn (the first failure ends
// the run), and writes its files last.
TEST(Bootstrap, RegeneratedTarnelBehavesTheSame) {
  const std::vector<std::string> corpus = description_corpus();
  EXPECT_GE(corpus.size(), 14u);
  for (const std::string& d : corpus) {
    SCOPED_TRACE(d);
    const std::vector<std::string> args{"-d1", d, "-d2", d, "-d3", d, "-d4", d, "-d0", d};
    const std::string first = temp_dir(), second = temp_dir();
    RunResult a = run_program(TARNEL_EXE, args, first);
    RunResult b = run_program(TARNEL_REGENERATED, args, second);
    EXPECT_EQ(a.status, b.status);
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(a.err, b.err);
    EXPECT_TRUE(files_in(first) == files_in(second));
    std::filesystem::remove_all(first);
    std::filesystem::remove_all(second);
  }
}

// Two descriptions in one run: the second is written as if it were alone.
TEST(Bootstrap, EachDescriptionStartsAfresh) {
  const std::string both = temp_dir(), one = temp_dir();
  const std::string calc_tn = std::string(EXAMPLES_DIR) + "/calc.tn";
  const std::string lists_tn = std::string(E2E_DIR) + "/lists.tn";
  EXPECT_EQ(run_program(TARNEL_EXE, {lists_tn, calc_tn}, both).status, 0);
  EXPECT_EQ(run_program(TARNEL_EXE, {calc_tn}, one).status, 0);
  for (const char* ext : {".lex", ".grm", ".cpp", ".hpp"})
    EXPECT_EQ(read_file(both + "/calc" + ext), read_file(one + "/calc" + ext)) << ext;
  std::filesystem::remove_all(both);
  std::filesystem::remove_all(one);
}

// calc: operator levels from "%operator", source ranges, a "match" in the
// code section.
TEST(GeneratedCalc, EvaluatesWithOperatorLevels) {
  for (auto [input, value] : std::vector<std::pair<std::string, std::string>>{
           {"1+2*3\n", "7\n"}, {"8/2/2", "2\n"}, {"2-3-4", "-5\n"}, {"-(2+3)*2", "-10\n"},
           {"--3", "3\n"}, {"7/0", "0\n"}}) {
    RunResult r = calc({}, input);
    EXPECT_EQ(r.status, 0) << input;
    EXPECT_EQ(r.out, value) << input;
    EXPECT_EQ(r.err, "") << input;
  }
}

TEST(GeneratedCalc, DumpsTheTree) {
  RunResult r = calc({"-d2"}, "1+2");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "\nadd(\n num(1),\n num(2)\n)");
  // Without the token printer the dump reads the tokens and prints nothing.
  r = calc({"-d1"}, "1+2");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
}

TEST(GeneratedCalc, ErrorsCarryTheirPositions) {
  RunResult r = calc({}, "1+\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, ":1:3: syntax error, unexpected end of file, expecting ?num? or '-' or '('\n");
  r = calc({}, "1 $ 2");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, ":1:3: syntax error, unexpected invalid token, expecting end of file or '+' or '-'\n");
  r = calc({"nope.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Can't open file nope.txt\n");
  // A directory opens for reading but is no input.
  r = calc({"."});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Can't open file .\n");
  r = calc({"settings.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.substr(0, 17), "settings.txt:1:1:");
}

// lists: texts, lists, keywords, a visitor, a "match" over a grammar
// element, the token printer; no source ranges.
TEST(GeneratedLists, ReadsSettings) {
  RunResult r = lists({"settings.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "a = \"x y\"\nb = -5\nc\nd = 2 items\ncount 104\n");
  EXPECT_EQ(r.err, "");
  r = lists({}, "x\ny = 2\n");
  EXPECT_EQ(r.out, "x\ny = 2\ncount 2\n");
  // Texts are C strings: a value ends at a NUL byte of its match, whatever
  // the term (here std::string(yytext+1,yyleng-2)).
  r = lists({}, std::string("t = \"ab\0cd\"\n", 12));
  EXPECT_EQ(r.out, "t = \"ab\"\ncount 1\n");
}

// Each file is closed once read: many files under a low descriptor limit.
TEST(GeneratedLists, ClosesEveryFile) {
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
  rlimit low = old;
  low.rlim_cur = 32;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  RunResult r = lists(std::vector<std::string>(100, "settings.txt"));
  setrlimit(RLIMIT_NOFILE, &old);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.size(), 100 * std::string("a = \"x y\"\nb = -5\nc\nd = 2 items\ncount 104\n").size());
}

TEST(GeneratedLists, DumpsTokensAndTree) {
  RunResult r = lists({"-d1", "settings.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "?name? : \"a\"\n'='\n?text? : \"x y\"\n?name? : \"b\"\n'='\n'-'\n?num? : 5\n"
            "?name? : \"c\"\n?name? : \"d\"\n'='\n'{'\n?name? : \"e\"\n'='\n\"yes\"\n"
            "?name? : \"f\"\n'}'\n");
  r = lists({"-d2"}, "a = { b = \"t\" } c");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "[\n"
            "  pair(\"a\",\n"
            "   group([\n"
            "      pair(\"b\",\n"
            "       text(\"t\")\n"
            "      )\n"
            "    ]\n"
            "   )\n"
            "  ),\n"
            "  flag(\"c\")\n"
            "]");
}

TEST(GeneratedLists, SyntaxErrorsWithoutPositions) {
  RunResult r = lists({}, "a = { b");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "syntax error, unexpected end of file, expecting ?name? or '}'\n");
  r = lists({}, "a = \"x\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "syntax error, unexpected invalid token\n");
}

// json: texts freed wherever they go (nodes, optional fields, lists, dropped
// by a term or by code), a repetition whose only action is code.
TEST(GeneratedJson, ReadsAndFreesEveryText) {
  RunResult r = json({}, "{\"a\": [1, \"x y\", @lbl true], \"b\": {}, \"c\": [], #tag one two} !hey !ho\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "{\"a\":[1,\"x y\",true],\"b\":{},\"c\":[],#tag one two}\n2 shouts ho\n");
  EXPECT_EQ(r.err, "");
  r = json({"-d1"}, "[\"t\", w, -3]");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "1:1 1:1 '['\n1:2 1:4 ?str? : \"t\"\n1:5 1:5 ','\n1:7 1:7 ?word? : \"w\"\n"
                   "1:8 1:8 ','\n1:10 1:11 ?num? : \"-3\"\n1:12 1:12 ']'\n");
  r = json({}, "{\"a\": 1, #t");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, ":1:11: syntax error, unexpected end of file, expecting '}'\n");
}

// A NUL byte that no rule matches is an undefined token, not the end.
TEST(GeneratedJson, NulByteIsAnUndefinedToken) {
  RunResult r = json({}, std::string("[1]\0 not json", 13));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, ":1:4: syntax error, unexpected invalid token, expecting end of file\n");
  r = json({}, std::string("[1,\0 2]", 7));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, ":1:4: syntax error, unexpected invalid token\n");
}

// Written with the prefix "pre_" from json-lite.tn: the files include the
// header by the name it was written under; the guard is an identifier.
// After description code, #line directives point back into the file.
TEST(GeneratedFiles, NamesGuardAndLineDirectives) {
  const std::string stem = std::string(GENERATED_DIR) + "/e2e_json/pre_json-lite";
  for (const char* ext : {".lex", ".grm", ".cpp"})
    EXPECT_NE(read_file(stem + ext).find("#include \"pre_json-lite.hpp\"\n"), std::string::npos) << ext;
  const std::string hpp = read_file(stem + ".hpp");
  EXPECT_EQ(hpp.substr(0, hpp.find("1\n") + 2), "#ifndef JSON_LITE_H\n#define JSON_LITE_H 1\n");
  EXPECT_EQ(wrong_own_line(hpp, stem + ".hpp"), "");
  EXPECT_EQ(wrong_own_line(read_file(stem + ".cpp"), stem + ".cpp"), "");
  // With a visitor's bodies after the code section.
  const std::string lists_cpp = std::string(GENERATED_DIR) + "/e2e_lists/lists.cpp";
  EXPECT_EQ(wrong_own_line(read_file(lists_cpp), lists_cpp), "");
}

// A reader whose tree is another description's (%using exprtree): built
// with the used description's files, it evaluates, prints the tree and
// reports positions, and frees the text that an alternative without action
// drops.
TEST(GeneratedUsing, BuildsTheUsedTree) {
  auto sums = [](const std::vector<std::string>& args, const std::string& input) {
    return run_program(SUMS_READER, args, E2E_DIR, input, true);
  };
  RunResult r = sums({}, "a = 1 + 2;\nb = -(3 + 4) + 1;\nend here\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "a = 3\nb = -6\n");
  // A byte-order mark at the start of a file is skipped.
  write_file(std::string(GENERATED_DIR) + "/bom.in", "\xef\xbb\xbf" "c = 4;");
  r = sums({std::string(GENERATED_DIR) + "/bom.in"}, "");
  EXPECT_EQ(r.out, "c = 4\n");
  r = sums({"-d2"}, "a = -2;");
  EXPECT_EQ(r.out, "[\n  show(\"a\",\n   neg(\n    num(2)\n   )\n  )\n]");
  r = sums({}, "a = 1\n  + ;");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, ":2:5: syntax error, unexpected ';', expecting ?n? or '-' or '('\n");
  const std::string hpp = read_file(std::string(GENERATED_DIR) + "/e2e_sums/sums.hpp");
  EXPECT_NE(hpp.find("#include \"exprtree.hpp\"\n"), std::string::npos);
  EXPECT_EQ(hpp.find("Expr_domain"), std::string::npos);
}

// No value types: repetitions of code only and of a value with nothing to
// hold build and run; "%code lex" on one line declares a start condition,
// and on another one defines a named pattern, each on its own line.
TEST(GeneratedPlain, CodeOnlyRepetitions) {
  RunResult r = run_program(PLAIN_READER, {}, E2E_DIR, "aa i, i,i\n", true);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "aaiii\n");
  r = run_program(PLAIN_READER, {}, E2E_DIR, "a i,\r,j\r\n", true);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "airj\n");
  EXPECT_NE(read_file(std::string(GENERATED_DIR) + "/e2e_plain/plain.lex").find("\n%x SPARE \nBLANK [ \\t\\n] \n"),
            std::string::npos);
}

}  // namespace
