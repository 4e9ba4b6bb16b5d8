// The first checks of a description: rule names defined once, rule names
// used in alternatives defined, and the lexer's start conditions and
// initialisation code collected. They see the tree as the parser built it,
// so their diagnostics point into the description text.
#pragma once

#include <string>

#include "tarnel.hpp"

// Records every rule name in `defined_symbols`; "Redefined symbol <name>" at
// a rule defined a second time, or named "error" or like another symbol that
// Bison defines (YYEOF, YYerror, YYUNDEF, YYEMPTY, YYACCEPT).
void collect_defsymbols(ast::List<ast::Grule_domain*> grm);
// "Undefined symbol <name>" at the first element, at any depth of groups,
// that names a rule not in `defined_symbols`.
void check_undefsymbols(ast::List<ast::Grule_domain*> grm);
void check_undefsymbols(ast::List<ast::Xrule_domain*> alts);
// Start-condition names of the lexer rules into `lex_states` ("*" and
// "INITIAL" left out); the initialisation block's code into `lexinitcode`.
// "Empty pattern" at a rule whose pattern is an empty raw string; "Start
// state S is a reserved name" at a rule with such a state; a warning for a
// state whose name is one letter long.
void collect_states(ast::List<ast::Lrule_domain*> lex);

// Whether a start state may not have this name: the scanner declares each
// state as a C++ name after its headers (RE/flex as a macro), so a keyword,
// a macro of those headers or a name reserved to the compiler breaks it.
bool is_reserved_state_name(const std::string& name);
