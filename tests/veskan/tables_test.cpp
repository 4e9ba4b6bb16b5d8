// The preprocessor scan, the class, global and header tables and the
// summary file, over token lists and tables built by hand.
#include "token_builder.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class Tables : public ::testing::Test {
protected:
  void SetUp() override { reset_tables(); }
  void TearDown() override { reset_tables(); }

  // Runs the preprocessor scan over one token with the given material.
  void scan_file(const std::string &name, std::initializer_list<std::string> lines,
                 const std::string &first_token = "x") {
    free_list();
    lex_list.clear();
    inpname = name;
    push_token(TOK_IDENT, first_token, material(lines));
    trace_prepr();
  }

  class_info &make_class(const std::string &name, const std::string &file,
                         std::vector<std::pair<int, std::string>> parents = {}) {
    class_info &c = classes[name];
    c.file = file;
    c.parents = std::move(parents);
    return c;
  }
};

TEST_F(Tables, WorkedExampleSummary) {
  scan_file("b.h", {});
  add_global("B _type_", "b.h");
  class_info &b = make_class("B", "b.h");
  add_toclass(&b, ACS_PUBLIC, "y : int");
  add_toclass(&b, KIND_STATIC * 3 + ACS_PROTECTED, "n : int");

  scan_file("a.h", {"#ifndef A_H\n", "#define A_H\n", "#include \"b.h\"\n", "#define MAX 10\n"});
  add_global("A _type_", "a.h");
  class_info &a = make_class("A", "a.h", {{ACS_PUBLIC, "B"}});
  add_toclass(&a, ACS_PUBLIC, "x : int");
  add_toclass(&a, KIND_CONST * 3 + ACS_PUBLIC, "f() -> void");

  EXPECT_EQ(summary_text(), "# a.h b.h\n"
                            "!a.h b.h #<#>\n"
                            "A _type_ #<a.h>\n"
                            "B _type_ #<b.h>\n"
                            "MAX #<a.h>\n"
                            "\tA::x : int #<a.h>\n"
                            "\tA::y : int #<a.h>\n"
                            "\tA$%n : int #<a.h>\n"
                            "\tA=:f() -> void #<a.h>\n"
                            "\tB::y : int #<b.h>\n"
                            "\tB$%n : int #<b.h>\n");
}

// Long member lists keep each entry once, in the order of first insertion.
TEST_F(Tables, LongMemberListsKeepEntriesOnce) {
  class_info info;
  for (int round = 0; round < 3; ++round)
    for (int k = 0; k < 200; ++k) add_toclass(&info, 2, "m" + std::to_string(k * 7 % 200));
  ASSERT_EQ(info.elems[2].size(), 200u);
  for (int k = 0; k < 200; ++k) EXPECT_EQ(info.elems[2][k], "m" + std::to_string(k * 7 % 200));
}

// Thousands of globals from files in turn: the first file of each entry
// wins, texts differ in their tails only, and nothing is lost as the table
// grows.
TEST_F(Tables, ManyGlobalsKeepTheirFirstFile) {
  for (const char *file : {"a.h", "b.h", "a.h"})
    for (int k = 0; k < 5000; ++k)
      add_global(std::string(40, 'x') + std::to_string(file[0] == 'b' ? k : k / 2), file);
  ASSERT_EQ(globals.size(), 5000u);
  std::string summary = summary_text(), x40(40, 'x');
  EXPECT_EQ(globals.count(x40 + "2499"), 1u);
  EXPECT_EQ(globals.count(x40 + "5000"), 0u);
  EXPECT_NE(summary.find(x40 + "2499 #<a.h>\n" + x40 + "25 #<a.h>\n"), std::string::npos);
  EXPECT_NE(summary.find(x40 + "2500 #<b.h>\n"), std::string::npos);
  EXPECT_NE(summary.find("\n" + x40 + "4999 #<b.h>\n"), std::string::npos);
}

TEST_F(Tables, PreprocessorLines) {
  stdheaders["std.h"].includes = {"bits.h", "more.h"};
  scan_file("f.h", {"#ifndef G\n", "/* c */", "  ", "#define G\n", "#define F(x) x\n",
                    "#define E() 1\n", "#define X (1)\n", "# include <no.h>\n",
                    "#include <std.h>\n", "#include \"std.h\"\n", "#ifndef H\n",
                    "#include <a.h>\n", "#define AFTER 2\n", "\t#define \\\n  CONT 1\n"});
  EXPECT_EQ(headers["f.h"].includes, (std::set<std::string>{"std.h", "bits.h", "more.h", "a.h"}));
  std::unordered_map<std::string, std::string> expect = {
      {"F(x)", "f.h"}, {"E", "f.h"}, {"X", "f.h"}, {"AFTER", "f.h"}};
  EXPECT_EQ(globals_map(), expect); // G is a guard; "#define \" has no name on its line
}

TEST_F(Tables, IncludeOfKnownNameAddsNothingAgain) {
  stdheaders["s.h"].includes = {"t.h"};
  scan_file("f.h", {"#include <s.h>\n"});
  headers["f.h"].includes.erase("t.h");
  // A second include of s.h in the material of a later token.
  push_token(TOK_IDENT, "y", material({"#include <s.h>\n"}));
  trace_prepr1(static_cast<ast::lexem_node *>(lex_list.back().value.f1_)->f1_, headers["f.h"]);
  EXPECT_EQ(headers["f.h"].includes, (std::set<std::string>{"s.h"}));
}

TEST_F(Tables, GuardOnlyWithinOneList) {
  free_list();
  lex_list.clear();
  inpname = "g.h";
  push_token(TOK_IDENT, "a", material({"#ifndef G\n"}));
  push_eof(material({"#define G\n"}));
  trace_prepr();
  EXPECT_EQ(globals.count("G"), 1u);
}

TEST_F(Tables, EveryFileIsAHeaderKeyAndClassMakesCxx) {
  inplang_c = true;
  scan_file("empty.c", {}, "class");
  EXPECT_EQ(headers.count("empty.c"), 1u);
  EXPECT_FALSE(inplang_c);
  EXPECT_EQ(summary_text(), "#\n"); // sources are not named on the header line
}

TEST_F(Tables, InheritanceMarks) {
  class_info &b = make_class("B", "b.h");
  for (int i = 0; i < 9; ++i) add_toclass(&b, i, "m" + std::to_string(i));
  make_class("Pri", "d.h", {{ACS_PRIVATE, "B"}});
  make_class("Pro", "d.h", {{ACS_PROTECTED, "B"}});
  make_class("Pub", "d.h", {{ACS_PUBLIC, "Missing"}, {ACS_PUBLIC, "B"}});
  std::string s = summary_text();
  EXPECT_NE(s.find("\tPri:%m1 #<d.h>\n\tPri:%m2 #<d.h>\n\tPri$%m4 #<d.h>\n\tPri$%m5 #<d.h>\n"
                   "\tPri=%m7 #<d.h>\n\tPri=%m8 #<d.h>\n"),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("\tPro:%m1 #<d.h>\n\tPro:%m2 #<d.h>\n\tPro$%m4 #<d.h>\n\tPro$%m5 #<d.h>\n"
                   "\tPro=%m7 #<d.h>\n\tPro=%m8 #<d.h>\n"),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("\tPub::m2 #<d.h>\n\tPub$%m4 #<d.h>\n\tPub$:m5 #<d.h>\n"), std::string::npos)
      << s;
  EXPECT_EQ(classes["Pri"].elems[0], (std::vector<std::string>{"m1", "m2"}));
  EXPECT_EQ(s.find("m0 #<d.h>"), std::string::npos); // private members are never inherited
}

TEST_F(Tables, OwnMemberFirstAndBaseCycles) {
  class_info &x = make_class("X", "x.h", {{ACS_PUBLIC, "Y"}});
  add_toclass(&x, ACS_PUBLIC, "b");
  add_toclass(&x, ACS_PUBLIC, "a");
  add_toclass(&x, ACS_PUBLIC, "b");
  class_info &y = make_class("Y", "y.h", {{ACS_PUBLIC, "X"}, {ACS_PUBLIC, "Y"}});
  add_toclass(&y, ACS_PUBLIC, "a");
  add_toclass(&y, ACS_PUBLIC, "c");
  EXPECT_EQ(summary_text(), "#\n"
                            "\tX::b #<x.h>\n\tX::a #<x.h>\n\tX::c #<x.h>\n"
                            "\tY::a #<y.h>\n\tY::c #<y.h>\n");
  // A class merged into itself, its lists long enough to be indexed, keeps
  // each entry once.
  for (int k = 0; k < 40; ++k) add_toclass(&y, KIND_STATIC * 3 + ACS_PROTECTED, std::to_string(k));
  collect_parent_elems(y, ACS_PUBLIC, "Y");
  EXPECT_EQ(y.elems[KIND_STATIC * 3 + ACS_PROTECTED].size(), 40u);
  EXPECT_EQ(y.elems[ACS_PUBLIC].size(), 2u);
}

// A chain of bases far longer than any call stack could follow: the first
// class in key order derives, through all the others, from the last one.
TEST_F(Tables, LongChainOfBases) {
  const int n = 100000;
  auto name = [](int i) {
    std::string digits = std::to_string(i);
    return "C" + std::string(6 - digits.size(), '0') + digits;
  };
  for (int i = 0; i + 1 < n; ++i) make_class(name(i), "c.h", {{ACS_PUBLIC, name(i + 1)}});
  add_toclass(&make_class(name(n - 1), "c.h"), ACS_PUBLIC, "m");
  std::string s = summary_text();
  const std::string first_lines = "#\n\tC000000::m #<c.h>\n";
  EXPECT_EQ(s.substr(0, first_lines.size()), first_lines);
  EXPECT_EQ(std::count(s.begin(), s.end(), '\n'), n + 1);
}

TEST_F(Tables, HeaderSetsWidenOneLevelInKeyOrder) {
  scan_file("a.h", {"#include \"b.h\"\n"});
  scan_file("b.h", {"#include \"c.h\"\n"});
  scan_file("c.h", {"#include \"d.h\"\n"});
  scan_file("s.cpp", {"#include \"a.h\"\n"});
  EXPECT_EQ(summary_text(), "# a.h b.h c.h\n"
                            "!a.h b.h c.h #<#>\n"
                            "!b.h c.h d.h #<#>\n"
                            "!c.h d.h #<#>\n"
                            "!s.cpp a.h b.h c.h #<#>\n");
}

TEST_F(Tables, NestedNamesAndNewlinesInEntries) {
  class_info &c = make_class("A::In", "a.h");
  add_toclass(&c, ACS_PUBLIC, "f(const char* s = R\"(x\ny)\") -> void");
  add_global("g(int a = R\"(1\n2)\") -> int", "a.h");
  EXPECT_EQ(summary_text(), "#\n"
                            "g(int a = R\"(1 2)\") -> int #<a.h>\n"
                            "\tA:In::f(const char* s = R\"(x y)\") -> void #<a.h>\n");
}

TEST_F(Tables, SummaryReadsBack) {
  scan_file("a.h", {"#include <b.h>\n", "#include <c.h>\n"});
  scan_file("b.h", {});
  add_global("T _type_", "a.h");
  add_global(" struct@S _type_", "a.h");
  add_global("v : int", "a.h");
  add_global("f() -> void", "a.h");
  class_info &c = make_class("A", "a.h");
  add_toclass(&c, KIND_STATIC * 3 + ACS_PUBLIC, "In _type_");
  add_toclass(&c, KIND_STATIC * 3 + ACS_PRIVATE, "P _type_");
  add_toclass(&c, ACS_PUBLIC, "x : int");
  std::istringstream in(summary_text());
  reset_tables();
  read_summary(in);
  EXPECT_EQ(alltypes_set(), (std::unordered_set<std::string>{"T", "struct@S", "A$:In", "A$%P"}));
  ASSERT_EQ(stdheaders.size(), 1u);
  EXPECT_EQ(stdheaders["a.h"].includes, (std::set<std::string>{"b.h", "c.h"}));
}

TEST_F(Tables, SummaryReaderEdgeLines) {
  std::istringstream in("!   h.h x.h #y z.h #<#>\n"
                        "!\n"
                        "\n"
                        "single\n"
                        "K _spec_ more\n"
                        "L _type_x\n");
  read_summary(in);
  EXPECT_EQ(stdheaders["h.h"].includes, (std::set<std::string>{"x.h", "z.h"}));
  EXPECT_EQ(stdheaders.count(""), 1u);
  EXPECT_EQ(alltypes_set(), (std::unordered_set<std::string>{"K"}));
}

} // namespace
