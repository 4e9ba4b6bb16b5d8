#include "checks.hpp"

#include "driver.hpp"
#include "elements.hpp"
#include "tables.hpp"
#include "writer_parts.hpp"

void collect_defsymbols(ast::List<ast::Grule_domain*> grm) {
  for (ast::Grule_domain* g : grm) {
    auto r = dynamic_cast<ast::grmrule_node*>(g);
    if (!r) continue;
    if (!defined_symbols.insert(r->f1_).second) yyerror(&r->yyloc, "Redefined symbol " + r->f1_);
  }
}

void check_undefsymbols(ast::List<ast::Grule_domain*> grm) {
  for (ast::Grule_domain* g : grm)
    if (auto r = dynamic_cast<ast::grmrule_node*>(g)) check_undefsymbols(r->f2_);
}

void check_undefsymbols(ast::List<ast::Xrule_domain*> alts) {
  for (ast::Xrule_domain* a : alts) {
    auto x = dynamic_cast<ast::xrule_node*>(a);
    if (!x) continue;
    for (ast::Gelem_domain* e : x->f1_) {
      if (auto s = dynamic_cast<ast::symelem_node*>(e)) {
        if (!defined_symbols.count(s->f1_)) yyerror(&s->yyloc, "Undefined symbol " + s->f1_);
      } else if (auto g = group_alts(e)) {
        check_undefsymbols(*g);
      }
    }
  }
}

void collect_states(ast::List<ast::Lrule_domain*> lex) {
  for (ast::Lrule_domain* l : lex) {
    if (auto r = dynamic_cast<ast::lexrule_node*>(l)) {
      if (is_empty_pattern(r->f2_)) yyerror(&r->yyloc, "Empty pattern");
      for (const std::string& state : r->f1_)
        if (state != "*" && state != "INITIAL") lex_states.insert(state);
    } else if (auto init = dynamic_cast<ast::lexinit_node*>(l)) {
      lexinitcode = init->f1_;
    }
  }
}
