#include "writers_support.hpp"

#include <fstream>
#include <sstream>

#include "options.hpp"

const char* yyinputfile = "";

void yyerror(YYLTYPE* loc, const std::string& msg) {
  throw fatal_error(std::to_string(loc->last.line) + ":" + std::to_string(loc->last.column) + ": " +
                    msg);
}

namespace wt {

void FileTest::SetUp() {
  set_input("calc.tn");
  yyinputfile = "calc.tn";
}

void FileTest::TearDown() {
  set_input("");
  yyinputfile = "";
}

YYLTYPE at(int line, int first, int last) { return YYLTYPE(line, first, line, last); }

ast::Code_domain* piece(const std::string& text, int line, int column) {
  YYLTYPE loc = at(line, column, column + static_cast<int>(text.size()) - 1);
  return ast::lexem(text, &loc);
}

ast::List<ast::Code_domain*> code(std::initializer_list<const char*> pieces) {
  ast::List<ast::Code_domain*> list = nullptr;
  for (const char* p : pieces) list = ast::cons(list, piece(p));
  return list;
}

ast::List<std::string> strings(std::initializer_list<const char*> texts) {
  ast::List<std::string> list = nullptr;
  for (const char* t : texts) list = ast::cons(list, std::string(t));
  return list;
}

::testing::AssertionResult matches_file(const std::string& actual, const std::string& name) {
  std::ifstream in(std::string(WRITERS_DATA_DIR) + "/" + name, std::ios::binary);
  if (!in) return ::testing::AssertionFailure() << "no expected file " << name;
  std::ostringstream expected;
  expected << in.rdbuf();
  if (expected.str() == actual) return ::testing::AssertionSuccess();
  std::ofstream(name + ".actual", std::ios::binary) << actual;
  return ::testing::AssertionFailure() << name << " differs; the text written is in " << name
                                       << ".actual";
}

}  // namespace wt
