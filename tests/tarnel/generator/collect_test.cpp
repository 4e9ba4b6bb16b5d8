// Collecting declarations and terminals, and the reference services the
// later passes and the writers use.
#include <gtest/gtest.h>

#include "checks.hpp"
#include "collect.hpp"
#include "options.hpp"
#include "parse_text.hpp"
#include "tables.hpp"

namespace {

// Parses `text` and runs the first passes of the pipeline over it.
void collect(const std::string& text, const std::function<void(ast::prog_node*)>& f = {}) {
  with_tree(text, [&](ast::prog_node* p) {
    collect_defsymbols(p->f3_);
    check_undefsymbols(p->f3_);
    collect_states(p->f2_);
    collect_decls(p->f1_);
    collect_terminals(p->f2_);
    collect_terminals(p->f3_);
    collect_terminals(p->f4_);
    if (f) f(p);
  });
}

std::string opers_text() {
  std::string s;
  for (const operinfo& o : opers) s += o.name + " " + o.kind + " " + std::to_string(o.priority) + "\n";
  return s;
}

TEST(CollectDecls, OperatorKindsCarryOverAndLinesCountPriorities) {
  collect("%operator <yfx> '+' \"-\" <fy> '!'\n%operator <xfx> '='\n%operator <yf> '^'\n");
  EXPECT_EQ(opers_text(), "'+' yfx 1\n'-' yfx 1\n'!' fy 1\n'=' xfx 2\n'^' yf 3\n");
  // The reader starts every group with a kind; a declaration without one
  // takes the kind of the one before.
  set_input("");
  ast::List<ast::Decl_domain*> decls = {ast::decloper({"xfy", "'+'"}), ast::decloper({"\"*\"", "?op?"})};
  collect_decls(decls);
  EXPECT_EQ(opers_text(), "'+' xfy 1\n'*' xfy 2\n?op? xfy 2\n");
  ast::destroy(decls);
}

TEST(CollectDecls, TypeLinesMakeDomainsNodesConstantsAndSymbols) {
  collect("%type <Expr> num(int) neg(Expr) mk? (string?, int?) expr PI ';'\n%type <string>\n"
          "%%\n%%\nexpr = ';' ;\n");
  EXPECT_EQ(domains["Expr"].node_set, (std::set<std::string>{"mk", "neg", "num"}));
  EXPECT_EQ(nodes["num"].node_types, (std::vector<std::string>{"Expr", "int"}));
  EXPECT_EQ(nodes["neg"].node_types, (std::vector<std::string>{"Expr", "Expr"}));
  EXPECT_EQ(nodes["mk"].node_types, (std::vector<std::string>{"Expr", "std::string?", "int?"}));
  EXPECT_TRUE(nodes["mk"].user_factory);
  EXPECT_FALSE(nodes["num"].user_factory);
  EXPECT_EQ(symbols["expr"].type, "Expr");
  EXPECT_EQ(symbols["';'"].type, "Expr");
  EXPECT_EQ(consts["PI"].type, "Expr");
  EXPECT_EQ(symbols.count("PI"), 0u);
  EXPECT_EQ(default_tip, "std::string");
}

TEST(CollectDecls, CodeBlocksByDestinationInOrder) {
  auto texts = [](ast::List<ast::Code_domain*> code) {
    std::string s;
    for (ast::Code_domain* c : code)
      if (auto l = dynamic_cast<ast::lexem_node*>(c)) s += l->f1_;
    return s;
  };
  // The code lists share the tree's cells: they are read before it is freed.
  collect("%{ a %}\n%code top %{ t %}\n%code h %{ b token ?x? %}\n%code xyz %{ token 'q' %}\n"
          "%code lex %{ l %}\n%code grm %{ g %}\n%code bottom %{ z %}\n",
          [&](ast::prog_node*) {
            EXPECT_EQ(texts(hcode), " a  b  ");
            EXPECT_EQ(texts(topcode), " t ");
            EXPECT_EQ(texts(lexcode), " l ");
            EXPECT_EQ(texts(grmcode), " g ");
            EXPECT_EQ(texts(bottomcode), " z ");
          });
  EXPECT_EQ(symbols.count("?x?"), 1u);
  EXPECT_EQ(symbols.count("'q'"), 1u);  // dropped block, terminal still known
}

TEST(CollectTerminals, EverySectionAndOnlyReferencedRulesGetValues) {
  collect("%type <int> ';'\n%%\n<S>\"if\" ?if?\nx ?id? <yytext>\n%%\n"
          "s = a ',' b <f($3)> | ( \";\" | 'k' ) %{ token \"ret\"; %} | error ;\na = 'a' ;\n"
          "b = 'b' ;\n"
          "%%\nvoid f() { token ?end?; }\n");
  for (const char* t : {"?if?", "?id?", "','", "'k'", "\"ret\"", "'a'", "'b'", "?end?"})
    EXPECT_EQ(symbols[t].type, "") << t;
  EXPECT_EQ(symbols["';'"].type, "int");
  EXPECT_EQ(symbols["b"].has_value, 1);
  EXPECT_EQ(symbols["a"].has_value, 0);
  EXPECT_EQ(lex_states, (std::set<std::string>{"S"}));
}

TEST(CollectRefs, PositionsInTextsTermsAndCode) {
  std::set<int> refs;
  collect_ref("$$ = $2 + $10; $x; $ 3; $99999999999", refs);
  EXPECT_EQ(refs, (std::set<int>{0, 2, 10}));
  refs.clear();
  collect_ref(std::string(99999, '$') + "7", refs);  // no deep recursion
  EXPECT_EQ(refs, (std::set<int>{0, 7}));
  collect("%%\n%%\ns = 'a' 'b' 'c' <f($1, g($3))> | 'd' %{ { $$ = $1; } %} ;\n", [](ast::prog_node* p) {
    auto rule = dynamic_cast<ast::grmrule_node*>(*p->f3_);
    auto first = dynamic_cast<ast::xrule_node*>(rule->f2_[0]);
    auto second = dynamic_cast<ast::xrule_node*>(rule->f2_[1]);
    std::set<int> term, code;
    collect_refs(dynamic_cast<ast::gterm_node*>(first->f2_)->f1_, term);
    collect_refs(dynamic_cast<ast::gcode_node*>(second->f2_)->f1_, code);
    EXPECT_EQ(term, (std::set<int>{1, 3}));
    EXPECT_EQ(code, (std::set<int>{0, 1}));
  });
}

TEST(StringUses, SingleTermsAndOptionalStringFields) {
  collect("%type <Expr> id(string?) pair(string, string?) k(int)\n", [](ast::prog_node*) {
    ast::Term_domain* single = ast::snode("$1");
    EXPECT_EQ(string_uses(single), (std::set<int>{1}));
    ast::Term_domain* pair = ast::tnode("pair", {"$1", "$2"}, nullptr);
    // A plain string field copies the text; the optional one takes it over.
    EXPECT_EQ(string_uses(pair), (std::set<int>{2}));
    ast::Term_domain* extra = ast::tnode("id", {"$1", "$2"}, nullptr);
    EXPECT_EQ(string_uses(extra), (std::set<int>{1}));  // more arguments than fields
    ast::Term_domain* unknown = ast::tnode("other", {"$1"}, nullptr);
    EXPECT_TRUE(string_uses(unknown).empty());
    for (ast::Term_domain* t : {single, pair, extra, unknown}) ast::destroy(t);
  });
}

TEST(CollectStates, StatesAndInitialisationCode) {
  collect("%%\n%{ int depth=0; %}\n<*>a ;\n<INITIAL>b ;\n<A,B>c ;\n<B>d ;\n",
          [](ast::prog_node* p) {
            EXPECT_EQ(lex_states, (std::set<std::string>{"A", "B"}));
            EXPECT_TRUE(lexinitcode == dynamic_cast<ast::lexinit_node*>(*p->f2_)->f1_);
          });
  collect("%%\na ;\n");
  EXPECT_TRUE(lex_states.empty());
  EXPECT_FALSE(lexinitcode);
}

}  // namespace
