// Descriptions nested as deeply as the reader accepts go through every pass
// and writer of tarnel. The suite runs these tests in an optimised sanitizer
// build too, whose stack frames are the largest; they are kept apart from the
// other end-to-end tests so that build has little to compile.
#include <gtest/gtest.h>

#include <string>

#include "run_tarnel.hpp"

namespace {

// Just under the reader's limits (its parser stack holds 10000 entries):
// each level of groups or braces takes two entries, a "match" level eight.
const std::size_t deepest = 4990;
const std::size_t deepest_match = 1240;

std::string repeated(std::size_t n, const std::string& text) {
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s += text;
  return s;
}

std::string nested(char open, const std::string& inner, char close, std::size_t n = deepest) {
  return std::string(n, open) + inner + std::string(n, close);
}

// "match" blocks nested n deep in the action of a rule.
std::string nested_matches(std::size_t n) {
  return "%type <E> a(int) r\n%%\n%%\nr = 'x' %{ " + repeated(n, "match v { rule a(f): ") +
         " f = 1; " + repeated(n, "} ") + "%} ;\n";
}

// This process's own folder: the suite runs these tests in parallel.
const std::string& folder() {
  static const std::string dir = scratch_folder("nesting") + "/";
  return dir;
}

// Runs tarnel on `description`, written to the file name.tn; the files it
// writes are left under the prefix out_.
RunResult run(const std::string& name, const std::string& description) {
  const std::string& dir = folder();
  write_file(dir + name + ".tn", description);
  return run_program(TARNEL_EXE, {"-o" + dir + "out_", name + ".tn"}, dir);
}

std::string written(const std::string& name, const std::string& ext) {
  return read_file(folder() + "out_" + name + "." + ext);
}

// Group kinds, each around an element without a value and one with a value
// the rule's action takes (every level then gets a default action).
TEST(Nesting, DeepestNestedGroupsGoThroughEveryPass) {
  for (const char* brackets : {"()_var", "[]_opt", "{}_rep"}) {
    for (bool value : {false, true}) {
      const std::string d = value ? "%type <int> ?v?\n%type <F> a\n%%\n%%\na = " +
                                        nested(brackets[0], " ?v? ", brackets[1]) + " <f($1)> ;\n"
                                  : "%%\n%%\na = " + nested(brackets[0], " 'x' ", brackets[1]) + " ;\n";
      RunResult r = run("nested_groups", d);
      SCOPED_TRACE(std::string(brackets) + (value ? " with a value" : ""));
      EXPECT_EQ(r.status, 0);
      EXPECT_TRUE(r.err.empty()) << r.err.substr(0, 300);
      // Each level got its rule: the numbered names reach the depth.
      const std::string last = std::string("a") + (brackets + 2) + "_" + std::to_string(deepest - 1);
      EXPECT_NE(written("nested_groups", "grm").find(last), std::string::npos);
    }
  }
  // A little deeper, the reader stops with its positioned message.
  RunResult r = run("too_deep", "%%\n%%\na = " + nested('(', " 'x' ", ')', deepest + 20) + " ;\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("too_deep.tn:3:"), std::string::npos) << r.err.substr(0, 300);
  EXPECT_NE(r.err.find(": memory exhausted"), std::string::npos) << r.err.substr(0, 300);
}

// Brace blocks in the code of each section, and nested "match" blocks,
// reach the file they are written to.
TEST(Nesting, DeepestNestedCodeGoesThroughEveryPassAndWriter) {
  const std::string blocks = std::string(deepest, '{');
  const struct {
    const char* file;
    std::string description;
    std::string expected;
  } cases[] = {
      {"grm", "%%\n%%\na = 'x' %{ " + nested('{', " $$ = 1; ", '}') + " %} ;\n", blocks},
      {"lex", "%%\nx %{ " + nested('{', " return ?x?; ", '}') + " %}\n%%\na = ?x? ;\n", blocks},
      {"cpp", "%{ " + nested('{', " int x; ", '}') + " %}\n%%\n%%\na = 'x' <1> ;\n%%\n" +
                  nested('{', " int y; ", '}') + "\n",
       blocks},
      {"grm", nested_matches(deepest_match),
       "_node" + std::to_string(deepest_match) + "=dynamic_cast<a_node *>"},
  };
  for (const auto& c : cases) {
    RunResult r = run("nested_code", c.description);
    SCOPED_TRACE(c.expected.substr(0, 40));
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.empty()) << r.err.substr(0, 300);
    EXPECT_NE(written("nested_code", c.file).find(c.expected), std::string::npos);
  }
  RunResult r = run("too_deep", nested_matches(deepest_match + 20));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(": memory exhausted"), std::string::npos) << r.err.substr(0, 300);
}

}  // namespace
