// tarnel end to end through the generator: the rewritten grammar (-d4) and
// the type trace (-d3) against expected files, the fatal diagnostics of the
// passes with their positions, the warnings, and which output files are
// written where.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <regex>
#include <set>
#include <sstream>

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

class DebugLevels : public testing::TestWithParam<const char*> {};

TEST_P(DebugLevels, RewrittenGrammarAndTypeTrace) {
  const std::string name = GetParam();
  const std::string dir = scratch_folder("levels_" + name);
  const std::string input = data_dir + "/" + name + ".tn";
  RunResult d4 = tarnel({"-d4", input}, "", dir);
  EXPECT_EQ(d4.status, 0);
  EXPECT_EQ(d4.err, "");
  expect_file(name + ".d4", d4.out);
  RunResult d3 = tarnel({"-d3", input}, "", dir);
  EXPECT_EQ(d3.status, 0);
  EXPECT_EQ(d3.err, "");
  expect_file(name + ".d3", d3.out);
  EXPECT_TRUE(names_in(dir).empty());
  // A second description in the same run starts afresh.
  RunResult twice = tarnel({"-d3", input, input}, "", dir);
  EXPECT_EQ(twice.out, d3.out + d3.out);
}

INSTANTIATE_TEST_SUITE_P(Descriptions, DebugLevels, testing::Values("ops", "lists"));

// tarnel's own description against the bootstrap grammar kept next to it:
// the same rules in the same order, and the same value types and union
// members.
TEST(DebugLevels, OwnDescriptionMatchesTheBootstrapGrammar) {
  const std::string grm = read_file(std::string(TARNEL_DESCRIPTION).replace(
      std::string(TARNEL_DESCRIPTION).size() - 3, 3, ".grm"));
  RunResult d4 = tarnel({"-d4", TARNEL_DESCRIPTION});
  ASSERT_EQ(d4.status, 0) << d4.err;
  std::vector<std::string> made, kept;
  std::regex made_re("\n  grmrule\\(\"([^\"]+)\""), kept_re("\n([A-Za-z_0-9]+)\t:");
  for (std::sregex_iterator i(d4.out.begin(), d4.out.end(), made_re), e; i != e; ++i)
    made.push_back((*i)[1]);
  for (std::sregex_iterator i(grm.begin(), grm.end(), kept_re), e; i != e; ++i)
    kept.push_back((*i)[1]);
  EXPECT_EQ(made, kept);

  RunResult d3 = tarnel({"-d3", TARNEL_DESCRIPTION});
  ASSERT_EQ(d3.status, 0) << d3.err;
  std::istringstream trace(d3.out.substr(d3.out.find("\nAssigned types:\n")));
  std::map<std::string, std::string> types;
  std::map<std::string, std::string> members;
  std::string line;
  bool in_union = false;
  while (std::getline(trace, line)) {
    if (line == "Union:") in_union = true;
    std::size_t colon = line.rfind(": ");
    if (in_union && line.find(' ') != std::string::npos)
      members[line.substr(0, line.rfind(' '))] = line.substr(line.rfind(' ') + 1);
    else if (!in_union && colon != std::string::npos && line.find('(') == std::string::npos)
      types[line.substr(0, colon)] = line.substr(colon + 2);
  }
  std::regex type_re("\n%type <f([0-9]+)_> ([A-Za-z_0-9]+)");
  int checked = 0;
  for (std::sregex_iterator i(grm.begin(), grm.end(), type_re), e; i != e; ++i, ++checked)
    EXPECT_EQ(members[types[(*i)[2]]], (*i)[1]) << (*i)[2];
  EXPECT_GT(checked, 50);
}

struct Diagnostic {
  const char* input;
  const char* err;
};

TEST(Diagnostics, FatalWithPositionAndStatus) {
  const Diagnostic cases[] = {
      // Symbol checks: redefinitions first, at the later rule.
      {"%%\n%%\na = b ;\nb = 'x' [ ( 'y' { c } ) ] ;\nz = 'q' ;\nz = a ;\n", ":6:5: Redefined symbol z\n"},
      {"%%\n%%\nerror = 'x' ;\n", ":3:11: Redefined symbol error\n"},
      {"%%\n%%\ns = YYerror ;\nYYerror = 'x' ;\n", ":4:13: Redefined symbol YYerror\n"},
      {"%%\n%%\na = b ;\nb = 'x' [ ( 'y' { c } ) ] ;\n", ":4:19: Undefined symbol c\n"},
      // Declarations.
      {"%type <Expr> num(int)\n%type <Stmt> num(int)\n", ":2:21: Node num is assigned to domain Expr\n"},
      {"%type <Expr> mk(Expr?)\n", ":1:22: Wrong type Expr?\n"},
      {"%type <int> mk(int)\n", ":1:19: Type of node can't assign to int\n"},
      // Named references.
      {"%%\n%%\ne = e '+' t <f($t, $x)> ;\nt = 'x' ;\n", ":3:22: Unknown ref to x\n"},
      {"%%\n%%\ne = e '+' e <f($e)> ;\n", ":3:18: Ambiguous ref to e\n"},
      {"%%\n%%\ne = ['+'] e <f($[\"+\"])> | 'x' ;\n", ":3:22: Unknown ref to \"+\"\n"},
      {"%%\n%%\ne = x g: ( 'y' %{ $x; %} ) ;\nx = 'x' ;\n", ":3:20: Unknown ref to x\n"},
      // Operator layering.
      {"%operator <yfx> '+'\n%%\n%%\nexp = exp ',' exp | 'x' ;\n", ":4:17: Wrong rule for exp\n"},
      {"%operator <yfx> '+'\n%%\n%%\nexp = exp '+' exp ;\n", ":4:17: Wrong rule for exp\n"},
      {"%operator <fy> '-'\n%%\n%%\nexp = exp exp | '-' exp | 'x' ;\n", ":4:13: Wrong rule for exp\n"},
      // Type inference.
      {"%%\nx ?x? <yytext>\n", "Types attributes ?x? is different: int <- std::string\n"},
      {"%type <Expr> ?x?\n%%\nx ?x? <num(yytext)>\ny ?x? <num(yytext, 1)>\n",
       ":4:21: Wrong number of node num arguments\n"},
      {"%type <int> e\n%%\n%%\ne = 'x' <$2> ;\n", ":4:11: Reference $2 to unknown element\n"},
      {"%type <int> e\n%%\n%%\ne = 'x' <$99999999999> ;\n",
       ":4:21: Reference $99999999999 to unknown element\n"},
      {"%type <int> e\n%%\n%%\ne = 'x' <$0> ;\n", ":4:11: Reference $0 to unknown element\n"},
      // A literal with a null character, wherever it is named.
      {"%%\n%%\ns = '\\0' 'x' | \"\\x00\" 'y' ;\n", ":3:21: Null character in terminal \"\\x00\"\n"},
      {"%type <int> 'a\\x00b'\n", ":1:20: Null character in terminal 'a\\x00b'\n"},
      {"%%\nx %{ return token '\\x00'; %}\n%%\ns = 'y' ;\n", ":2:24: Null character in terminal '\\x00'\n"},
      {"%%\n%%\ne = 'x' <f($1)> ;\n", "Warning: ref to terminal 'x' with undefined type\n"
                                       ":3:14: Terminal 'x' don't have a type\n"},
      {"%type <int> ?a?\n%type <long> ?b?\n%%\n%%\ne = ?a? ?b? <n($1)> | ?a? ?b? <n($1, $2)> ;\n",
       ":5:40: Wrong number of node n arguments\n"},
      {"%type <int> ?a?\n%%\n%%\nl = ?a? ?a? <cons($1, $1, $2)> ;\n",
       ":4:29: Number of cons' arguments should be 1 or 2\n"},
      {"%type <int> ?a?\n%type <long> ?b?\n%%\n%%\nl = ?a? ?b? <cons($1, $2)> ;\n",
       ":5:25: Using cons for int and long\n"},
      {"%type <List<int>> ?a?\n%type <List<long>> ?b?\n%%\n%%\nl = ?a? ?b? <cons($1, $2)> ;\n",
       ":5:25: Using cons() for List<int> and List<long>\n"},
      {"%type <int> ?a?\n%type <List<long>> ?b?\n%%\n%%\nl = ?a? ?b? <cons($1, $2)> ;\n",
       ":5:25: Using cons() for int and List<long>\n"},
      {"%type <int> e\n%%\n%%\ne = 'x' <long(1)> ;\n", "Types attributes e is different: int <- long\n"},
      {"%%\n%%\ne = x <n($1)> ;\nx = 'x' ;\n", "Type of n is undefined\n"},
      // A node is the value of a domain only.
      {"%type <int> r\n%%\n%%\nr = 'a' <n(1)> ;\n", ":4:13: Type of node can't assign to int\n"},
      {"%type <List<E>> r\n%%\n%%\nr = 'a' <n(1)> | r 'b' ;\n",
       ":4:13: Type of node can't assign to List<E>\n"},
      {"%type <E> n(int)\n%type <int> ?x?\n%%\nx ?x? <n(1)>\n%%\ns = ?x? ;\n",
       ":4:11: Type of node can't assign to int\n"},
      // Rule values that no type declares, and lists without types.
      {"%type <int> ?n?\n%%\n[0-9]+ ?n? <atoi(yytext)>\n%%\ns = ?n? <m> | 'x' ;\n",
       ":5:10: Type of s is undefined\n"},
      {"%%\n%%\ns = a a <cons($1,$2)> ;\na = 'x' ;\n", ":3:20: Type of s is undefined\n"},
      // What the lexer writer cannot translate.
      {"%%\na %{ $$ = 1; %}\n%%\ns = 'x' ;\n", ":2:7: Can't use $$ without typed return terminal\n"},
      {"%type <E> k() s\n%%\n%%\ns = 'x' <k()> ;\n%%\nvisitor v<F, int> { visit k: return 1; }\n",
       ":6:40: Domain F don't exist\n"},
      // A visitor outside the code section.
      {"%type <E> k() s\n%code h %{ visitor v<E, int> { visit k: return 1; } %}\n%%\n%%\ns = 'x' <k()> ;\n",
       ":2:51: Can't define visitor at this point\n"},
      // The nodes of a used tree have no range.
      {"%using b\n%option locations noyyinterpret\n%%\n%%\ns = 'x' ;\n%%\nvoid f(E e) { match e { rule k: @$; } }\n",
       ":7:34: Can't use @$ without rule or locations option\n"},
      {"%%\nR\"()\" ?t?\n%%\ns = ?t? ;\n", ":2:9: Empty pattern\n"},
      {"E R\"x()x\"\n%%\nx ?t?\n%%\ns = ?t? ;\n", ":1:4: Empty pattern\n"},
      // Patterns as the scanner generator reads them from the ".lex", named
      // patterns pasted in; those of "%code lex" at their line.
      {"%%\n\"\" ?t?\n%%\ns = ?t? ;\n", ":2:6: Empty pattern\n"},
      {"%%\nx ;\n(\"\"|a) ?t?\n%%\ns = ?t? ;\n", ":3:10: Bad pattern: empty alternative: write (a)? rather than (a|)\n"},
      {"%%\n[a- ?t?\n%%\ns = ?t? ;\n", ":2:7: Bad pattern: unterminated character class in pattern\n"},
      {"%%\n<ST>(ab ?t?\n%%\ns = ?t? ;\n", ":2:11: Bad pattern: unbalanced ( in pattern\n"},
      {"%%\na/b/c ?t?\n%%\ns = ?t? ;\n", ":2:9: Bad pattern: trailing context used twice\n"},
      {"D [0-9]\n%%\n{D}+{E} ?t?\n%%\ns = ?t? ;\n", ":3:11: Bad pattern: undefined named pattern {E}\n"},
      {"D a/b\n%%\n{D} ?t?\n%%\ns = ?t? ;\n", ":1:6: Bad pattern: trailing context in a named pattern\n"},
      {"%code lex %{\nD  [0-9]\n  int x;\nE  (a\n%}\n%%\n{D} ?t?\n%%\ns = ?t? ;\n",
       ":4:1: Bad pattern: unbalanced ( in pattern\n"},
      {"%code lex %{ D [0-9] %}\nE {D}\n%%\n{E}{F} ?t?\n%%\ns = ?t? ;\n",
       ":4:10: Bad pattern: undefined named pattern {F}\n"},
      // Nothing but an empty alternative among the others of its state.
      {"%%\n(?#x) ?t?\n%%\ns = ?t? ;\n", ":2:9: Empty pattern\n"},
      {"%%\n\\Q\\E ?t?\n%%\ns = ?t? ;\n", ":2:8: Empty pattern\n"},
      // Names that the ".lex" would define twice.
      {"%code lex %{ D [a-z] %}\nD [0-9]\n%%\n{D} ?t?\n%%\ns = ?t? ;\n",
       ":2:8: Redefined named pattern D\n"},
      {"%code lex %{\n%s ST\n%}\n%%\n<ST>a ?t?\n%%\ns = ?t? ;\n", ":2:1: Redefined start state ST\n"},
      // Start states that would clash with C++ in the scanner.
      {"%%\n<INITIAL,int>a ?t?\n%%\ns = ?t? ;\n", ":2:18: Start state int is a reserved name\n"},
      {"%%\n<AB>a ?t?\n<EOF>b ;\n", ":3:8: Start state EOF is a reserved name\n"},
      {"%%\n<_Q>a ;\n", ":2:7: Start state _Q is a reserved name\n"},
      {"%%\n<AB,std>a ;\n", ":2:11: Start state std is a reserved name\n"},
      {"%%\n<yywrap>b ;\n", ":2:11: Start state yywrap is a reserved name\n"},
      {"%%\n<lines>b %{ start(lines); %}\n", ":2:28: Start state lines is a reserved name\n"},
      {"%code lex %{\n%x AB and\n%}\n%%\nx ;\n", ":2:1: Start state and is a reserved name\n"},
  };
  const std::string dir = scratch_folder("diagnostics");
  for (const Diagnostic& c : cases) {
    RunResult r = tarnel({}, c.input, dir);
    EXPECT_EQ(r.status, 1) << c.input;
    EXPECT_EQ(r.err, c.err) << c.input;
  }
  EXPECT_TRUE(names_in(dir).empty());
}

// A pattern that the scanners' run-time library refuses, in its own words
// (lexgen's or RE/flex's); the position is the rule's or the named pattern's.
TEST(Diagnostics, PatternsTheRunTimeRefuses) {
  const Diagnostic cases[] = {
      {"%%\n[z-a] ?t?\n%%\ns = ?t? ;\n", ":2:9: Bad pattern: "},
      {"%option case-insensitive\n%%\na{3,1} ?t?\n%%\ns = ?t? ;\n", ":3:10: Bad pattern: "},
      {"D [0-9]\nE a{2,1}\n%%\n{D} ?t?\n%%\ns = ?t? ;\n", ":2:9: Bad pattern: "},
  };
  for (const Diagnostic& c : cases) {
    RunResult r = tarnel({"-d9"}, c.input);
    EXPECT_EQ(r.status, 1) << c.input;
    EXPECT_EQ(r.err.substr(0, std::string(c.err).size()), c.err) << c.input;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST(Diagnostics, TypeTraceComesBeforeTheMessage) {
  RunResult r = tarnel({"-d3"}, "%%\n%%\ne = x <n($1)> ;\nx = 'x' ;\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "n(1):  <- \nx:  <- ?\nAssigned types:\nn(): \n'x': \ne: \nerror: \nx: ?\n"
            "Union:\n");
  EXPECT_EQ(r.err, "Type of n is undefined\n");
}

TEST(Warnings, ProcessingGoesOn) {
  const std::string dir = scratch_folder("warnings");
  RunResult r = tarnel({"-d9"}, "%type <int> s ?n?\n%%\n%%\ns = s ',' s | '+' ?n? %{ $$ = $1 + $2; %} ;\n", dir);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "Warning: ambiguity rule for s to select value by default, write direct action\n"
            "Warning: ref to terminal '+' with undefined type\n");
  // A one-letter start state (once); code that an untyped start rule never
  // hands a tree to.
  const std::string lexer = "%%\n<Q>a ;\n<QR>b ;\n<Q>c ;\n%%\n";
  r = tarnel({}, lexer + "s = 'x' ;\n%%\nint n;\n", dir);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "Warning: start state Q is one letter long, which breaks the scanner with RE/flex\n"
            "Warning: start rule s has no value type, yyinterpret isn't called\n");
  for (const char* quiet : {"%%\n%%\ns = 'x' ;\n", "%%\n%%\ns = 'x' <1> ;\n%%\nint n;\n",
                            "%%\n%%\ns = ?YYEOF? 'x' ;\n",
                            "%option noyyinterpret\n%%\n%%\ns = 'x' ;\n%%\nint n;\n"}) {
    r = tarnel({"-d9"}, quiet, dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "") << quiet;
  }
}

// A UTF-8 byte-order mark at the start of a description is skipped.
TEST(Input, ByteOrderMarkIsSkipped) {
  RunResult r = tarnel({"-d9"}, "\xef\xbb\xbf%%\nabc ;\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
}

TEST(OutputFiles, NamesFromPrefixAndBaseName) {
  const std::string dir = scratch_folder("files");
  mkdir((dir + "/in").c_str(), 0700);
  mkdir((dir + "/out").c_str(), 0700);
  const std::string calc = read_file(std::string(EXAMPLES_DIR) + "/calc.tn");
  write_file(dir + "/in/calc.y", calc);
  RunResult r = tarnel({"-oout/", "in/calc.y"}, "", dir);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(names_in(dir + "/out"), (std::set<std::string>{"calc.lex", "calc.grm", "calc.cpp", "calc.hpp"}));

  // No grammar rules: no grammar file; options leave out the lexer and the
  // grammar; the driver and the header are always written.
  write_file(dir + "/in/lex.tn", "%%\na ;\n");
  write_file(dir + "/in/nolex.tn", "%option noyylex\n%%\ns = 'a' ;\n");
  write_file(dir + "/in/noparse.tn", "%option noyyparse\n%%\n%%\ns = 'a' ;\n");
  write_file(dir + "/in/ast.tn", "%option ast\n%type <E> leaf()\n");
  RunResult o = tarnel({"-oout/x_", "in/lex.tn", "in/nolex.tn", "in/noparse.tn", "in/ast.tn"}, "", dir);
  EXPECT_EQ(o.status, 0) << o.err;
  std::set<std::string> out = names_in(dir + "/out");
  EXPECT_EQ(out, (std::set<std::string>{"calc.lex", "calc.grm", "calc.cpp", "calc.hpp", "x_lex.lex",
                                        "x_lex.cpp", "x_lex.hpp", "x_nolex.grm", "x_nolex.cpp",
                                        "x_nolex.hpp", "x_noparse.lex", "x_noparse.cpp",
                                        "x_noparse.hpp", "x_ast.cpp", "x_ast.hpp"}));
}

// The header's name must fit in the #include lines of the other files, and
// its guard must differ from that of a header with another name and from
// those of the run-time headers.
TEST(OutputFiles, HeaderNameAndGuard) {
  const std::string dir = scratch_folder("header_names");
  write_file(dir + "/q\"x.tn", "%%\na ;\n");
  RunResult r = tarnel({"q\"x.tn"}, "", dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Output file q\"x.hpp can't be named in #include\n");
  r = tarnel({"-oq\""}, "%%\na ;\n", dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Output file q\".hpp can't be named in #include\n");
  // A guard of the tree runtime or of the scanner's run-time headers.
  for (const char* name : {"asttypes", "AstTypes", "reflex-input"}) {
    write_file(dir + "/" + name + ".tn", "%%\na ;\n");
    r = tarnel({std::string(name) + ".tn"}, "", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Base name " + std::string(name) + " gives the header guard " +
                         (name[0] == 'r' ? "REFLEX_INPUT_H" : "ASTTYPES_H") + " of a run-time header\n");
    std::remove((dir + "/" + name + ".tn").c_str());
  }
  EXPECT_EQ(names_in(dir), (std::set<std::string>{"q\"x.tn"}));
  // Two names of Cyrillic letters.
  write_file(dir + "/\xd0\xb0.tn", "%%\na ;\n");
  write_file(dir + "/\xd0\xb1.tn", "%%\na ;\n");
  r = tarnel({"\xd0\xb0.tn", "\xd0\xb1.tn"}, "", dir);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_file(dir + "/\xd0\xb0.hpp").substr(0, 15), "#ifndef D0B0_H\n");
  EXPECT_EQ(read_file(dir + "/\xd0\xb1.hpp").substr(0, 15), "#ifndef D0B1_H\n");
}

// Line and column of the first `word` in `text` as a compiler sees them: a
// "#line N" directive names the line after it N. {0, 0} when it is missing.
std::pair<int, int> compiler_position(const std::string& text, const std::string& word) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    const std::size_t directive = line.find("#line ");
    if (directive != std::string::npos) {
      number = std::atoi(line.c_str() + directive + 6) - 1;
      continue;
    }
    const std::size_t at = line.find(word);
    if (at != std::string::npos) return {number, static_cast<int>(at) + 1};
  }
  return {0, 0};
}

// Compiler messages about action code point at its place in the description.
TEST(OutputFiles, LineDirectivesPointAtTheCode) {
  const std::string dir = scratch_folder("lines");
  const std::string description =
      "%type <int> ?num? s\n"
      "%%\n"
      "[0-9]+    ?num? <at_value(yytext)>\n"
      "x         %{ at_code(); return ?num?; %}\n"
      "y         {\n"
      "    at_next_line(); return ?num?; }\n"
      "%%\n"
      "s = ?num? <at_term> | '(' ?num? %{ at_action(); $$=$2; %} ;\n";
  write_file(dir + "/calc.tn", description);
  RunResult r = tarnel({"calc.tn"}, "", dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string lex = read_file(dir + "/calc.lex"), grm = read_file(dir + "/calc.grm");
  EXPECT_EQ(compiler_position(lex, "at_value"), std::make_pair(3, 18));
  EXPECT_EQ(compiler_position(lex, "at_code"), std::make_pair(4, 14));
  EXPECT_EQ(compiler_position(lex, "at_next_line"), std::make_pair(6, 5));
  EXPECT_EQ(compiler_position(grm, "at_term"), std::make_pair(8, 12));
  EXPECT_EQ(compiler_position(grm, "at_action"), std::make_pair(8, 36));
}

// Code sections written on one line end their line: what follows them must
// begin a line of its own.
TEST(OutputFiles, OneLineCodeSectionsEndTheirLine) {
  const std::string dir = scratch_folder("oneline");
  write_file(dir + "/calc.tn",
             "%option noline\n"
             "%code top %{ #include <vector> %}\n"
             "%code h %{ #include <map> %}\n"
             "%code bottom %{ #include <set> %}\n"
             "%code lex %{ %x EXTRA %}\n"
             "%code grm %{ %start s %}\n"
             "%%\n[a-z]+ ?w?\n%%\ns = { ?w? } ;\n");
  RunResult r = tarnel({"calc.tn"}, "", dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string hpp = read_file(dir + "/calc.hpp");
  EXPECT_NE(hpp.find(" #include <vector> \nusing namespace ast;\n"), std::string::npos) << hpp;
  EXPECT_NE(hpp.find(" #include <map> \n"), std::string::npos) << hpp;
  EXPECT_NE(hpp.find(" #include <set> \n#endif\n"), std::string::npos) << hpp;
  // A directive of the scanner description must begin its line.
  EXPECT_NE(read_file(dir + "/calc.lex").find("%}\n%x EXTRA \n%%\n"), std::string::npos);
  EXPECT_NE(read_file(dir + "/calc.grm").find(" %start s \n%token"), std::string::npos);
}

TEST(OutputFiles, UnwritableFileIsAnError) {
  const std::string dir = scratch_folder("unwritable");
  write_file(dir + "/calc.tn", "%%\n%%\ns = 'a' ;\n");
  RunResult r = tarnel({"-ono-such-dir/", "calc.tn"}, "", dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Can't write file no-such-dir/calc.lex\n");
  // A later file that cannot be written stops the run, and the earlier ones
  // of the description are not put in place either.
  mkdir((dir + "/calc.grm").c_str(), 0700);
  RunResult g = tarnel({"calc.tn"}, "", dir);
  EXPECT_EQ(g.status, 1);
  EXPECT_EQ(g.err, "Can't write file calc.grm\n");
  EXPECT_EQ(names_in(dir), (std::set<std::string>{"calc.grm", "calc.tn"}));
}

// No description and no earlier output is lost: an output that is a
// description of the run (by name, through a link or a linked folder, or one
// read later) is refused before anything is written; a fatal error found
// while writing, or a file that cannot be written whole, leaves the files of
// the last good run exactly as they were, with no temporary left; an output
// that is a link stays a link.
TEST(OutputFiles, InputsAndEarlierOutputsAreKept) {
  const std::string dir = scratch_folder("kept");
  const std::string good =
      "%type <E> num(int) s\n%type <int> ?n?\n%%\n[0-9]+ ?n? <int(std::stoi(yytext))>\n"
      "%%\ns = ?n? <num($1)> ;\n%%\nint f(E e) { match e { rule num(v): return v; } return 0; }\n";
  mkdir((dir + "/o").c_str(), 0700);
  symlink("o", (dir + "/lo").c_str());
  symlink("../g.tn", (dir + "/o/g.cpp").c_str());
  const char* const inputs[] = {"g.tn", "g.grm", "x.tn", "x.lex", "o/h.lex"};
  for (const char* name : inputs) write_file(dir + "/" + name, good);
  const struct {
    std::vector<std::string> args;
    const char* err;
  } refused[] = {
      {{"g.grm"}, "Output file g.grm is an input\n"},
      {{"-oo/", "g.tn"}, "Output file o/g.cpp is an input\n"},
      {{"-olo/", "o/h.lex"}, "Output file lo/h.lex is an input\n"},
      {{"x.tn", "x.lex"}, "Output file x.lex is an input\n"},
      {{"x.tn", "./x.grm"}, "Output file x.grm is an input\n"},
  };
  for (const auto& c : refused) {
    RunResult r = tarnel(c.args, "", dir);
    EXPECT_EQ(r.status, 1) << c.err;
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(names_in(dir), (std::set<std::string>{"g.grm", "g.tn", "lo", "o", "x.lex", "x.tn"}));
    EXPECT_EQ(names_in(dir + "/o"), (std::set<std::string>{"g.cpp", "h.lex"})) << c.err;
    for (const char* name : inputs) EXPECT_EQ(read_file(dir + "/" + name), good) << name;
  }

  const std::string run = scratch_folder("kept_run");
  mkdir((run + "/real").c_str(), 0700);
  symlink("real/g.lex", (run + "/g.lex").c_str());
  write_file(run + "/g.tn", good);
  ASSERT_EQ(tarnel({"g.tn"}, "", run).status, 0);
  struct stat st;
  EXPECT_TRUE(lstat((run + "/g.lex").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
  const char* const outputs[] = {"g.lex", "g.grm", "g.cpp", "g.hpp"};
  std::map<std::string, std::string> written;
  for (const char* name : outputs) written[name] = read_file(run + "/" + name);
  EXPECT_NE(written["g.lex"], "");
  auto edited = [&good](const std::string& from, const std::string& to) {
    std::string text = good;
    return text.replace(text.find(from), from.size(), to);
  };
  const struct {
    std::string description;
    std::string command;  // run through the shell, "" to run tarnel itself
    const char* err;
  } failing[] = {
      {edited("rule num(v)", "rule num(v, w)"), "", "g.tn:8:49: Node num' args can't matched\n"},
      {edited("<num($1)>", "%{ $$ = num($3); %}"), "", "g.tn:6:22: $3 don't exist\n"},
      // The scanner code makes the first file larger than the limit.
      {"%code lex %{ /*" + std::string(3000, 'x') + "*/ %}\n" + good, "ulimit -f 2; exec \"$0\" g.tn",
       "Can't write file g.lex\n"},
      // Standard output a pipe whose reader stops after one byte.
      {"%code h %{ const char* big = \"" + std::string(1 << 20, 'x') + "\"; %}\n" + good,
       "rm g.hpp; ln -s /dev/stdout g.hpp; mkfifo p; head -c1 p >/dev/null & exec >p; rm p; exec \"$0\" g.tn",
       "Can't write file g.hpp\n"},
      {good, "rm g.hpp; ln -s /dev/full g.hpp; exec \"$0\" g.tn", "Can't write file g.hpp\n"},
  };
  for (const auto& c : failing) {
    write_file(run + "/g.tn", c.description);
    RunResult r = c.command.empty() ? tarnel({"g.tn"}, "", run)
                                    : run_program("/bin/sh", {"-c", c.command, TARNEL_EXE}, run);
    EXPECT_EQ(r.status, 1) << c.err;
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(names_in(run), (std::set<std::string>{"g.cpp", "g.grm", "g.hpp", "g.lex", "g.tn", "real"}));
    EXPECT_EQ(names_in(run + "/real"), std::set<std::string>{"g.lex"});
    for (const char* name : {"g.lex", "g.grm", "g.cpp"}) EXPECT_EQ(read_file(run + "/" + name), written[name]) << name;
  }
  EXPECT_EQ(read_file(run + "/g.tn"), good);
}

}  // namespace
