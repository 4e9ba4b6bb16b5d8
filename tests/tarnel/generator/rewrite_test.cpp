// Operator layering and extended-BNF rewriting.
#include <gtest/gtest.h>

#include "collect.hpp"
#include "operators.hpp"
#include "parse_text.hpp"
#include "tables.hpp"

namespace {

std::string rewritten(const std::string& text) {
  std::string rules;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  with_rewritten(text, [&](ast::prog_node* p) { rules = rules_text(p->f3_); });
  testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();
  return rules;
}

const std::string ops = "%type <E> exp\n%operator <yfx> '+' '-'\n%operator <yfx> '*'\n";

TEST(ReorderRules, LevelsFromLoosestToTightest) {
  EXPECT_EQ(rewritten(ops + "%%\n%%\nexp = exp '+' exp <a($1,$3)> | exp \"*\" exp <m($1,$3)> | ?n? <n($1)> ;\n"),
            "exp: exp '+' exp_1 <a($1,$3)>\n"
            "exp: exp_1 <$1>\n"
            "exp_2: ?n? <n($1)>\n"
            "exp_1: exp_1 \"*\" exp_2 <m($1,$3)>\n"
            "exp_1: exp_2 <$1>\n");
}

TEST(ReorderRules, KindsGiveAssociativity) {
  // Without operators nothing is layered.
  EXPECT_EQ(rewritten("%%\n%%\nexp = exp '+' exp | 'n' ;\n"), "exp: exp '+' exp\nexp: 'n'\n");
  for (auto kind : {std::make_pair("xfx", "exp_1 '+' exp_1"), std::make_pair("xfy", "exp_1 '+' exp"),
                    std::make_pair("yfx", "exp '+' exp_1")}) {
    EXPECT_EQ(rewritten(std::string("%operator <") + kind.first + "> '+'\n%%\n%%\n"
                        "exp = exp '+' exp | 'n' ;\n"),
              std::string("exp: ") + kind.second + "\nexp: exp_1 <$1>\nexp_1: 'n'\n");
  }
}

TEST(ReorderRules, PrefixPostfixAndATerminalOfBothKinds) {
  EXPECT_EQ(rewritten("%operator <yfx> '-'\n%operator <fy> '-' <fx> '~'\n%operator <yf> '!'\n"
                      "%%\n%%\ne = e '-' e | '-' e | '~' e | e '!' | '+' e | 'n' ;\n"),
            "e: e '-' e_1\n"
            "e: e_1 <$1>\n"
            "e_3: '+' e\n"  // no prefix kind: sinks unchanged to the innermost level
            "e_3: 'n'\n"
            "e_2: e_2 '!'\n"
            "e_2: e_3 <$1>\n"
            "e_1: '-' e_1\n"
            "e_1: '~' e_2\n"
            "e_1: e_2 <$1>\n");
}

TEST(ReorderRules, GroupsSplitByKindAndPriority) {
  EXPECT_EQ(rewritten(ops + "%%\n%%\nexp = exp ('+' | '-') exp <b($1,$2,$3)> | exp ('+' | '*') exp <c($1,$3)> | 'n' ;\n"),
            "exp: exp exp_var exp_1 <b($1,$2,$3)>\n"
            "exp: exp exp_var_1 exp_1 <c($1,$3)>\n"  // the '+' split off the second group
            "exp: exp_1 <$1>\n"
            "exp_2: 'n'\n"
            "exp_1: exp_1 exp_1_var exp_2 <c($1,$3)>\n"
            "exp_1: exp_2 <$1>\n"
            "exp_var: '+'\n"
            "exp_var: '-'\n"
            "exp_var_1: '+'\n"
            "exp_1_var: '*'\n");
}

TEST(ReorderRules, LevelNamesSkipTakenNamesAndRulesWithoutOperatorsStay) {
  EXPECT_EQ(rewritten("%operator <xfy> '^'\n%%\n%%\nexp = exp '^' exp | exp_1 ;\nexp_1 = 'n' | ;\n"),
            "exp: exp_2 '^' exp\n"
            "exp: exp_2 <$1>\n"
            "exp_1: 'n'\n"
            "exp_1: \n"
            "exp_2: exp_1\n");
}

TEST(ReorderRules, OneLevelPerPriorityInUse) {
  EXPECT_EQ(rewritten("%operator <yfx> '+'\n%operator <yfx> '*'\n%operator <yfx> '^'\n%%\n%%\n"
                      "e = e '^' e | 'n' ;\n"),
            "e: e '^' e_1\ne: e_1 <$1>\ne_1: 'n'\n");
}

TEST(ReorderRules, CopiesShareTheActionOfTheirAlternative) {
  // Freeing the tree frees the shared action once (checked under the
  // sanitizers); the copy prints it like any alternative.
  with_tree("%operator <yfx> '+'\n%operator <yfx> '*'\n%%\n%%\ne = e ('+' | '*') e <f($1)> | 'n' ;\n",
            [](ast::prog_node* p) {
              collect_decls(p->f1_);
              symbols["e"];
              reorder_rules(p->f3_);
              auto rule = dynamic_cast<ast::grmrule_node*>(*p->f3_);
              auto copy = dynamic_cast<copy_xrule_node*>(rule->f2_[0]);
              ASSERT_NE(copy, nullptr);
              auto level = dynamic_cast<ast::grmrule_node*>(new_rules[1]);  // e_2, then e_1
              auto original = dynamic_cast<ast::xrule_node*>(level->f2_[0]);
              EXPECT_EQ(copy->f2_, original->f2_);
              EXPECT_EQ(copy->yyloc.first.line, 0);
              p->f3_ = ast::cons(p->f3_, new_rules);
              new_rules = nullptr;
            });
}

TEST(SplitRules, RepetitionsWithAndWithoutActions) {
  EXPECT_EQ(rewritten("%%\n%%\nlist = item { ',' item } ;\nitem = 'i' ;\n"),
            "list: item list_rep\nitem: 'i'\nlist_rep_1: ',' item\nlist_rep: \n"
            "list_rep: list_rep list_rep_1\n");
  EXPECT_EQ(rewritten("%%\n%%\nlist = item { ',' item <$2> } ;\nitem = 'i' ;\n"),
            "list: item list_rep\nitem: 'i'\nlist_rep_1: ',' item <$2>\nlist_rep: \n"
            "list_rep: list_rep list_rep_1 <cons($1,$2)>\n");
  EXPECT_EQ(rewritten("%%\n%%\nlist = item { ',' item <$2> }- ;\nitem = 'i' ;\n"),
            "list: item list_rep\nitem: 'i'\nlist_rep_1: ',' item <$2>\nlist_rep: list_rep_1 <cons($1)>\n"
            "list_rep: list_rep list_rep_1 <cons($1,$2)>\n");
}

TEST(SplitRules, InnerGroupsFirstAndLabelsInNames) {
  EXPECT_EQ(rewritten("%%\n%%\nprogram = { [ 'd' ] ';' } x: ( 'a' ) ( 'b' ) { 'c' } y: { 'e' } ;\n"),
            "program: program_rep program_varx program_var program_rep_2 program_repy\n"
            "program_opt: \n"
            "program_opt: 'd'\n"
            "program_rep_1: program_opt ';'\n"
            "program_rep: \n"
            "program_rep: program_rep program_rep_1\n"
            "program_varx: 'a'\n"
            "program_var: 'b'\n"
            "program_rep_3: 'c'\n"
            "program_rep_2: \n"
            "program_rep_2: program_rep_2 program_rep_3\n"
            "program_repelem_y: 'e'\n"
            "program_repy: \n"
            "program_repy: program_repy program_repelem_y\n");
}

}  // namespace
