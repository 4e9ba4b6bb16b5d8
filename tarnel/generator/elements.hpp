// Small accessors over grammar elements that several passes share.
#pragma once

#include <string>

#include "tarnel.hpp"

// The alternatives of a group element (parenthesised, optional, zero or more,
// one or more), or null for a terminal or rule-name element.
ast::List<ast::Xrule_domain*>* group_alts(ast::Gelem_domain* e);
// The label field of any element kind that has one, or null.
std::string* label_of(ast::Gelem_domain* e);
