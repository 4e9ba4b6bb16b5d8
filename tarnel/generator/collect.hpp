// Collecting declarations and terminals from a description's syntax tree,
// and the services the parser and the later passes use on the way.
#pragma once

#include <string>

namespace ast {
struct Gelem_domain;
}  // namespace ast

// Sets the label of a grammar element while the parser builds it: the label
// field of a terminal, rule name or group element becomes `label`; other
// elements are left as they are. Returns the element and sets `e` to null;
// the caller owns the result.
ast::Gelem_domain* replace_altid(ast::Gelem_domain*& e, const std::string& label);
