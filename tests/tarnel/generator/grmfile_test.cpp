#include <sstream>

#include <gtest/gtest.h>

#include "options.hpp"
#include "tables.hpp"
#include "writers.hpp"
#include "writers_support.hpp"

namespace {

void symbol(const std::string& text, const std::string& altname, int uid, const std::string& type) {
  symbolinfo& s = symbols[text];
  s.altname = altname;
  s.uid = uid;
  s.type = type;
}

ast::Gelem_domain* t(const char* text) { return ast::trmelem(text, ""); }
ast::Gelem_domain* s(const char* name) { return ast::symelem(name, ""); }

ast::List<ast::Gelem_domain*> elems(std::initializer_list<ast::Gelem_domain*> list) {
  ast::List<ast::Gelem_domain*> l = nullptr;
  for (ast::Gelem_domain* e : list) l = ast::cons(l, e);
  return l;
}

ast::Gaction_domain* term(const char* name, std::initializer_list<const char*> args,
                          YYLTYPE loc = wt::at(1, 1, 1)) {
  return ast::gterm(ast::tnode(name, wt::strings(args), nullptr, &loc));
}
ast::Gaction_domain* ref(const char* text) { return ast::gterm(ast::snode(text)); }

ast::Grule_domain* rule(const char* name, std::initializer_list<ast::Xrule_domain*> alts) {
  ast::List<ast::Xrule_domain*> l = nullptr;
  for (ast::Xrule_domain* a : alts) l = ast::cons(l, a);
  return ast::grmrule(name, l);
}

ast::List<ast::Grule_domain*> grammar(std::initializer_list<ast::Grule_domain*> rules) {
  ast::List<ast::Grule_domain*> l = nullptr;
  for (ast::Grule_domain* r : rules) l = ast::cons(l, r);
  return l;
}

class GrmFile : public wt::FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    for (const char* c : {"'('", "')'", "'+'", "';'", "'='"}) symbol(c, c, 0, "");
    symbol("\"let\"", "\"let\"", 1001, "");
    symbol("?id?", "\"?id?\"", 1002, "std::string");
    symbol("?num?", "\"?num?\"", 1003, "int");
    symbol("error", "error", 0, "");
    symbol("expr", "expr", 0, "Expr");
    symbol("name", "name", 0, "std::string");
    symbol("opt", "opt", 0, "int?");
    symbol("prog", "prog", 0, "List<Stmt>");
    symbol("stmt", "stmt", 0, "Stmt");
    union_fields = {{"Expr", 3}, {"List<Stmt>", 5}, {"Stmt", 6},
                    {"int", 2},  {"int?", 4},       {"std::string", 1}};
    nodes["add"].node_types = {"Expr", "Expr", "Expr"};
    nodes["num"].node_types = {"Expr", "int"};
    nodes["var"].node_types = {"Expr", "std::string"};
    nodes["var"].user_factory = true;
    nodes["named"].node_types = {"Expr", "std::string?"};
    nodes["let"].node_types = {"Stmt", "std::string", "Expr"};
  }
};

TEST_F(GrmFile, ActionsAndTheValuesTheyFree) {
  expect_flag = 0;
  wt::owned<ast::List<ast::Code_domain*>> grm_code{wt::code({"%start prog\n"})};
  grmcode = grm_code.value;
  ast::List<ast::Code_domain*> print = nullptr;
  print = ast::cons(print, wt::piece(" print(", 9, 3));
  print = ast::cons(print, wt::piece("$1", 9, 10));
  print = ast::cons(print, wt::piece("); ", 9, 12));
  wt::owned<ast::List<ast::Grule_domain*>> grm{grammar({
      rule("prog", {ast::xrule(elems({s("prog"), s("stmt")}), term("cons", {"$1", "$2"})),
                    ast::xrule(nullptr, ast::gempty())}),
      rule("stmt", {ast::xrule(elems({t("\"let\""), s("name"), t("'='"), s("expr")}),
                               term("let", {"$2", "$4"})),
                    ast::xrule(elems({s("expr"), t("';'")}), ast::gcode(print))}),
      rule("expr", {ast::xrule(elems({s("expr"), t("'+'"), s("expr")}),
                               term("add", {"$1", "$3"}, wt::at(14, 30, 40))),
                    ast::xrule(elems({t("?num?")}), term("num", {"$1"})),
                    ast::xrule(elems({t("?id?")}), term("var", {"$1"})),
                    ast::xrule(elems({t("'('"), s("expr"), t("')'")}), ref("$2")),
                    ast::xrule(elems({s("name")}), term("named", {"$1"}))}),
      rule("name", {ast::xrule(elems({t("?id?")}), ref("$1")),
                    ast::xrule(elems({t("?id?"), t("\"+\""), t("?id?")}),
                               ast::gcode(wt::code({" ", "$$", "=", "$1", "; ast::destroy(", "$3",
                                                    "); "})))}),
      rule("opt", {ast::xrule(elems({t("?num?")}), ref("$1")), ast::xrule(nullptr, ast::gempty())}),
  })};
  std::ostringstream out;
  create_grmfile(out, "calc", grm);
  EXPECT_TRUE(wt::matches_file(out.str(), "calc.grm"));
  EXPECT_EQ(root_tip, "List<Stmt>");
  EXPECT_EQ(gen_mode, 2);
}

TEST_F(GrmFile, LocationsAndTheStartSymbol) {
  locations_flag = 2;
  astprint_flag = 0;
  symbol("expr2", "expr2", 0, "Expr");
  symbol("'-'", "'-'", 0, "");
  nodes["num"].user_factory = true;
  wt::owned<ast::List<ast::Grule_domain*>> grm{grammar({
      rule("expr", {ast::xrule(elems({s("expr"), t("'+'"), s("expr2")}), term("add", {"$1", "$3"})),
                    ast::xrule(elems({s("expr2")}), ref("$1"))}),
      rule("expr2", {ast::xrule(elems({t("'-'")}), ast::gempty()),
                     ast::xrule(elems({t("?id?")}), ast::gcode(wt::code({"$$", "=0;"}))),
                     ast::xrule(elems({t("?num?")}), term("num", {"$1"}))}),
  })};
  std::ostringstream out;
  create_grmfile(out, "calc", grm);
  const std::string text = out.str();
  EXPECT_EQ(text.substr(0, 11), "%locations\n");
  EXPECT_EQ(text.find("%expect"), std::string::npos);
  EXPECT_NE(text.find("\n%{\n#include \"calc.hpp\"\n\n#define YYLLOC_DEFAULT(Current, Rhs, N)       "
                      "                 \\\n    do {"),
            std::string::npos);
  EXPECT_NE(text.find("\n          (Current).first = (Current).last = YYRHSLOC (Rhs, 0).last; \\\n"
                      "        }                                                      \\\n"
                      "      yyclear_attr(yyval);                                     \\\n"
                      "    } while (0)\n%}\n"),
            std::string::npos);
  // The start symbol's own destructor hands the value on; the other symbols
  // of its type are freed by name.
  EXPECT_NE(text.find("%destructor { YYINTERPRET($$); ast::destroy($$); } expr\n"
                      "%destructor { ast::destroy($$); } expr2\n"
                      "%destructor { ast::destroy($$); } <f5_>\n"
                      "%destructor { ast::destroy($$); } <f6_>\n"
                      "%destructor { destroy($$); } <f1_>\n%%\n"),
            std::string::npos);
  EXPECT_NE(text.find("expr\t: expr '+' expr2\t{$$=ast::add($1,$3,&@$);\n }\n"
                      "\t| expr2\t{$$=$1;\n }\n\t;\n"
                      "expr2\t: '-'\n"
                      "\t| \"?id?\"\t{$$=0; destroy($1); }\n"
                      // A factory of the user's that may refuse, with nothing to free.
                      "\t| \"?num?\"\t{$$=ast::num($1,&@$);\n if(!$$) YYERROR;\n }\n\t;\n%%\n"),
            std::string::npos);
}

TEST_F(GrmFile, StartSymbolsOfOtherTypes) {
  main_flag = 0;
  symbol("top", "top", 0, "std::string?");
  union_fields["std::string?"] = 7;
  wt::owned<ast::List<ast::Grule_domain*>> grm{
      grammar({rule("top", {ast::xrule(elems({t("?id?")}), ref("$1"))})})};
  std::ostringstream out;
  create_grmfile(out, "calc", grm);
  EXPECT_NE(out.str().find("%destructor { YYINTERPRET($$); destroy($$); } top\n"),
            std::string::npos);
  EXPECT_EQ(root_tip, "std::string?");

  symbol("top", "top", 0, "int?");
  out.str("");
  create_grmfile(out, "calc", grm);
  EXPECT_NE(out.str().find("%destructor { YYINTERPRET($$); } top\n"), std::string::npos);

  symbol("top", "top", 0, "?");
  out.str("");
  create_grmfile(out, "calc", grm);
  EXPECT_EQ(out.str().find("YYINTERPRET"), std::string::npos);
  EXPECT_EQ(root_tip, "");
}

}  // namespace
