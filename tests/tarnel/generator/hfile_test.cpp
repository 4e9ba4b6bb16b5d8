#include <sstream>

#include <gtest/gtest.h>

#include "options.hpp"
#include "rt_pieces.hpp"
#include "run_tarnel.hpp"
#include "tables.hpp"
#include "writers.hpp"
#include "writers_support.hpp"

namespace {

// The header with each runtime piece it holds replaced by "[name]", so that
// the expected files do not repeat the runtime's text; the numbers of the
// #line directives that point back into the header, which then count the
// runtime's lines, are checked and replaced by "N".
std::string header(const std::string& name) {
  std::ostringstream out;
  create_hfile(out, name);
  std::string text = out.str();
  const std::string own = "#line ", file = " \"" + name + ".hpp\"";
  if (text.find(file) != std::string::npos) {
    EXPECT_EQ(wrong_own_line(text, name + ".hpp"), "");
  }
  for (std::size_t at = text.find(own); at != std::string::npos; at = text.find(own, at + 1)) {
    const std::size_t end = text.find('\n', at);
    if (text.compare(end - file.size(), file.size(), file) == 0)
      text.replace(at + own.size(), end - file.size() - at - own.size(), "N");
  }
  for (const rt_piece_entry& piece : rt_piece_table) {
    const std::string body = piece.text;
    std::size_t at = text.find(body);
    if (at != std::string::npos) text.replace(at, body.size(), "[" + std::string(piece.name) + "]");
  }
  return text;
}

class HFile : public wt::FileTest {
 protected:
  static void calculator() {
    domains["Expr"].node_set = {"add", "leaf", "named", "num"};
    domains["Stmt"].node_set = {"let"};
    nodes["add"].node_types = {"Expr", "Expr", "Expr"};
    nodes["leaf"].node_types = {"Expr"};
    nodes["let"].node_types = {"Stmt", "std::string", "List<Expr>"};
    nodes["named"].node_types = {"Expr", "std::string?"};
    nodes["named"].user_factory = true;
    nodes["num"].node_types = {"Expr", "int"};
    union_fields = {{"Expr", 2}, {"List<Stmt>", 3}, {"Stmt", 4}, {"int?", 5}, {"std::string", 1}};
  }
};

TEST_F(HFile, ClassesVisitorsAndDeclarations) {
  calculator();
  locations_flag = 2;
  visitor_flag = 2;
  lexprint_flag = 1;
  usestring_flag = usevalue_flag = uselist_flag = 1;
  root_tip = "List<Stmt>";
  wt::owned<ast::List<ast::Code_domain*>> top{ast::cons(wt::piece("#include <cmath>\n", 3, 1))};
  wt::owned<ast::List<ast::Code_domain*>> h{wt::code({"int helper();\n"})};
  wt::owned<ast::List<ast::Code_domain*>> bottom{wt::code({"// end\n"})};
  topcode = top.value;
  hcode = h.value;
  bottomcode = bottom.value;
  EXPECT_TRUE(wt::matches_file(header("calc"), "calc.hpp"));
  EXPECT_EQ(gen_mode, 0);
}

TEST_F(HFile, WithoutLocationsOrVisitors) {
  calculator();
  astprint_flag = 0;
  usestring_flag = 1;
  uselist_flag = 1;
  root_tip = "std::string";
  EXPECT_TRUE(wt::matches_file(header("calc"), "plain.hpp"));
}

// The tree classes of the used headers are not written again: only the
// kinds this description declares, and their domains, without ranges. The
// scanner and parser declarations are its own.
TEST_F(HFile, OtherDescriptionsInUse) {
  calculator();
  nodes["let"].declared = true;
  add_using("base");
  add_using("more");
  lexprint_flag = 1;
  usestring_flag = 1;
  locations_flag = 2;
  visitor_flag = 2;
  const std::string text = header("calc");
  const std::string head =
      "#ifndef CALC_H\n#define CALC_H 1\n#include \"base.hpp\"\n#include \"more.hpp\"\n"
      "#ifndef YYLTYPE_IS_DECLARED\n[rt_location]#endif\nnamespace ast {\nstruct Stmt_visitor;\n"
      "struct Stmt_domain : _domain {\n\tvirtual void accept(Stmt_visitor*, void*)=0;\n};\n";
  EXPECT_EQ(text.substr(0, head.size()), head);
  for (const char* absent : {"Expr_domain", "num_node", "Expr_visitor", "_loc", "[rt_"})
    EXPECT_EQ(text.find(absent, head.size()), std::string::npos) << absent;
  for (const char* present : {"\tlet_node(const std::string& a1, List<Expr> a2):f1_(a1)",
                              "union YYSTYPE {", "int yylex(YYSTYPE*, YYLTYPE*, void*);",
                              "void yyerror(YYLTYPE*, void*, const char*);",
                              "inline void let_node::accept(Stmt_visitor* v, void* r)"})
    EXPECT_NE(text.find(present), std::string::npos) << present;
  const std::string tail =
      "\n#undef YYINTERPRET\n#define YYINTERPRET(ast)\n#define YYONERROR exit(1)\n"
      "extern void* yyscanner;\n#endif\n";
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST_F(HFile, NoValueTypes) {
  ast_flag = 1;
  main_flag = 0;
  EXPECT_EQ(header("my-calc"),
            "#ifndef MY_CALC_H\n#define MY_CALC_H 1\n"
            "[rt_includes][rt_destroy][rt_maybe][rt_maybe_string][rt_list_decl]"
            "[rt_list_maybe_decl][rt_list_class][rt_list_maybe_friends][rt_list_body]"
            "[rt_list_maybe_cons][rt_list_ops][rt_domain_head][rt_domain_tail]"
            "using namespace ast;\n"
            "void yyerror(const std::string &);\nvoid yyerror(void*, const char*);\n"
            "#define YYINTERPRET(ast)\n#define YYONERROR exit(1)\nextern void* yyscanner;\n"
            "[rt_astprint_builtin]#ifndef ASTPRINT_TEMPLATES\n#define ASTPRINT_TEMPLATES 1\n"
            "[rt_astprint_maybe][rt_astprint_vector][rt_astprint_list]#endif\n}\n"
            "#endif\n");
  ast_flag = 0;
  std::string text = header("");
  EXPECT_EQ(text.substr(0, 23), "#ifndef _H\n#define _H 1");
  EXPECT_EQ(header("2d.x").substr(0, 13), "#ifndef _2D_X");
  // Names in other scripts get guards of their own.
  EXPECT_EQ(header("\xd0\xb0").substr(0, 15), "#ifndef D0B0_H\n");
  EXPECT_EQ(header("\xd0\xb1").substr(0, 15), "#ifndef D0B1_H\n");
  EXPECT_EQ(header("\x9f").substr(0, 14), "#ifndef _9F_H\n");
  EXPECT_NE(text.find("\ntypedef int YYSTYPE;\ninline void yyclear_attr"), std::string::npos);
  EXPECT_EQ(text.find("YYSTYPE_cast"), std::string::npos);
  EXPECT_NE(text.find("\nint yylex(YYSTYPE*, void*);\n"), std::string::npos);
}

TEST_F(HFile, LineNumbersOnly) {
  locations_flag = 1;
  const std::string text = header("calc");
  EXPECT_NE(text.find("using namespace ast;\nextern int yylineno;\nint yyliteral"), std::string::npos);
  EXPECT_EQ(text.find("[rt_location]"), std::string::npos);
}

}  // namespace
