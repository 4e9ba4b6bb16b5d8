// The veskan program run end to end: command line, input listing, token
// dump, summaries read back, failures and the time limit.
#include "run_veskan.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <set>
#include <sys/stat.h>

namespace {

// The lines of a summary that name globals and class members (those not
// starting with "#" or "!").
std::string entries(const std::string &summary) {
  std::istringstream in(summary);
  std::string line, out;
  while (std::getline(in, line))
    if (!line.empty() && line[0] != '#' && line[0] != '!') out += line + "\n";
  return out;
}

// What a command started with popen writes, up to its end.
std::string read_stream(FILE *in) {
  std::string text;
  for (int c; (c = fgetc(in)) != EOF;) text += static_cast<char>(c);
  return text;
}

// The names in a folder, in order, each followed by a blank.
std::string listing(const std::string &dir) {
  std::set<std::string> names;
  if (DIR *d = opendir(dir.c_str())) {
    while (dirent *e = readdir(d))
      if (e->d_name[0] != '.') names.insert(e->d_name);
    closedir(d);
  }
  std::string text;
  for (const std::string &name : names) text += name + " ";
  return text;
}

TEST(Cli, TokenDump) {
  temp_dir d;
  write_file(d / "a.h", "int x; // c\n");
  write_file(d / "b.h", "");
  write_file(d / "c.h", " \n");
  run_result r = run_veskan(d.path(), {"-d1", "a.h", "b.h", "c.h"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "1:1 1:3 ?ident? : \n"
                   "lexem([],\"int\")\n"
                   "1:5 1:5 ?ident? : \n"
                   "lexem([\n"
                   "   spaces(\" \")\n"
                   " ],\"x\"\n"
                   ")\n"
                   "1:6 1:6 ?lexem? : \n"
                   "lexem([],\";\")\n"
                   "1:8 1:12 ?eof? : \n"
                   "eoflex([\n"
                   "   spaces(\" \"),\n"
                   "   comment(\"// c\\n\")\n"
                   " ]\n"
                   ")\n"
                   "1:1 1:2 ?eof? : \n"
                   "eoflex([\n"
                   "   spaces(\" \\n\")\n"
                   " ]\n"
                   ")\n");
  EXPECT_EQ(read_file(d / "project.api"), "# a.h b.h c.h\nx : int #<a.h>\n");
}

// A UTF-8 byte-order mark at the start of a source is left out; anywhere
// else its bytes are text. A device is a source too.
TEST(Cli, SourceBytes) {
  temp_dir d;
  write_file(d / "a.h", "\xEF\xBB\xBFint x;\n");
  write_file(d / "b.h", "int x;\n");
  write_file(d / "c.h", "\xEF\xBB");
  run_result with = run_veskan(d.path(), {"-d1", "a.h"});
  run_result without = run_veskan(d.path(), {"-d1", "b.h"});
  EXPECT_EQ(with.status, 0);
  EXPECT_EQ(with.out, without.out);
  EXPECT_EQ(run_veskan(d.path(), {"-d1", "c.h"}).out,
            "1:1 1:1 ?lexem? : \nlexem([],\"\xEF\")\n1:2 1:2 ?lexem? : \nlexem([],\"\xBB\")\n");
  EXPECT_EQ(run_veskan(d.path(), {"-o", "null.api", "/dev/null"}).status, 0);
  EXPECT_EQ(read_file(d / "null.api"), "# null\n");
}

// Only level 1 dumps; "-d" with no number, a non-number or a number out of
// range is level 0; blanks before the number and text after it are allowed.
TEST(Cli, DebugLevels) {
  temp_dir d;
  write_file(d / "a.h", "int x;\n");
  std::string dump = run_veskan(d.path(), {"-d1", "a.h"}).out;
  EXPECT_NE(dump, "");
  EXPECT_EQ(run_veskan(d.path(), {"-d 1x", "a.h"}).out, dump);
  for (const char *opt : {"-d2", "-d", "-dx", "-d99999999999", "-d-1"}) {
    run_result r = run_veskan(d.path(), {opt, "a.h"});
    EXPECT_EQ(r.status, 0) << opt;
    EXPECT_EQ(r.out, "") << opt;
    EXPECT_EQ(r.err, "") << opt;
  }
  // A summary named by a symbolic link replaces the link's target; the link
  // stays a link.
  ASSERT_EQ(symlink("real.api", (d / "link.api").c_str()), 0);
  EXPECT_EQ(run_veskan(d.path(), {"-o", "link.api", "a.h"}).status, 0);
  EXPECT_EQ(read_file(d / "real.api"), "# a.h\nx : int #<a.h>\n");
  struct stat st;
  EXPECT_TRUE(lstat((d / "link.api").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
}

// Without file arguments the directory is listed: regular files with
// header names first, then sources, each in listing order; the first
// record of a global name wins, which shows the order.
TEST(Cli, DirectoryListing) {
  temp_dir d;
  write_file(d / "b.h", "int b; int shared;\n");
  write_file(d / "a.c", "int shared; int c;\n");
  write_file(d / "c.hpp", "int h;\n");
  write_file(d / "d.txt", "int t;\n");
  mkdir((d / "e.h").c_str(), 0755);
  write_file(d / "x_unittest.cpp", "#include \"u.h\"\nint u;\n");
  run_result r = run_veskan(d.path(), {});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(read_file(d / "project.api"), "# b.h c.hpp\n"
                                          "!x_unittest.cpp u.h #<#>\n"
                                          "b : int #<b.h>\n"
                                          "c : int #<a.c>\n"
                                          "h : int #<c.hpp>\n"
                                          "shared : int #<b.h>\n");
}

TEST(Cli, PathPrefixAndOutputPlace) {
  temp_dir d;
  mkdir((d / "src").c_str(), 0755);
  write_file(d / "src/s.h", "int s;\n");
  write_file(d / "a.cpp", "int a;\n");
  write_file(d / "src/b.cpp", "int b;\n");
  // -p applies to the files after it; the summary goes into the -p folder.
  run_result r = run_veskan(d.path(), {"a.cpp", "-p", "src", "b.cpp"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(entries(read_file(d / "src/project.api")), "a : int #<a.cpp>\nb : int #<b.cpp>\n");
  EXPECT_FALSE(file_exists(d / "project.api"));
  // -p alone lists that folder; -o wins over the default place; -x and -
  // are ignored.
  r = run_veskan(d.path(), {"-x", "-", "-o", "out.api", "-p", "src"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(read_file(d / "out.api"), "# s.h\nb : int #<b.cpp>\ns : int #<s.h>\n");
}

TEST(Cli, SummariesReadBack) {
  temp_dir d;
  write_file(d / "x.h", "#include <std.h>\ntypedef int T;\n");
  write_file(d / "y.hpp", "struct U { };\n");
  ASSERT_EQ(run_veskan(d.path(), {"-o", "x.api", "x.h"}).status, 0);
  ASSERT_EQ(run_veskan(d.path(), {"-o", "y.api", "y.hpp"}).status, 0);
  write_file(d / "u.cpp", "#include <x.h>\nvoid f(T); void g(U);\n");
  // Both summaries: T and U are known types, and x.h brings its includes.
  ASSERT_EQ(run_veskan(d.path(), {"-a", "x.api;missing.api;y.api", "u.cpp"}).status, 0);
  EXPECT_EQ(read_file(d / "project.api"), "#\n"
                                          "!u.cpp std.h x.h #<#>\n"
                                          "f(T) -> void #<u.cpp>\n"
                                          "g(U) -> void #<u.cpp>\n");
  // A later -a replaces the list; a trailing ";" adds nothing.
  ASSERT_EQ(run_veskan(d.path(), {"-a", "y.api", "-a", "x.api;", "u.cpp"}).status, 0);
  EXPECT_EQ(entries(read_file(d / "project.api")), "f(T) -> void #<u.cpp>\ng : void #<u.cpp>\n");
}

// Memory that runs out is a fatal error like any other: a message, status
// 1, the earlier summary kept. (Sanitizer builds reserve far more address
// space than the limit allows, so they leave the limited run out.) In C,
// "namespace" is an ordinary name.
TEST(Cli, MemoryLimitAndNamespaceAsAName) {
  temp_dir d;
  write_file(d / "project.api", "earlier\n");
#ifndef __SANITIZE_ADDRESS__
  std::string big;
  for (int i = 0; i < 300000; ++i) big += "int v" + std::to_string(i) + ";\n";
  write_file(d / "big.h", big);
  const int status = std::system(("cd " + d.path() + " && bash -c 'ulimit -v 51200 && exec \"$0\"" +
                                  " big.h' " VESKAN_BIN " >out.txt 2>err.txt").c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_EQ(read_file(d / "err.txt"), "Out of memory\n");
  EXPECT_EQ(read_file(d / "out.txt"), "");
  EXPECT_EQ(read_file(d / "project.api"), "earlier\n");
  EXPECT_EQ(listing(d.path()), "big.h err.txt out.txt project.api ");
#endif
  write_file(d / "s.h", "struct S { const char *namespace; int after; };\n");
  write_file(d / "s.c", "struct namespace { int a; } v;\nint after;\n");
  write_file(d / "t.h", "struct namespace { int b; };\nint more;\n");
  ASSERT_EQ(run_veskan(d.path(), {"-o", "s.api", "s.h", "s.c"}).status, 0);
  EXPECT_EQ(read_file(d / "s.api"), "# s.h\n"
                                    " struct@S _type_ #<s.h>\n"
                                    " struct@namespace _type_ #<s.c>\n"
                                    "after : int #<s.c>\n"
                                    "\tS::namespace : const char* #<s.h>\n"
                                    "\tS::after : int #<s.h>\n"
                                    "\tnamespace::a : int #<s.c>\n");
  // A header may be C: a structure's tag is a name there too.
  ASSERT_EQ(run_veskan(d.path(), {"-o", "t.api", "t.h"}).status, 0);
  EXPECT_EQ(read_file(d / "t.api"), "# t.h\n"
                                    " struct@namespace _type_ #<t.h>\n"
                                    "more : int #<t.h>\n"
                                    "\tnamespace::b : int #<t.h>\n");
}

TEST(Cli, UnitTestSourcesRecordNoDeclarations) {
  temp_dir d;
  write_file(d / "t_unittest.cpp", "#include \"a.h\"\n#define M 1\nint x;\n");
  ASSERT_EQ(run_veskan(d.path(), {"t_unittest.cpp"}).status, 0);
  EXPECT_EQ(read_file(d / "project.api"), "#\n!t_unittest.cpp a.h #<#>\nM #<t_unittest.cpp>\n");
}

TEST(Cli, FailuresKeepTheEarlierSummary) {
  temp_dir d;
  write_file(d / "project.api", "earlier\n");
  write_file(d / "a.h", "int a;\n");
  write_file(d / "r.h", "int a;\nconst char* s = R\"x(abc)y\";\n");
  struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"a.h", "missing.h"}, "Can't open file missing.h\n"},
      {{"a.h", "."}, "Can't open file .\n"},
      {{"-p", "nowhere"}, "Can't open directory nowhere\n"},
      {{"a.h", "-o"}, "Option -o needs a value\n"},
      {{"a.h", "-p"}, "Option -p needs a value\n"},
      {{"a.h", "-a"}, "Option -a needs a value\n"},
      {{"-o", "no/such/dir/x.api", "a.h"}, "Can't write file no/such/dir/x.api\n"},
      {{"r.h"}, "r.h:2:18: RE error\n"},
  };
  for (const auto &c : cases) {
    run_result r = run_veskan(d.path(), c.args);
    EXPECT_EQ(r.status, 1) << c.err;
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(read_file(d / "project.api"), "earlier\n") << c.err;
  }
  EXPECT_FALSE(file_exists(d / "project.api.tmp"));
  // A folder that opens but holds no sources still gets an empty summary.
  mkdir((d / "empty").c_str(), 0755);
  EXPECT_EQ(run_veskan(d.path(), {"-p", "empty"}).status, 0);
  EXPECT_EQ(read_file(d / "empty/project.api"), "#\n");
}

// The summary replaces an earlier one only when it is whole. Its temporary
// has a name of its own, so a file or a link named like one is left alone;
// a summary that cannot be written whole (a file size limit, a full device)
// leaves the earlier one and no temporary; one that is a scanned source is
// refused.
TEST(Cli, SummaryReplacesOnlyWhenWhole) {
  temp_dir d;
  std::string header;
  for (int i = 0; i < 20; ++i) header += "int global_" + std::to_string(i) + ";\n";
  write_file(d / "a.h", header);
  write_file(d / "s.api.tmp", "precious\n");
  write_file(d / "victim", "victim\n");
  ASSERT_EQ(symlink("victim", (d / "t.api.tmp").c_str()), 0);
  ASSERT_EQ(symlink("s.api", (d / "l.api").c_str()), 0);
  ASSERT_EQ(symlink("loop.api", (d / "loop.api").c_str()), 0);
  ASSERT_EQ(run_veskan(d.path(), {"-o", "s.api", "a.h"}).status, 0);
  ASSERT_EQ(run_veskan(d.path(), {"-o", "t.api", "a.h"}).status, 0);
  const std::string summary = read_file(d / "s.api");
  EXPECT_EQ(summary.substr(0, 6), "# a.h\n");
  EXPECT_EQ(read_file(d / "t.api"), summary);
  // /dev/stdout onto a pipe is a link whose text names no file.
  FILE *pipe = popen(("cd " + d.path() + " && " VESKAN_BIN " -o /dev/stdout a.h").c_str(), "r");
  const std::string piped = read_stream(pipe);
  EXPECT_EQ(pclose(pipe), 0);
  EXPECT_EQ(piped, summary);
  const std::string names = "a.h l.api loop.api s.api s.api.tmp t.api t.api.tmp victim ";
  EXPECT_EQ(listing(d.path()), names);
  struct {
    std::vector<std::string> args;
    long max_file_size;
    std::string err;
  } cases[] = {
      {{"-o", "l.api", "a.h"}, 100, "Can't write file l.api\n"},
      {{"-o", "/dev/full", "a.h"}, -1, "Can't write file /dev/full\n"},
      {{"-o", "loop.api", "a.h"}, -1, "Can't write file loop.api\n"},
      {{"-o", "a.h", "a.h"}, -1, "Output file a.h is an input\n"},
      {{"-o", "l.api", "s.api"}, -1, "Output file l.api is an input\n"},
  };
  for (const auto &c : cases) {
    run_options opt;
    opt.max_file_size = c.max_file_size;
    run_result r = run_veskan(d.path(), c.args, opt);
    EXPECT_EQ(r.status, 1) << c.err;
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(read_file(d / "s.api"), summary) << c.err;
    EXPECT_EQ(read_file(d / "a.h"), header) << c.err;
    EXPECT_EQ(listing(d.path()), names) << c.err;
  }
  // The standard input read for an empty file name counts as an input too.
  run_options from_summary;
  from_summary.stdin_fd = open((d / "s.api").c_str(), O_RDONLY);
  run_result r = run_veskan(d.path(), {"-o", "l.api", ""}, from_summary);
  close(from_summary.stdin_fd);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Output file l.api is an input\n");
  EXPECT_EQ(read_file(d / "s.api"), summary);
  EXPECT_EQ(read_file(d / "s.api.tmp"), "precious\n");
  EXPECT_EQ(read_file(d / "victim"), "victim\n");
  struct stat st;
  for (const char *link : {"l.api", "loop.api", "t.api.tmp"})
    EXPECT_TRUE(lstat((d / link).c_str(), &st) == 0 && S_ISLNK(st.st_mode)) << link;

  // A user who may write the summary but not its folder: written in place.
  if (geteuid() != 0) return; // only root can run veskan as another user
  mkdir((d / "ro").c_str(), 0755);
  write_file(d / "ro/s.api", "earlier\n");
  chmod((d / "ro/s.api").c_str(), 0666);
  chmod(d.path().c_str(), 0755);
  run_options nobody;
  nobody.user = 65534;
  EXPECT_EQ(run_veskan(d.path(), {"-o", "ro/s.api", "a.h"}, nobody).status, 0);
  EXPECT_EQ(read_file(d / "ro/s.api"), summary);
}

// Scanned files are closed: more files than the process may hold open.
TEST(Cli, ManyFilesFewDescriptors) {
  temp_dir d;
  std::vector<std::string> args;
  for (int i = 0; i < 100; ++i) {
    std::string name = "f" + std::to_string(i) + ".h";
    write_file(d / name, "int v" + std::to_string(i) + ";\n");
    args.push_back(name);
  }
  run_options opt;
  opt.max_files = 20;
  run_result r = run_veskan(d.path(), args, opt);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(read_file(d / "project.api").find("v99 : int #<f99.h>"), std::string::npos);
}

// A run that outlasts the time limit (here: reading a pipe that stays
// open, or a summary larger than a pipe holds written to a pipe that is
// open but not read, run side by side) ends with status 1 at the limit and
// leaves the earlier summary.
TEST(Cli, TimeLimit) {
  temp_dir d;
  write_file(d / "project.api", "earlier\n");
  std::string header;
  for (int i = 0; i < 10000; ++i) header += "int global_" + std::to_string(i) + ";\n";
  write_file(d / "a.h", header);
  ASSERT_EQ(mkfifo((d / "fifo.api").c_str(), 0644), 0);
  const int held = open((d / "fifo.api").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(held, 0);
  FILE *unread = popen(("cd " + d.path() + " && timeout 20 " VESKAN_BIN " -o fifo.api a.h 2>&1").c_str(), "r");
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  run_options opt;
  opt.stdin_fd = fds[0];
  auto start = std::chrono::steady_clock::now();
  run_result r = run_veskan(d.path(), {""}, opt);
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  close(fds[0]);
  close(fds[1]);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Time limit of 5000 ms exceeded\n");
  EXPECT_GE(secs, 4.9);
  EXPECT_EQ(read_file(d / "project.api"), "earlier\n");
  const std::string err = read_stream(unread);
  const int status = pclose(unread);
  close(held);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  EXPECT_EQ(err, "Time limit of 5000 ms exceeded\n");
}

// Real headers, their summary checked by hand: a C header of typedefs of
// unnamed unions, and two C++ classes, one derived from the other.
TEST(Cli, RealHeaders) {
  temp_dir d;
  const std::string dir = HEADERS_DIR;
  run_result r = run_veskan(d.path(), {"-o", "out.api", dir + "/pthreadtypes.h",
                                       dir + "/ELFAttributeParser.h", dir + "/ARMAttributeParser.h"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(read_file(d / "out.api"), read_file(dir + "/expected.api"));
}

// Real headers whose classes sit behind an export macro, inside namespaces
// with a visibility macro after the name, after a macro call without ";".
TEST(Cli, RealHeadersWithDecoratedScopes) {
  temp_dir d;
  const std::string dir = HEADERS_DIR;
  run_result r = run_veskan(d.path(), {"-o", "out.api", dir + "/gtest-test-part.h",
                                       dir + "/quoted_string.h"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(read_file(d / "out.api"), read_file(dir + "/expected_scopes.api"));
}

} // namespace
