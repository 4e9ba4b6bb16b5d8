// Default actions: an alternative without action whose rule must deliver a
// value passes on its one value-carrying element, or builds a list from two
// when one of them is a group; and the rules that must deliver values are
// marked (`has_value`).
#pragma once

#include <string>

#include "tarnel.hpp"

void setup_default(ast::List<ast::Grule_domain*> grm);
// `value`: these alternatives must deliver a value; `rule` names the
// enclosing rule in the ambiguity warning.
void setup_default(ast::List<ast::Xrule_domain*> alts, bool value, const std::string& rule);
