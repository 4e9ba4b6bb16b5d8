// dorvik on hand-made reports and annotated files: summary text, removal of
// the consumed inputs and failure handling.
#include <gtest/gtest.h>

#include "dorvik_support.hpp"

using namespace dorvik_test;

namespace {

class SummaryTest : public ::testing::Test {
protected:
  // Runs dorvik on report.txt, writing summary.txt; it must succeed silently.
  std::string summarise() {
    const run_result r = run_dorvik({"report.txt", "summary.txt"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    return read_file(dir / "summary.txt");
  }

  void put(const std::string &name, const std::string &text) {
    write_file(dir / name, text);
  }

  bool exists(const std::string &name) const { return fs::exists(dir / name); }

  scratch_dir dir;
};

TEST_F(SummaryTest, WorkedExample) {
  const fs::path fixtures = fs::path(DORVIK_FIXTURES) / "worked";
  fs::copy_file(fixtures / "report.txt", dir / "report.txt");
  fs::copy_file(fixtures / "foo.c.gcov", dir / "foo.c.gcov");
  EXPECT_EQ(summarise(), read_file(fixtures / "expected.txt"));
  EXPECT_EQ(list_dir(dir.path()), std::set<std::string>{"summary.txt"});
}

TEST_F(SummaryTest, CountFieldsBranchMarksAndFunctionFigures) {
  put("report.txt", "File 'k.c'\nLines executed:60.00% of 5\n"
                    "Creating 'k.c.gcov'\n\n");
  put("k.c.gcov",
      "        -:    0:Source:k.c\n"
      "function f called 3 returned 100% blocks executed 50%\n"
      "branch  9 taken 100%\n" // no line open: ignored
      "      12*:   10:int f(int x) {\n"
      "    %%%%%:   11:  g();\n"
      "    =====:   12:  } catch (...) {\n"
      "branch  0 never executed\n"
      "branch  1 taken 0 (fallthrough)\n"
      "100000001:   13:  for (;;)\n"
      "branch  0 taken 100000001\n"
      "branch  1 taken 0%\n"
      "call    0 returned 1\n" // does not close the open line
      "branch  2 taken 1%\n"
      "12345678901234567890:   14:  big();\n"
      "        -:   16:}\n"
      "function empty called 0 returned 0% blocks executed 0%\n"
      "        -:   17:void empty() {}\n");
  EXPECT_EQ(summarise(), "file:k.c\t-\t-\t60.00% of 5\t-\n"
                         "10:12\n"
                         "11:0\n"
                         "12:0\t--\n"
                         "13:100000001\t+-+\n"
                         "14:12345678901234567890\n"
                         "function:f\t10\t3\t60.00% of 5\t40.00% of 5\n"
                         "function:empty\t17\t0\t-\t-\n");
  EXPECT_FALSE(exists("k.c.gcov"));
  EXPECT_FALSE(exists("report.txt"));
}

TEST_F(SummaryTest, TemplateInstantiationsKeepTheirFirstLine) {
  put("report.txt", "File 't.cpp'\nCreating 't.cpp.gcov'\n");
  put("t.cpp.gcov", "        2:    4:T twice(T v) {\n"
                    "        -:    5:}\n"
                    "------------------\n"
                    "_Z5twiceIiET_S0_:\n"
                    "function _Z5twiceIiET_S0_ called 2 returned 100% blocks "
                    "executed 100%\n"
                    "        2:    4:T twice(T v) {\n"
                    "        -:    5:}\n"
                    "------------------\n"
                    "function main called 1 returned 100% blocks executed 100%\n"
                    "function last called 1 returned 100% blocks executed 100%\n");
  EXPECT_EQ(summarise(), "file:t.cpp\t-\t-\t-\t-\n"
                         "4:2\n"
                         "4:2\n"
                         "function:_Z5twiceIiET_S0_\t4\t2\t100.00% of 1\t-\n"
                         "function:main\t6\t1\t-\t-\n"
                         "function:last\t6\t1\t-\t-\n");
}

// Blocks as gcov -n writes them (no blank lines, a closing total), a later
// block for the same file, Windows line ends, and records without a usable
// annotated file.
TEST_F(SummaryTest, ReportBlocks) {
  put("report.txt", "File 'b.c'\r\n"
                    "Lines executed:50.00% of 2\r\n"
                    "Taken at least once:0.00% of 2\r\n"
                    "File 'a.c'\r\n"
                    "Lines executed:100.00% of 1\r\n"
                    "Creating 'a.c.gcov'\r\n"
                    "File 'b.c'\r\n"
                    "Lines executed:75.00% of 4\r\n"
                    "Calls executed:100.00% of 1\r\n"
                    "File 'n.c'\r\n"
                    "Creating 'notes.txt'\r\n"
                    "\r\n"
                    "Lines executed:80.00% of 10\r\n"
                    "File 'z.c'\r\n"
                    "Lines executed:10.00% of 10\r\n"
                    "Lines executed:80.00% of 15\r\n");
  put("a.c.gcov", "function main called 1 returned 100% blocks executed 100%\r\n"
                  "        1:    1:int main() { return 0; }\r\n");
  put("?", "        1:    1:not an annotated file\n");
  put("notes.txt", "        1:    1:not an annotated file\n");
  EXPECT_EQ(summarise(), "file:a.c\t-\t-\t100.00% of 1\t-\n"
                         "1:1\n"
                         "function:main\t1\t1\t100.00% of 1\t-\n"
                         "file:?\t-\t-\t75.00% of 4\t-\n"
                         "file:note\t-\t-\t-\t-\n"
                         "file:?\t-\t-\t10.00% of 10\t-\n");
  EXPECT_EQ(list_dir(dir.path()),
            (std::set<std::string>{"?", "notes.txt", "summary.txt"}));
}

TEST_F(SummaryTest, MalformedLinesAreIgnored) {
  put("report.txt", "File \nFile '\nFile ''\nFile x\n"
                    "File 'm.c'\nCreating \nCreating '\nCreating ''\n"
                    "Creating 'm.c.gcov'\n\n");
  put("m.c.gcov", "function \n"
                  "function f\n"
                  "function g called\n"
                  "function h called x\n"
                  "function k called 7 returned 100%\n"
                  "        1:    3:x\n"
                  "function q called \n"
                  "branch\n"
                  "branch  0 taken \n"
                  "branch  1 taken .5%\n"
                  ":\n"
                  " :  :\n"
                  "    1:\n"
                  "        1:x:\n");
  EXPECT_EQ(summarise(), "file:m.c\t-\t-\t-\t-\n"
                         "3:1\t--\n"
                         "function:k\t3\t7\t100.00% of 1\t0.00% of 2\n");
}

// An annotated file is read once even when several records name it (for
// the one whose source it names), and never when it is the report itself.
TEST_F(SummaryTest, AnnotatedFilesAreReadOnce) {
  put("report.gcov", "File 'a/x.c'\nCreating 'x.c.gcov'\n\n"
                     "File 'b/x.c'\nCreating 'x.c.gcov'\n\n"
                     "File 'c.c'\nCreating 'report.gcov'\n\n"
                     "        9:    9:read as an annotated line\n");
  put("x.c.gcov", "        -:    0:Source:b/x.c\n        3:    1:x();\n");
  const run_result r = run_dorvik({"report.gcov", "summary.txt"}, dir.path());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(read_file(dir / "summary.txt"), "file:x.c\t-\t-\t-\t-\n"
                                            "file:x.c\t-\t-\t-\t-\n"
                                            "1:3\n"
                                            "file:report\t-\t-\t-\t-\n");
  EXPECT_EQ(list_dir(dir.path()), std::set<std::string>{"summary.txt"});
}

// Real gcov -b -k -q output (made from fixtures/same_name_coloured/sources
// with gcc --coverage; gcov -b -k -q src/a/util.c src/b/util.c main.c):
// its colour escapes around counts and line numbers are read through, and
// util.c.gcov, which gcov wrote for both util.c and kept for src/b, goes to
// src/b's record. The expected summary is that of plain gcov -b. Where the
// owner of such a file cannot be told, or a number does not fit in 64 bits,
// nothing is written or removed.
TEST_F(SummaryTest, ColouredOutputSharedNamesAndNumbersThatDoNotFit) {
  const fs::path fixtures = fs::path(DORVIK_FIXTURES) / "same_name_coloured";
  for (const char *name : {"report.txt", "util.c.gcov", "main.c.gcov"}) {
    fs::copy_file(fixtures / name, dir / name);
  }
  EXPECT_EQ(summarise(), read_file(fixtures / "expected.txt"));
  EXPECT_EQ(list_dir(dir.path()), std::set<std::string>{"summary.txt"});

  const std::string report = "File 'a/x.c'\nCreating 'x.c.gcov'\n\n"
                             "File 'b/x.c'\nCreating 'x.c.gcov'\n\n";
  const std::string b = "        -:    0:Source:b/x.c\n";
  const std::string function = "function f called 1 returned 100% blocks executed 100%\n";
  for (const std::string &annotated : std::vector<std::string>{
           "        -:    0:Source:c/x.c\n        1:    1:x();\n",
           "        1:    1:x();\n",
           b + "        1:9223372036854775807:x();\n" + function,
           b + "        1:9223372036854775808:x();\n",
           b + "99999999999999999999:    1:x();\n",
           b + "        1:" + std::string(200, '9') + ":x();\n",
           b + "function f called 99999999999999999999 returned 100%\n"}) {
    put("summary.txt", "earlier\n");
    put("report.txt", report);
    put("x.c.gcov", annotated);
    const run_result r = run_dorvik({"report.txt", "summary.txt"}, dir.path());
    EXPECT_EQ(r.status, 1) << annotated;
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(read_file(dir / "summary.txt"), "earlier\n") << annotated;
    EXPECT_EQ(read_file(dir / "report.txt"), report);
    EXPECT_EQ(read_file(dir / "x.c.gcov"), annotated);
  }
  EXPECT_EQ(list_dir(dir.path()),
            (std::set<std::string>{"report.txt", "summary.txt", "x.c.gcov"}));
}

TEST_F(SummaryTest, ReportWithoutFileLinesIsKept) {
  put("report.txt", "Lines executed:80.00% of 10\nno data\n");
  EXPECT_EQ(summarise(), "");
  EXPECT_TRUE(exists("report.txt"));
}

TEST_F(SummaryTest, MissingArguments) {
  put("report.txt", "File 'a.c'\n");
  for (const std::vector<std::string> &args :
       {std::vector<std::string>{}, std::vector<std::string>{"report.txt"}}) {
    const run_result r = run_dorvik(args, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out + r.err, "");
  }
  EXPECT_EQ(list_dir(dir.path()), std::set<std::string>{"report.txt"});
}

TEST_F(SummaryTest, UnreadableReport) {
  fs::create_directory(dir / "report.d");
  for (const char *report : {"missing.txt", "report.d"}) {
    const run_result r = run_dorvik({report, "summary.txt"}, dir.path());
    EXPECT_EQ(r.status, 1) << report;
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_FALSE(exists("summary.txt")) << report;
  }
}

// A summary that cannot be opened or written, or that is the report itself:
// status 1 and every input stays.
TEST_F(SummaryTest, UnwritableSummaryRemovesNothing) {
  const std::string report = "File 'a.c'\nCreating 'a.c.gcov'\n\n";
  const std::string annotated = "        1:    1:int a;\n";
  put("report.txt", report);
  put("a.c.gcov", annotated);
  for (const char *summary :
       {"missing/summary.txt", "/dev/full", "report.txt", "./report.txt"}) {
    const run_result r = run_dorvik({"report.txt", summary}, dir.path());
    EXPECT_EQ(r.status, 1) << summary;
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(read_file(dir / "report.txt"), report) << summary;
    EXPECT_EQ(read_file(dir / "a.c.gcov"), annotated) << summary;
  }
  EXPECT_EQ(list_dir(dir.path()),
            (std::set<std::string>{"a.c.gcov", "report.txt"}));
}

// Memory that runs out while the summary is built: status 1, nothing
// printed, the earlier summary and the inputs kept. gcov -H counts make the
// summary several times the size of the annotated file (a 3.5 MB file gives
// an 11 MB summary). Sanitizer builds reserve far more address space than
// the limit allows, so they leave this out.
#ifndef __SANITIZE_ADDRESS__
TEST_F(SummaryTest, MemoryRunningOutKeepsEverything) {
  const std::string report = "File 'a.c'\nCreating 'a.c.gcov'\n\n";
  std::string annotated;
  for (int i = 0; i < 500000; ++i) {
    annotated += "18E:1:\n";
  }
  put("report.txt", report);
  put("a.c.gcov", annotated);
  put("summary.txt", "earlier\n");
  const run_result r = run(
      {"bash", "-c", "ulimit -v 20000 && exec \"$0\" report.txt summary.txt", DORVIK_BIN},
      dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out + r.err, "");
  EXPECT_EQ(read_file(dir / "summary.txt"), "earlier\n");
  EXPECT_EQ(read_file(dir / "report.txt"), report);
  EXPECT_TRUE(read_file(dir / "a.c.gcov") == annotated);
  EXPECT_EQ(list_dir(dir.path()),
            (std::set<std::string>{"a.c.gcov", "report.txt", "summary.txt"}));
}
#endif

// Nothing the user did not hand over is written or removed: a summary that
// is the report or names a file the report names (by name, by another
// spelling or through a link) is refused; annotated names with a "/" are
// none of gcov's and are neither read nor removed; a report that is a link
// stays; a summary that is a link stays a link, and one that cannot be
// written whole is left as it was.
TEST_F(SummaryTest, InputsAndEarlierSummariesAreKept) {
  fs::create_directory(dir / "sub");
  const std::string victim = "        7:    1:victim\n";
  put("victim.gcov", victim);
  put("sub/abs.gcov", victim);
  const std::string absolute = (dir / "sub/abs.gcov").string();
  const std::string report = "File 'a.c'\nCreating 'a.c.gcov'\n\n"
                             "File 'b.c'\nCreating '../victim.gcov'\n\n"
                             "File 'c.c'\nCreating '" + absolute + "'\n\n";
  const std::string annotated = "        1:    1:int a;\n";
  put("sub/report.txt", report);
  put("sub/a.c.gcov", annotated);
  fs::create_symlink("a.c.gcov", dir / "sub/link.gcov");
  for (const char *summary : {"a.c.gcov", "./a.c.gcov", "link.gcov", "../sub/a.c.gcov"}) {
    const run_result r = run_dorvik({"report.txt", summary}, dir / "sub");
    EXPECT_EQ(r.status, 1) << summary;
    EXPECT_EQ(read_file(dir / "sub/report.txt"), report) << summary;
    EXPECT_EQ(read_file(dir / "sub/a.c.gcov"), annotated) << summary;
  }

  fs::create_symlink("report.txt", dir / "sub/report.lnk");
  fs::create_symlink("real.txt", dir / "sub/summary.lnk");
  const run_result r = run_dorvik({"report.lnk", "summary.lnk"}, dir / "sub");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(read_file(dir / "sub/real.txt"), "file:a.c\t-\t-\t-\t-\n1:1\n"
                                             "file:../victim\t-\t-\t-\t-\n"
                                             "file:" + absolute.substr(0, absolute.size() - 5) +
                                                 "\t-\t-\t-\t-\n");
  EXPECT_TRUE(fs::is_symlink(dir / "sub/summary.lnk"));
  EXPECT_EQ(read_file(dir / "victim.gcov"), victim);
  EXPECT_EQ(read_file(dir / "sub/abs.gcov"), victim);
  EXPECT_EQ(list_dir(dir / "sub"),
            (std::set<std::string>{"abs.gcov", "link.gcov", "real.txt", "report.lnk",
                                   "report.txt", "summary.lnk"}));

  // Writing fails under a file size limit: the earlier summary stays, the
  // inputs stay, no temporary is left.
  put("sub/a.c.gcov", annotated);
  const std::string earlier = read_file(dir / "sub/real.txt");
  const run_result limited =
      run({"sh", "-c", "ulimit -f 0; exec \"$0\" report.txt summary.lnk", DORVIK_BIN}, dir / "sub");
  EXPECT_EQ(limited.status, 1);
  EXPECT_EQ(read_file(dir / "sub/real.txt"), earlier);
  EXPECT_EQ(list_dir(dir / "sub"),
            (std::set<std::string>{"a.c.gcov", "abs.gcov", "link.gcov", "real.txt",
                                   "report.lnk", "report.txt", "summary.lnk"}));

  // /dev/stdout onto a pipe is a link whose text names no file; a link loop
  // is not written.
  const run_result piped =
      run({"sh", "-c", "\"$0\" report.txt /dev/stdout | cat", DORVIK_BIN}, dir / "sub");
  EXPECT_EQ(piped.out, earlier);
  put("sub/a.c.gcov", annotated);
  put("sub/report.txt", report);
  fs::create_symlink("loop.txt", dir / "sub/loop.txt");
  EXPECT_EQ(run_dorvik({"report.txt", "loop.txt"}, dir / "sub").status, 1);
  EXPECT_TRUE(fs::is_symlink(dir / "sub/loop.txt"));
}

} // namespace
