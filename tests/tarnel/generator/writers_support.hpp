// Support for the tests of the action code generator and the output
// writers: the driver's error function (here it throws, so a test can look
// at the message), syntax-tree builders and expected-file comparison.
#pragma once

#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "tarnel.hpp"

// What yyerror(YYLTYPE*, msg) throws: "line:column: msg" of the range's end.
struct fatal_error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

extern const char* yyinputfile;

namespace wt {

// A fresh description file "calc.tn" for every test, and nothing left for
// the next one.
class FileTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// A range on one line, from column `first` to column `last`.
YYLTYPE at(int line, int first, int last);

// A code piece at a position.
ast::Code_domain* piece(const std::string& text, int line = 1, int column = 1);
// A code list of pieces, all on line 1 (no #line directive is written for it).
ast::List<ast::Code_domain*> code(std::initializer_list<const char*> pieces);
// A list of strings.
ast::List<std::string> strings(std::initializer_list<const char*> texts);

// Frees a tree value when the test ends.
template <typename T>
struct owned {
  T value;
  ~owned() { ast::destroy(value); }
  operator T() const { return value; }
};

// The message of the fatal error that `f` raises ("" when it raises none).
template <typename F>
std::string fatal_message(F f) {
  try {
    f();
  } catch (const fatal_error& e) {
    return e.what();
  }
  return "";
}

// Compares `actual` with the expected file data/<name>; on a difference the
// actual text is written to <name>.actual in the test's working directory.
::testing::AssertionResult matches_file(const std::string& actual, const std::string& name);

}  // namespace wt
