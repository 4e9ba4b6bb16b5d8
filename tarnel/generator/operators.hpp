// Operator layering: a flat, ambiguous expression rule (expr '+' expr |
// expr '*' expr | ...) becomes a chain of rules, one per priority level of
// the "%operator" declarations, with associativity from each operator's kind.
// Also the helpers both rewriting passes use to make symbols and elements.
#pragma once

#include <string>

#include "tarnel.hpp"

// Priority and kind of the first operator entry for the terminal `name`
// whose kind has the arity (2 infix: xfx xfy yfx; 1 prefix: fx fy; any other
// value postfix: xf yf); 0 and "" when there is none.
int oper_prior(const std::string& name, int arity);
std::string oper_type(const std::string& name, int arity);

bool is_symelem(ast::Gelem_domain* e, const std::string& name);
bool is_trmelem(ast::Gelem_domain* e);
// Priority of an operator element: a terminal's own; for a parenthesised
// group of single terminals the smallest positive one (100 when none has one
// at this arity); 0 for anything else.
int prior_elem(ast::Gelem_domain* e, int arity);
// Kind of a terminal element at the arity; "" for other elements.
std::string type_elem(ast::Gelem_domain* e, int arity);
// x is an alternative of one terminal of priority `prior` and kind `kind`.
bool is_operrule(ast::Xrule_domain* x, int prior, int arity, const std::string& kind);

// Layers every rule of the list; the level rules go to `new_rules`.
void reorder_rules(ast::List<ast::Grule_domain*> grm);
// Layers the alternatives `alts` of the level `cur` of the rule `base` in
// place; `loc` is the rule's range for diagnostics.
void reorder_body(const std::string& base, const std::string& cur,
                  ast::List<ast::Xrule_domain*>& alts, YYLTYPE* loc);

// A new rule name made from `base` (encoded, then "_1", "_2", ... while the
// name is taken), entered into `symbols`.
std::string new_symbol(const std::string& base);

namespace ast {
// An unlabelled rule-name element without range.
Gelem_domain* symelem(const std::string& name);
// An unlabelled parenthesised group without range.
Gelem_domain* varelem(List<Xrule_domain*> alts);
}  // namespace ast

// A copy of an alternative made by operator layering: it owns its elements
// but shares the action of the alternative it was made from, which frees it.
struct copy_xrule_node : ast::xrule_node {
  copy_xrule_node(ast::List<ast::Gelem_domain*> elems, ast::Gaction_domain* action)
      : ast::xrule_node(elems, action, nullptr) {}
  ~copy_xrule_node() override { f2_ = nullptr; }
};

ast::Xrule_domain* copy_xrule(ast::List<ast::Gelem_domain*> elems, ast::Gaction_domain* action);
