// Output names and token numbers.
#include <gtest/gtest.h>

#include "altnames.hpp"
#include "parse_text.hpp"
#include "tables.hpp"
#include "types.hpp"

namespace {

void named(const std::string& text) {
  testing::internal::CaptureStderr();
  with_rewritten(text, [](ast::prog_node* p) {
    calc_types(p->f3_);
    gen_altnames();
  });
  testing::internal::GetCapturedStderr();
}

std::string name_of(const std::string& symbol) {
  const symbolinfo& s = symbols.at(symbol);
  return s.altname + " " + std::to_string(s.uid);
}

TEST(GenAltnames, TokenNumbersInSymbolOrder) {
  for (int run = 0; run < 2; ++run) {  // each description starts at 1001
    named("%type <int> ';' \"a\\\"b\" \"\\x41B\" \"x\\xe9\"\n%%\n%%\n"
          "s = \"+=\" ?ID? ';' '(' \"a\\\"b\" \"\\x41B\" \"x\\xe9\" ;\n");
    EXPECT_EQ(name_of("\"+=\""), "\"+=\" 1001");
    EXPECT_EQ(name_of("\"AB\""), "\"AB\" 1002");
    EXPECT_EQ(name_of("\"a\\\"b\""), "\"a\\\"b\" 1003");
    EXPECT_EQ(name_of("\"x\\xe9\""), "\"x\xe9\" 1004");
    EXPECT_EQ(name_of("'('"), "'(' 0");
    EXPECT_EQ(name_of("';'"), "\";\" 1005");
    EXPECT_EQ(name_of("?ID?"), "\"?ID?\" 1006");
    EXPECT_EQ(name_of("s"), "s 0");
    EXPECT_EQ(name_of("error"), "error 0");
  }
}

TEST(GenAltnames, RuleNamesAreTransliteratedAndMadeUnique) {
  named("%%\n%%\na-b = a.b ;\na.b = a_b ;\na_b = \xEF\xF0\xE8\xEC ;\n\xEF\xF0\xE8\xEC = 'x' ;\n");
  EXPECT_EQ(symbols["a-b"].altname, "a_b");
  EXPECT_EQ(symbols["a.b"].altname, "a_b_1");
  EXPECT_EQ(symbols["a_b"].altname, "a_b_2");
  EXPECT_EQ(symbols["\xEF\xF0\xE8\xEC"].altname, "prim");
  // Suffixes skip the names other rules took: a-b-1 takes a_b_1 before a.b
  // asks for a_b; a_b_3 finds its name taken.
  named("%%\n%%\na-b = 'x' ;\na-b-1 = 'x' ;\na.b = 'x' ;\na_b = 'x' ;\na_b_3 = 'x' ;\n");
  EXPECT_EQ(symbols["a-b-1"].altname, "a_b_1");
  EXPECT_EQ(symbols["a.b"].altname, "a_b_2");
  EXPECT_EQ(symbols["a_b"].altname, "a_b_3");
  EXPECT_EQ(symbols["a_b_3"].altname, "a_b_3_1");
}

}  // namespace
