// Named references in grammar actions ("$name", "$[name]", "$['+']", and the
// rule's own name) rewritten into positions ("$$", "$1", ...).
#pragma once

#include <map>
#include <string>

#include "tarnel.hpp"

// Name map of one alternative: 0 the rule's (or group's) own value, k >= 1
// element k, -1 a name given to more than one thing.
using altid_map = std::map<std::string, int>;

void replace_refs(ast::List<ast::Grule_domain*> grm);
// `name` is the rule's name, or a group's label (possibly empty).
void replace_refs(ast::List<ast::Xrule_domain*> alts, const std::string& name);
// Enters `name` for `pos`; a name entered twice becomes ambiguous (-1).
void add_altid(altid_map& ids, const std::string& name, int pos);
void replace_refs(ast::Term_domain* term, altid_map& ids);
void replace_refs(ast::List<ast::Code_domain*> code, altid_map& ids);
// Rewrites every named reference of `text` in place; "Unknown ref to <key>"
// and "Ambiguous ref to <key>" are fatal at `loc`.
void replace_ref(std::string& text, altid_map& ids, YYLTYPE* loc);
