// Type inference: value types of terminals, rules and node kinds from the
// declarations, the lexer rules and the grammar actions; then the members of
// the value union and the runtime pieces the header needs.
#pragma once

#include <string>

#include "tarnel.hpp"

// The rule that the last type_arg call linked its owner to ("" when none).
extern std::string linked_symbol;

// Merges the observed type `add` into `cur`; `what` names the thing typed.
// Two different base types are fatal ("Types attributes ...").
void assign_type(std::string& cur, const std::string& add, const std::string& what);
// The type of one argument or term text. `elems` are the elements a "$k"
// refers to; `owner` the node kind (index >= 1) or the rule or terminal being
// typed (index 0 for a plain term, -1 for "cons" arguments); `loc` the range
// for errors; `record` chooses between recording dependencies on referenced
// rules (true) and returning their current type (false).
std::string type_arg(const std::string& text, ast::List<ast::Gelem_domain*> elems,
                     const std::string& owner, int index, YYLTYPE* loc, bool record);
// Action code: notes "$$" and, when `returns` is not 0, types the terminals
// the code returns.
void calc_types(ast::List<ast::Code_domain*> code, int returns);
// The lexer section.
void calc_types(ast::List<ast::Lrule_domain*> lex);
// The rewritten grammar: rule, node and domain types by propagation, then
// `union_fields` and the use flags. At debug level 3 it traces every step.
void calc_types(ast::List<ast::Grule_domain*> grm);
