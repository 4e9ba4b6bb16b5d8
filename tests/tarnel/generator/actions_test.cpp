#include <sstream>

#include <gtest/gtest.h>

#include "actions.hpp"
#include "options.hpp"
#include "tables.hpp"
#include "writers_support.hpp"

using wt::fatal_message;

namespace {

class Actions : public wt::FileTest {
 protected:
  // One reference translated at node number k with n fields, reported at
  // line 3, columns 5 to 6.
  static std::string ref(const std::string& r, int k, int n) {
    std::ostringstream out;
    YYLTYPE loc = wt::at(3, 5, 6);
    gen_coderef(out, r, k, n, &loc);
    return out.str();
  }

  static void declare_nodes() {
    nodes["num"].node_types = {"Expr", "int"};
    nodes["add"].node_types = {"Expr", "Expr", "Expr"};
    nodes["leaf"].node_types = {"Expr"};
    nodes["opt"].node_types = {"Expr", "int"};
    nodes["opt"].user_factory = true;
    domains["Expr"].node_set = {"add", "leaf", "num", "opt"};
  }
};

TEST_F(Actions, ReferencesInUserCode) {
  gen_mode = 0;
  EXPECT_EQ(ref("$2", 2, 3), "_node2->f2_");
  EXPECT_EQ(ref("$$", 2, 3), "(*_node2)");
  EXPECT_EQ(ref("$0", 0, 0), "$0");
  EXPECT_EQ(ref("$x", 0, 0), "$x");
  EXPECT_EQ(ref("x$1", 0, 0), "x$1");
  EXPECT_EQ(fatal_message([] { ref("$$", 0, 0); }), "3:6: Can't use $$ without rule");
  EXPECT_EQ(fatal_message([] { ref("$1", 0, 0); }), "3:6: $1 don't exist");
  EXPECT_EQ(fatal_message([] { ref("$4", 2, 3); }), "3:6: $4 don't exist");
  // @$ needs a matched node and full source ranges.
  EXPECT_EQ(fatal_message([] { ref("@$", 2, 0); }),
            "3:6: Can't use @$ without rule or locations option");
  locations_flag = 2;
  EXPECT_EQ(ref("@$", 2, 0), "(_node2->yyloc)");
  EXPECT_EQ(fatal_message([] { ref("@$", 0, 0); }),
            "3:6: Can't use @$ without rule or locations option");
}

TEST_F(Actions, ReferencesInLexerAndGrammarActions) {
  gen_mode = 1;
  return_field = 4;
  EXPECT_EQ(ref("$$", 0, 0), "yylval.f4_");
  EXPECT_EQ(fatal_message([] { ref("$1", 0, 0); }), "3:6: $1 don't exist");
  EXPECT_EQ(fatal_message([] { ref("@$", 0, 0); }),
            "3:6: Can't use @$ without rule or locations option");
  locations_flag = 2;
  EXPECT_EQ(ref("@$", 0, 0), "(yylloc)");

  gen_mode = 2;
  EXPECT_EQ(ref("$$", 0, 2), "$$");
  EXPECT_EQ(ref("$2", 0, 2), "$2");
  EXPECT_EQ(ref("@$", 0, 2), "@$");
  EXPECT_EQ(fatal_message([] { ref("$3", 0, 2); }), "3:6: $3 don't exist");
  locations_flag = 0;
  EXPECT_EQ(fatal_message([] { ref("@$", 0, 2); }),
            "3:6: Can't use @$ without rule or locations option");
}

TEST_F(Actions, NumbersBeyondAnIntNameNoElement) {
  gen_mode = 2;
  EXPECT_EQ(fatal_message([] { ref("$99999999999", 0, 5); }), "3:6: $99999999999 don't exist");
  EXPECT_EQ(fatal_message([] { ref("$4294967297", 0, 5); }), "3:6: $4294967297 don't exist");
  EXPECT_EQ(fatal_message([] { ref("$2147483648", 0, 5); }), "3:6: $2147483648 don't exist");
  gen_mode = 0;
  EXPECT_EQ(fatal_message([] { ref("$18446744073709551617", 1, 100); }),
            "3:6: $18446744073709551617 don't exist");
}

TEST_F(Actions, LineDirectives) {
  std::ostringstream out;
  show_line(out, 5, 4);
  EXPECT_EQ(out.str(), "\n\t#line 5 \"calc.tn\"\n   ");
  out.str("");
  show_line(out, 5, 1);
  show_line(out, 6, 0);
  EXPECT_EQ(out.str(), "\n\t#line 5 \"calc.tn\"\n\n\t#line 6 \"calc.tn\"\n ");
  out.str("");
  show_line(out, 1, 9);
  EXPECT_EQ(out.str(), "");
  line_flag = 0;
  show_line(out, 5, 4);
  EXPECT_EQ(out.str(), "");

  // The file name is a string literal of the generated code.
  line_flag = 1;
  yyinputfile = "dir\\a\"b.tn";
  show_line(out, 2, 1);
  EXPECT_EQ(out.str(), "\n\t#line 2 \"dir\\\\a\\\"b.tn\"\n");
}

TEST_F(Actions, CodeListsBlocksAndTokens) {
  symbols["'+'"].altname = "'+'";
  symbols["\"==\""].altname = "\"==\"";
  symbols["\"==\""].uid = 1001;
  YYLTYPE loc = wt::at(4, 3, 5);
  wt::owned<ast::List<ast::Code_domain*>> inner{wt::code({" x=", "$$", "; "})};
  wt::owned<ast::List<ast::Code_domain*>> list{nullptr};
  list.value = ast::cons(list.value, wt::piece(" if(t==", 4, 3));
  list.value = ast::cons(list.value, ast::token("'=='", &loc));
  list.value = ast::cons(list.value, ast::token("\"+\"", &loc));
  list.value = ast::cons(list.value, ast::pcode(inner.value));
  inner.value = nullptr;

  std::ostringstream out;
  gen_mode = 2;
  gen_code_line(out, list, 0, 0);
  EXPECT_EQ(out.str(), "\n\t#line 4 \"calc.tn\"\n   if(t==(1001)('+'){ x=$$; }");
  out.str("");
  gen_code_line(out, nullptr, 0, 0);
  EXPECT_EQ(out.str(), "");

  wt::owned<ast::List<ast::Code_domain*>> missing{ast::cons(ast::token("'-'", &loc))};
  EXPECT_EQ(fatal_message([&] { gen_code(out, missing, 0, 0); }), "4:5: '-' isn't used in rules");
}

TEST_F(Actions, MatchTestsTheKindsInOrder) {
  declare_nodes();
  YYLTYPE loc = wt::at(7, 3, 40);
  wt::owned<ast::List<ast::Code_domain*>> list{ast::cons(ast::mcode(
      wt::strings({"$1"}),
      ast::cons(ast::cons(ast::mrule(ast::node1("num"), wt::code({" v=", "$1", "; "}), &loc)),
                ast::mrule(ast::node2("add", wt::strings({"l", "r"})), wt::code({" v=0; "}), &loc)),
      &loc))};
  std::ostringstream out;
  gen_mode = 2;
  gen_code(out, list, 0, 1);
  EXPECT_EQ(out.str(),
            "{ auto &_match1=$1;\n"
            "if(auto _node1=dynamic_cast<num_node *>(_match1)) {\n"
            " v=_node1->f1_; }\n"
            "else if(auto _node1=dynamic_cast<add_node *>(_match1)) {\n"
            "  auto &l=_node1->f1_;\n"
            "  auto &r=_node1->f2_;\n"
            " v=0; }\n"
            "else { yyerror(\"calc.tn:7:40: Match error\"); }\n"
            "}\n"
            "\n\t#line 7 \"calc.tn\"\n" +
                std::string(39, ' '));
  EXPECT_EQ(gen_mode, 2);

  // No fallback without the option.
  matcherr_flag = 0;
  line_flag = 0;
  out.str("");
  gen_code(out, list, 0, 1);
  EXPECT_EQ(out.str().find("Match error"), std::string::npos);
  EXPECT_EQ(out.str().substr(out.str().size() - 10), " v=0; }\n}\n");
}

TEST_F(Actions, MatchNullAndDefaultBranches) {
  declare_nodes();
  line_flag = 0;
  YYLTYPE loc = wt::at(2, 1, 9);
  wt::owned<ast::List<ast::Code_domain*>> list{ast::cons(ast::mcode(
      wt::strings({"(", "e", ")"}),
      ast::cons(ast::cons(ast::mrule(ast::node1("nullptr"), wt::code({"a();"}), &loc)),
                ast::mrule(nullptr, wt::code({"b();"}), &loc)),
      &loc))};
  std::ostringstream out;
  gen_mode = 0;
  gen_code(out, list, 0, 0);
  EXPECT_EQ(out.str(),
            "{ auto &_match1=(e);\n"
            "if(_match1==nullptr) {\n"
            "a();}\n"
            "else  {\n"
            "b();}\n"
            "}\n");

  wt::owned<ast::List<ast::Code_domain*>> late{ast::cons(ast::mcode(
      wt::strings({"e"}),
      ast::cons(ast::cons(ast::mrule(ast::node1("leaf"), nullptr, &loc)),
                ast::mrule(ast::node1("nullptr"), nullptr, &loc)),
      &loc))};
  EXPECT_EQ(fatal_message([&] { gen_code(out, late, 0, 0); }),
            "2:9: rule nullptr should be first in match");
}

TEST_F(Actions, MatchPatternChecks) {
  declare_nodes();
  line_flag = 0;
  YYLTYPE loc = wt::at(5, 2, 8);
  auto match_of = [&](ast::Node_domain* pattern, const char* body) {
    return ast::cons(ast::mcode(wt::strings({"e"}),
                                ast::cons(ast::mrule(pattern, wt::code({body}), &loc)), &loc));
  };
  std::ostringstream out;
  wt::owned<ast::List<ast::Code_domain*>> wrong{
      match_of(ast::node2("add", wt::strings({"l"})), "")};
  EXPECT_EQ(fatal_message([&] { gen_code(out, wrong, 0, 0); }), "5:8: Node add' args can't matched");
  wt::owned<ast::List<ast::Code_domain*>> unknown{match_of(ast::node1("mul"), "")};
  EXPECT_EQ(fatal_message([&] { gen_code(out, unknown, 0, 0); }), "5:8: Node mul don't exist");
  wt::owned<ast::List<ast::Code_domain*>> too_far{match_of(ast::node1("num"), "$2")};
  EXPECT_EQ(fatal_message([&] { gen_code(out, too_far, 0, 0); }), "1:2: $2 don't exist");

  // With other descriptions in use, an unknown kind is accepted: written by
  // name only it allows references up to $100, with names any count.
  add_using("base");
  wt::owned<ast::List<ast::Code_domain*>> far{match_of(ast::node1("mul"), "$100")};
  out.str("");
  gen_code(out, far, 0, 0);
  EXPECT_NE(out.str().find("dynamic_cast<mul_node *>(_match1)) {\n_node1->f100_}\n"),
            std::string::npos);
  wt::owned<ast::List<ast::Code_domain*>> beyond{match_of(ast::node1("mul"), "$101")};
  EXPECT_EQ(fatal_message([&] { gen_code(out, beyond, 0, 0); }), "1:4: $101 don't exist");
  wt::owned<ast::List<ast::Code_domain*>> names{
      match_of(ast::node2("mul", wt::strings({"a", "b", "c"})), "")};
  out.str("");
  gen_code(out, names, 0, 0);
  EXPECT_NE(out.str().find("  auto &c=_node1->f3_;\n"), std::string::npos);
}

TEST_F(Actions, NestedMatchesCountUp) {
  declare_nodes();
  line_flag = 0;
  matcherr_flag = 0;
  YYLTYPE loc = wt::at(2, 1, 9);
  ast::List<ast::Code_domain*> inner = ast::cons(ast::mcode(
      wt::strings({"$1"}), ast::cons(ast::mrule(ast::node1("num"), wt::code({"f(", "$1", ");"}), &loc)),
      &loc));
  wt::owned<ast::List<ast::Code_domain*>> outer{ast::cons(ast::mcode(
      wt::strings({"e"}), ast::cons(ast::mrule(ast::node1("num"), inner, &loc)), &loc))};
  std::ostringstream out;
  gen_mode = 0;
  gen_code(out, outer, 0, 0);
  EXPECT_EQ(out.str(),
            "{ auto &_match1=e;\n"
            "if(auto _node1=dynamic_cast<num_node *>(_match1)) {\n"
            "{ auto &_match2=_node1->f1_;\n"
            "if(auto _node2=dynamic_cast<num_node *>(_match2)) {\n"
            "f(_node2->f1_);}\n"
            "}\n"
            "}\n"
            "}\n");
}

TEST_F(Actions, VisitorsCollectTheirBodiesForTheDriver) {
  declare_nodes();
  line_flag = 0;
  YYLTYPE loc = wt::at(9, 1, 30);
  auto visitor = [&] {
    return ast::cons(ast::vcode(
        "calc", "Expr", "int", wt::code({" int depth; "}),
        ast::cons(ast::cons(ast::vrule(ast::node1("num"), wt::code({" return ", "$1", "; "}), &loc)),
                  ast::vrule(ast::node2("add", wt::strings({"l", "r"})),
                             wt::code({" return l->x; "}), &loc)),
        &loc));
  };
  wt::owned<ast::List<ast::Code_domain*>> list{visitor()};
  std::ostringstream out;
  gen_mode = 0;
  visitor_allowed = true;
  gen_code(out, list, 0, 0);
  EXPECT_EQ(out.str(),
            "struct calc_visitor:Expr_Tvisitor<int> {\n"
            " int depth; \n"
            "int visit(num_node*);\n"
            "int visit(add_node*);\n"
            "} calc;\n");
  EXPECT_EQ(vout.str(),
            "int calc_visitor::visit(num_node* _node1) {\n"
            " return _node1->f1_; }\n"
            "int calc_visitor::visit(add_node* _node1) {\n"
            "  auto &l=_node1->f1_;\n"
            "  auto &r=_node1->f2_;\n"
            " return l->x; }\n");
  EXPECT_EQ(visitor_flag, 2);

  // Only in user code outside any match, and only when visitors are allowed.
  gen_mode = 2;
  EXPECT_EQ(fatal_message([&] { gen_code(out, list, 0, 0); }),
            "9:30: Can't define visitor at this point");
  gen_mode = 0;
  EXPECT_EQ(fatal_message([&] { gen_code(out, list, 1, 0); }),
            "9:30: Can't define visitor at this point");
  wt::owned<ast::List<ast::Code_domain*>> in_match{ast::cons(ast::mcode(
      wt::strings({"e"}), ast::cons(ast::mrule(ast::node1("num"), visitor(), &loc)), &loc))};
  EXPECT_EQ(fatal_message([&] { gen_code(out, in_match, 0, 0); }),
            "9:30: Can't define visitor at this point");
  visitor_flag = 0;
  EXPECT_EQ(fatal_message([&] { gen_code(out, list, 0, 0); }), "9:30: Visitor is disabled");
  // Outside the code section.
  visitor_allowed = false;
  EXPECT_EQ(fatal_message([&] { gen_code(out, list, 0, 0); }),
            "9:30: Can't define visitor at this point");
}

TEST_F(Actions, ValueTerms) {
  declare_nodes();
  YYLTYPE loc = wt::at(6, 2, 12);
  wt::owned<ast::Term_domain*> add{ast::tnode("add", wt::strings({"$1", "$3"}), nullptr, &loc)};
  wt::owned<ast::Term_domain*> leaf{ast::tnode("leaf", nullptr, nullptr, &loc)};
  wt::owned<ast::Term_domain*> cons{ast::tnode("cons", wt::strings({"$1", "$2"}), nullptr, &loc)};
  wt::owned<ast::Term_domain*> call{ast::tnode("std::string", wt::strings({"\"*\""}), nullptr, &loc)};
  wt::owned<ast::Term_domain*> opt{ast::tnode("opt", wt::strings({"$1"}), nullptr, &loc)};
  wt::owned<ast::Term_domain*> simple{ast::snode("$2", &loc)};
  auto text = [](ast::Term_domain* t, int n) {
    std::ostringstream out;
    gen_code(out, t, n);
    return out.str();
  };
  gen_mode = 2;
  EXPECT_EQ(text(add, 3), "ast::add($1,$3)");
  EXPECT_EQ(text(cons, 2), "ast::cons($1,$2)");
  EXPECT_EQ(text(call, 0), "std::string(\"*\")");
  locations_flag = 2;
  EXPECT_EQ(text(add, 3), "ast::add($1,$3,&@$)");
  EXPECT_EQ(text(leaf, 0), "ast::leaf(&@$)");
  EXPECT_EQ(text(cons, 2), "ast::cons($1,$2)");
  EXPECT_EQ(node_flag, 0);
  EXPECT_EQ(text(opt, 1), "ast::opt($1,&@$)");
  EXPECT_EQ(node_flag, 1);
  EXPECT_EQ(text(simple, 2), "$2");
  EXPECT_EQ(node_flag, 0);
  EXPECT_EQ(fatal_message([&] { text(simple, 1); }), "6:12: $2 don't exist");
  gen_mode = 1;
  EXPECT_EQ(text(leaf, 0), "ast::leaf(&yylloc)");
  EXPECT_EQ(fatal_message([&] { text(add, 0); }), "6:12: $1 don't exist");
}

}  // namespace
