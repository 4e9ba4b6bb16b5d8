#include <sstream>

#include <gtest/gtest.h>

#include "options.hpp"
#include "tables.hpp"
#include "writers.hpp"
#include "writers_support.hpp"

namespace {

void symbol(const std::string& text, int uid, const std::string& type) {
  symbolinfo& s = symbols[text];
  s.uid = uid;
  s.type = type;
}

class CppFile : public wt::FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    fill();
  }
  // A fresh file with the tables of a small calculator.
  static void fill() {
    set_input("calc.tn");
    symbol("\"==\"", 1001, "");
    symbol("\"a\\\"b\"", 1004, "");
    symbol("'('", 0, "");
    symbol("'+'", 1002, "int");
    symbol("'\\n'", 0, "");
    symbol("?num?", 1003, "int");
    symbol("expr", 0, "Expr");
    union_fields = {{"Expr", 1}, {"int", 2}};
    domains["Expr"].node_set = {"add", "leaf"};
    nodes["add"].node_types = {"Expr", "Expr", "Expr"};
    nodes["leaf"].node_types = {"Expr"};
    grmfile_exist = 1;
  }

  static std::string source(ast::List<ast::Code_domain*> code = nullptr) {
    std::ostringstream out;
    create_cppfile(out, "calc", code);
    return out.str();
  }
  static bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
};

TEST_F(CppFile, DriverWithLocationsAndPrinters) {
  locations_flag = 2;
  lexprint_flag = 1;
  vout << "int v_visitor::visit(leaf_node* _node1) {\n}\n";
  wt::owned<ast::List<ast::Code_domain*>> code{ast::cons(wt::piece("int x;\n", 30, 1))};
  EXPECT_TRUE(wt::matches_file(source(code), "calc.cpp"));
  EXPECT_EQ(vout.str(), "");
  // Without code and visitors: the include and two empty lines.
  const std::string head = "#include \"calc.hpp\"\n\n\n#include <map>\n";
  EXPECT_EQ(source().substr(0, head.size()), head);
}

TEST_F(CppFile, DriverWithoutGrammarOrLocations) {
  grmfile_exist = 0;
  const std::string text = source();
  EXPECT_TRUE(has(text, "  while(t=yylex(&yylval,scanner))\n    ;\n  return 0;\n}\n"));
  EXPECT_TRUE(has(text, "  else yylex_init(&yyscanner);\n  int res=yylex_loop(yyscanner);\n"));
  EXPECT_TRUE(has(text, "void *yyscanner;\nvoid yyerror(void *, const char* msg)\n{ yyerror(msg); }\n"
                        "void yyerror(const std::string& msg)\n{ std::cerr<<msg<<std::endl;\n"
                        "  YYONERROR;\n}\n#include <sys/stat.h>\nint yydebug_flag=0;\n"));
  EXPECT_FALSE(has(text, "lexprint"));

  // Without a parser wanted, yyparse is the user's.
  yyparse_flag = 0;
  EXPECT_TRUE(has(source(), "  int res=(yydebug_flag==1)?yylex_loop(yyscanner):yyparse(yyscanner);\n"));

  locations_flag = 1;
  EXPECT_TRUE(has(source(), "void yyerror(void *scanner, const char* msg) {\n"
                            "  std::cerr<<yylex_filename(scanner,-1)<<':'<<yylineno<<\": \";\n"
                            "  yyerror(msg);\n}\n"));
  yyerror_flag = 0;
  EXPECT_FALSE(has(source(), "yyerror(const std::string& msg)"));
}

// A description written with option ast is the tree of the readers that
// name it with %using: its file has the tree printers and nothing of a
// scanner or parser, which the readers' own files carry.
TEST_F(CppFile, AstOptionAndOtherDescriptions) {
  switch_option("ast");
  std::string text = source();
  for (const char* absent : {"yyliteral", "int main(", "yyscanner", "yyerror"})
    EXPECT_FALSE(has(text, absent)) << absent;
  EXPECT_TRUE(has(text, "namespace ast {\nint astprint(std::ostream& s,Expr v"));

  fill();
  domains["Stmt"].node_set = {"let"};
  nodes["let"].node_types = {"Stmt", "int"};
  nodes["let"].declared = true;
  add_using("base");
  lexprint_flag = 1;
  text = source();
  for (const char* present : {"int yyliteral(", "void *yyscanner;", "void yyerror(void *",
                              "void lexprint(std::ostream", "int main(int argc, char **argv)",
                              "int astprint(std::ostream& s,Stmt v, int i, const char* p)"})
    EXPECT_TRUE(has(text, present)) << present;
  EXPECT_FALSE(has(text, "astprint(std::ostream& s,Expr v"));
}

TEST_F(CppFile, EmptyLiteralTable) {
  symbols.clear();
  const std::string text = source();
  EXPECT_TRUE(has(text, "static std::map<std::string,int> yyliterals{};\n"
                        "static unsigned yyliteral1[8]={0u,0u,0u,0u,0u,0u,0u,0u};\n"));
}

}  // namespace
