// Rewriting of extended BNF: every group, optional group and repetition
// inside an alternative becomes a reference to a new rule (collected in
// `new_rules`), so the grammar holds only plain rules.
#pragma once

#include <string>

#include "tarnel.hpp"

void split_rules(ast::List<ast::Grule_domain*> grm);
// `name` is the rule whose alternatives these are (also inside groups); new
// rule names are built from it.
void split_rules(ast::List<ast::Xrule_domain*> alts, const std::string& name);
// A repetition (kind 1: one or more, 0: zero or more) with the alternatives
// `alts` at the element `place`, labelled `label`, inside the rule `rule`:
// an element rule and a left-recursive list rule are made and `place` is
// replaced by a reference to the list rule. Groups inside `alts` must have
// been rewritten already (split_rules does that first).
void make_rep(int kind, ast::List<ast::Xrule_domain*>& alts, ast::Gelem_domain*& place,
              const std::string& label, const std::string& rule);
// No alternative of the list delivers a value: none has a value term or
// code that sets "$$".
bool check_all_gempty(ast::List<ast::Xrule_domain*> alts);
