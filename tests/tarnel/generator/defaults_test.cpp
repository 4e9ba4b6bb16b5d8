// Default actions and the rules that must deliver values.
#include <gtest/gtest.h>

#include "parse_text.hpp"
#include "tables.hpp"

namespace {

struct Passes {
  std::string rules, out, err;
};

// The grammar after the passes up to extended-BNF rewriting, with what they
// wrote to standard output and standard error.
Passes rewritten(const std::string& text) {
  Passes r;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  with_rewritten(text, [&](ast::prog_node* p) { r.rules = rules_text(p->f3_); });
  r.out = testing::internal::GetCapturedStdout();
  r.err = testing::internal::GetCapturedStderr();
  return r;
}

const std::string decls = "%type <Expr> expr item items ?num?\n%%\n%%\n";

TEST(SetupDefault, OneValuePassesItOn) {
  Passes r = rewritten(decls + "expr = '(' expr ')' | ?num? | ;\n");
  EXPECT_EQ(r.rules, "expr: '(' expr ')' <$2>\nexpr: ?num? <$1>\nexpr: \n");
  EXPECT_EQ(r.out + r.err, "");
}

TEST(SetupDefault, TwoValuesWithARepetitionBuildAListAndShowIt) {
  Passes r = rewritten(decls + "items = { item } item ;\nitem = ?num? ;\n");
  EXPECT_EQ(r.rules,
            "items: items_rep item <cons($1,$2)>\n"
            "item: ?num? <$1>\n"
            "items_rep_1: item <$1>\n"
            "items_rep: \n"
            "items_rep: items_rep items_rep_1 <cons($1,$2)>\n");
  EXPECT_EQ(r.out, "\ngterm(\n tnode(\"cons\",[\"$1\",\"$2\"],nullptr)\n)");
}

TEST(SetupDefault, TwoValuesWithAGroupBuildAListSilently) {
  Passes r = rewritten(decls + "items = [ item ] item ;\nitem = ?num? ;\n");
  EXPECT_EQ(r.rules,
            "items: items_opt item <cons(cons($1),$2)>\n"
            "item: ?num? <$1>\n"
            "items_opt: \n"
            "items_opt: item <$1>\n");
  EXPECT_EQ(r.out, "");
}

TEST(SetupDefault, TwoPlainValuesAreAmbiguous) {
  Passes r = rewritten(decls + "items = items ',' item | item ?num? ;\nitem = ?num? ;\n");
  EXPECT_EQ(r.rules, "items: items ',' item\nitems: item ?num?\nitem: ?num? <$1>\n");
  EXPECT_EQ(r.err,
            "Warning: ambiguity rule for items to select value by default, write direct action\n"
            "Warning: ambiguity rule for items to select value by default, write direct action\n");
}

TEST(SetupDefault, GroupsOfUntypedTerminalsCarryNoValueButCount) {
  Passes r = rewritten(decls + "expr = ( ',' | ';' ) expr [ '!' ] ;\n");
  EXPECT_EQ(r.rules, "expr: expr_var expr expr_opt <$2>\nexpr_var: ','\nexpr_var: ';'\n"
                     "expr_opt: \nexpr_opt: '!'\n");
}

TEST(SetupDefault, ValuesFlowToRulesDefinedLater) {
  // a's default actions flag b and c; b gets its own default action when its
  // turn comes, c had its turn before it was flagged.
  Passes r = rewritten("%type <int> a ?n?\n%%\n%%\nc = ?n? ;\na = b | c ;\nb = ?n? ;\n");
  EXPECT_EQ(r.rules, "c: ?n?\na: b <$1>\na: c <$1>\nb: ?n? <$1>\n");
  EXPECT_EQ(symbols["c"].has_value, 1);
}

TEST(SetupDefault, ReferencesToUntypedTerminalsWarn) {
  Passes r = rewritten("%%\n%%\ns = '+' ?x? \"-\" <f($1, $3)> | ( '*' <$1> ) <$1> ;\n");
  EXPECT_EQ(r.err,
            "Warning: ref to terminal '+' with undefined type\n"
            "Warning: ref to terminal \"-\" with undefined type\n"
            "Warning: ref to terminal '*' with undefined type\n");
}

}  // namespace
