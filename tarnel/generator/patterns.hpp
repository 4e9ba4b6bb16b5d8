// The check of the lexer's patterns before the ".lex" is written: each named
// pattern and each rule's pattern is translated from the lex level as the
// scanner generator reads it from the ".lex" (quoted text, {NAME}, trailing
// context) and compiled with the scanners' run-time library, so that a
// pattern the scanner generator would refuse stops tarnel at its place in
// the description rather than the build at a line of the ".lex".
#pragma once

#include "tarnel.hpp"

// Named patterns in the order the ".lex" defines them (those of "%code lex"
// first, then those of the declarations), then the rules of the lexer
// section. The first bad one is fatal: "Empty pattern" for one that matches
// only the empty text (""), else "Bad pattern: " and what is wrong, at the
// rule or declaration (for a named pattern of "%code lex", at its line). A
// name that the ".lex" would define twice is fatal as well: "Redefined named
// pattern N", or "Redefined start state S" at a "%x" or "%s" line of
// "%code lex" that declares a state of the rules (or INITIAL) once more, and
// "Start state S is a reserved name" at one that declares such a state.
void check_patterns(ast::List<ast::Decl_domain*> decls, ast::List<ast::Lrule_domain*> lex);
