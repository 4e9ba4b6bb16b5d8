// Type inference: unification, typing of texts, the lexer section and the
// grammar with its worklist, union members and use flags.
#include <gtest/gtest.h>

#include "collect.hpp"
#include "driver.hpp"
#include "options.hpp"
#include "parse_text.hpp"
#include "tables.hpp"
#include "types.hpp"

namespace {

TEST(AssignType, MarksAccumulateAndBaseTypesMustAgree) {
  set_input("");
  domains["Expr"];
  struct Case {
    const char *cur, *add, *result;
  } cases[] = {{"int", "?", "int?"},       {"Expr", "?", "Expr"},        {"List<Expr>", "?", "List<Expr>"},
               {"?", "int", "int?"},       {"?", "Expr", "Expr"},        {"int", "int?", "int?"},
               {"int?", "int", "int?"},    {"", "long", "long"},         {"", "?", "?"},
               {"char", "", "char"},       {"int?", "?", "int?"}};
  for (const Case& c : cases) {
    std::string cur = c.cur;
    assign_type(cur, c.add, "x");
    EXPECT_EQ(cur, c.result) << c.cur << " <- " << c.add;
  }
}

TEST(TypeArg, LiteralsNumbersWordsAndCalls) {
  set_input("");
  domains["Expr"];
  nodes.emplace("num", nodeinfo(2));
  nodes["num"].node_types[0] = "Expr";
  add_constant("PI", "double");
  struct Case {
    const char *text, *type;
  } cases[] = {{"'a'", "char"},          {"\"s\"", "std::string"},   {"12", "int"},
               {"1'000", "int"},         {"12l", "long"},            {"10lu", "long"},
               {"12ll", "int64_t"},      {"10LL", "int"},            {"0x1F", "int"},
               {"1e9", "double"},        {"1.5f", "double"},         {"yytext[0]", "char"},
               {"YYText()", "std::string"}, {"std::string(yytext)", "std::string"},
               {"int(yytext[0])", "int"}, {"nullptr", "?"},          {"Expr", "Expr"},
               {"num(yytext)", "Expr"},  {"leaf()", ""},             {"PI", "double"},
               {"-1", ""},               {"$$", ""},                 {"R\"(x)\"", ""},
               {"", ""}};
  for (const Case& c : cases)
    EXPECT_EQ(type_arg(c.text, nullptr, "t", 0, nullptr, true), c.type) << c.text;
}

TEST(TypeArg, ReferencesToTerminalsAndRules) {
  set_input("");
  domains["Expr"];
  add_symbol("','", "std::string");
  add_symbol("r", "Expr");
  add_symbol("u", "");
  ast::List<ast::Gelem_domain*> elems = {ast::trmelem("\",\"", ""), ast::symelem("r", ""),
                                         ast::symelem("u", "")};
  EXPECT_EQ(type_arg("$1.size()", elems, "s", 0, nullptr, true), "std::string");
  EXPECT_EQ(type_arg("cons($2)", elems, "node", 1, nullptr, true), "List<Expr>");
  EXPECT_EQ(type_arg("cons($3)", elems, "node", 2, nullptr, true), "");
  EXPECT_EQ(symbols["u"].uses, (std::vector<std::pair<std::string, int>>{{"node", -2}}));
  EXPECT_EQ(type_arg("$3", elems, "s", 0, nullptr, true), "");
  EXPECT_EQ(linked_symbol, "u");
  EXPECT_EQ(symbols["s"].links, (std::vector<std::pair<std::string, int>>{{"u", 0}}));
  symbols["r"].type = "List<Expr>";
  EXPECT_EQ(type_arg("cons($2)", elems, "node", 1, nullptr, true), "List<Expr>");
  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += "cons(";
  deep += "$2" + std::string(20000, ')');
  EXPECT_EQ(type_arg(deep, elems, "node", 1, nullptr, true), "List<Expr>");
  ast::destroy(elems);
}

TEST(LexerTypes, ReturnedTerminalsAndValueTerms) {
  with_tree("%type <Expr> ?e?\n%type <int> ?i?\n%type <string>\n%%\n"
            "a %{ $$ = 1; return ?n?; %}\n"
            "b %{ return ?i?; return ?u?; %}\n"
            "c ?e? <num(yytext)>\n"
            "d ?s? <yytext>\n",
            [](ast::prog_node* p) {
              collect_decls(p->f1_);
              calc_types(p->f2_);
              EXPECT_EQ(symbols["?n?"].type, "std::string");
              EXPECT_EQ(symbols["?i?"].type, "int?");
              EXPECT_EQ(symbols["?u?"].type, "?");
              EXPECT_EQ(nodes["num"].node_types, (std::vector<std::string>{"Expr", "std::string"}));
              EXPECT_EQ(domains["Expr"].node_set, (std::set<std::string>{"num"}));
              EXPECT_EQ(symbols["?s?"].type, "std::string");
            });
}

// The grammar typed after rewriting, with the trace of debug level 3.
std::string typed(const std::string& text) {
  std::string trace;
  testing::internal::CaptureStderr();
  with_rewritten(text, [&](ast::prog_node* p) {
    testing::internal::CaptureStdout();
    yydebug_flag = 3;
    calc_types(p->f3_);
    yydebug_flag = 0;
    trace = testing::internal::GetCapturedStdout();
  });
  testing::internal::GetCapturedStderr();
  return trace;
}

std::string section(const std::string& trace, const std::string& from) {
  auto at = trace.find(from);
  return at == std::string::npos ? "" : trace.substr(at);
}

TEST(GrammarTypes, NodeFieldsAndResultsByPropagation) {
  std::string t = typed("%type <Expr> expr\n%type <int> ?n?\n%%\n%%\n"
                        "expr = expr '+' expr <add($1,$3)> | ?n? <leaf($1)> ;\n");
  EXPECT_NE(t.find("Step 1:\nexpr: Expr\n@ expr Expr\n"), std::string::npos) << t;
  EXPECT_EQ(t.find("Step 2:"), std::string::npos);
  EXPECT_EQ(section(t, "Assigned types:"),
            "Assigned types:\nadd(Expr, Expr): Expr\nleaf(int): Expr\n'+': \n?n?: int\n"
            "error: \nexpr: Expr\nUnion:\nExpr 2\nint 1\n");
  EXPECT_EQ(domains["Expr"].node_set, (std::set<std::string>{"add", "leaf"}));
  EXPECT_EQ(nodes["add"].node_names, (std::vector<std::string>{"expr"}));
}

TEST(GrammarTypes, ListsFlowToRulesWithoutDeclaredTypes) {
  std::string t = typed("%type <Expr> item ?e?\n%%\n%%\n"
                        "items = item <cons($1)> | items item <cons($1,$2)> ;\nitem = ?e? ;\n"
                        "pre = ?e? tail <cons($1,$2)> ;\ntail = ?e? <cons($1)> ;\n");
  EXPECT_EQ(symbols["items"].type, "List<Expr>");
  EXPECT_EQ(symbols["pre"].type, "List<Expr>");
  EXPECT_EQ(symbols["tail"].type, "List<Expr>");
  EXPECT_EQ(uselist_flag, 1);
  EXPECT_NE(t.find("Step 2:\nitems: List<Expr>\n"), std::string::npos) << t;
}

TEST(GrammarTypes, AbsentValuesAndUnionMembers) {
  typed("%type <int> n m ?i?\n%type <string> s ?t?\n%%\n%%\n"
        "n = ?i? | ;\nm = ?i? ;\ns = ?t? ;\nq = 'q' ;\nc = 'c' %{ $$ = 1; %} ;\n");
  EXPECT_EQ(symbols["n"].type, "int?");
  EXPECT_EQ(symbols["q"].type, "?");
  EXPECT_EQ(symbols["c"].type, "int");
  EXPECT_EQ(union_fields, (std::map<std::string, int>{{"int", 1}, {"int?", 3}, {"std::string", 2}}));
  EXPECT_EQ(usevalue_flag, 1);
  EXPECT_EQ(usestring_flag, 1);
  EXPECT_EQ(uselist_flag, 0);
}

TEST(GrammarTypes, ListOfAGroupAndAnElement) {
  // items gets the default action cons(cons($1),$2): the optional group's
  // rule holds an element, items a list of them, and every dependency pair
  // names a node kind. An untyped element in front of a typed list gets the
  // list's element type.
  typed("%type <Expr> item ?e?\n%type <List<Expr>> ?l? top\n%%\n%%\n"
        "top = items ;\nitems = [ item ] item ;\nitem = ?e? ;\n"
        "front = x ?l? <cons($1,$2)> ;\nx = ?e? ;\n");
  EXPECT_EQ(symbols["items"].type, "List<Expr>");
  EXPECT_EQ(symbols["items_opt"].type, "Expr");
  EXPECT_EQ(symbols["front"].type, "List<Expr>");
  EXPECT_EQ(symbols["x"].type, "Expr");
  for (const auto& s : symbols)
    for (const auto& use : s.second.uses) {
      ASSERT_EQ(nodes.count(use.first), 1u) << s.first;
      EXPECT_LT(static_cast<std::size_t>(std::abs(use.second)), nodes[use.first].node_types.size());
    }
}

}  // namespace
