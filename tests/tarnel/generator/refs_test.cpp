// Named references in grammar actions become positions.
#include <gtest/gtest.h>

#include "checks.hpp"
#include "collect.hpp"
#include "parse_text.hpp"
#include "refs.hpp"

namespace {

// The grammar section of `text` after named references were resolved.
std::string resolved(const std::string& text) {
  std::string out;
  with_tree("%%\n%%\n" + text, [&](ast::prog_node* p) {
    collect_defsymbols(p->f3_);
    replace_refs(p->f3_);
    out = rules_text(p->f3_);
  });
  return out;
}

TEST(ReplaceRefs, ElementsLabelsAndTheRulesOwnName) {
  EXPECT_EQ(resolved("expr = expr '+' term <add($1, $term)> | l: expr '*' term <$l> ;\n"
                     "term = x <f($term, $x)> ;\nx = 'x' ;\n"),
            "expr: expr '+' term <add($1,$3)>\n"
            "expr: expr '*' term <$1>\n"
            "term: x <f($$,$1)>\n"
            "x: 'x'\n");
}

TEST(ReplaceRefs, BracketedTerminalsAndCode) {
  EXPECT_EQ(resolved("s = '+' ?id? \"==\" %{ $$ = $['+'] + $[?id?] + $[\"==\"] + $2 + @$; %} ;\n"),
            "s: '+' ?id? \"==\" {code}\n");
  with_tree("%%\n%%\ns = '+' a %{ $$ = f($['+'], $a); %} ;\na = 'a' ;\n", [](ast::prog_node* p) {
    replace_refs(p->f3_);
    auto x = dynamic_cast<ast::xrule_node*>(*dynamic_cast<ast::grmrule_node*>(*p->f3_)->f2_);
    std::string code;
    for (ast::Code_domain* c : dynamic_cast<ast::gcode_node*>(x->f2_)->f1_)
      if (auto l = dynamic_cast<ast::lexem_node*>(c)) code += l->f1_;
    EXPECT_EQ(code, " $$ = f($1, $2); ");
  });
}

TEST(ReplaceRefs, GroupsHaveTheirOwnNames) {
  EXPECT_EQ(resolved("s = a g: ( b <f($b, $g)> ) (b <$b>) <h($a, $g)> ;\na = 'a' ;\nb = 'b' ;\n"),
            "s: a (b <f($1,$$)>) (b <$1>) <h($1,$2)>\n"
            "a: 'a'\n"
            "b: 'b'\n");
}

TEST(ReplaceRefs, TermArgumentsAreSearchedWhole) {
  // Two references and the text between them; positions and $$ unchanged.
  EXPECT_EQ(resolved("s = a b <f($a,$b)> | a <g(\"$$\", $1, @$)> ;\na = 'a' ;\nb = 'b' ;\n"),
            "s: a b <f($1,$2)>\n"
            "s: a <g(\"$$\",$1,@$)>\n"
            "a: 'a'\n"
            "b: 'b'\n");
}

TEST(ReplaceRefs, AnAmbiguousNameThatIsNotReferencedIsNoError) {
  EXPECT_EQ(resolved("s = a a <$2> ;\na = 'a' ;\n"), "s: a a <$2>\na: 'a'\n");
}

}  // namespace
