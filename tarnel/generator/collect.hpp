// Collecting declarations and terminals from a description's syntax tree,
// and the services the parser and the later passes use on the way.
#pragma once

#include <set>
#include <string>

#include "tarnel.hpp"

// Sets the label of a grammar element while the parser builds it: the label
// field of a terminal, rule name or group element becomes `label`; other
// elements are left as they are. Returns the element and sets `e` to null;
// the caller owns the result.
ast::Gelem_domain* replace_altid(ast::Gelem_domain*& e, const std::string& label);

// A terminal as `symbols` holds it (`normalize_terminal`), from its text as
// written at `loc`. A literal that holds a null character ("\x00") is fatal
// there: "Null character in terminal T".
std::string terminal_key(const std::string& written, YYLTYPE* loc);

// The declarations section, in order: operators into `opers`, "%type" lines
// into `symbols`, `consts`, `domains` and `nodes`, "%code" blocks into the
// code lists, named expressions into `lexdefs`. Node declarations that
// conflict are fatal at the declaration.
void collect_decls(ast::List<ast::Decl_domain*> decls);

// Register every terminal named in code, in lexer rules, in alternatives and
// in grammar rules in `symbols` (with an empty type; an entry that exists
// keeps its type). The overloads over alternatives and rules also mark the
// rules whose values an action refers to by position (`has_value`).
void collect_terminals(ast::List<ast::Code_domain*> code);
void collect_terminals(ast::List<ast::Lrule_domain*> lex);
void collect_terminals(ast::List<ast::Xrule_domain*> alts);
void collect_terminals(ast::List<ast::Grule_domain*> grm);

// Add the positions referenced by "$<digits>" (and 0 for "$$") in a text, in
// the argument texts of a value term, or in action code, to `refs`. A number
// that does not fit an int names no element and is no reference.
void collect_ref(const std::string& text, std::set<int>& refs);
void collect_refs(ast::Term_domain* term, std::set<int>& refs);
void collect_refs(ast::List<ast::Code_domain*> code, std::set<int>& refs);

// Every k whose text the value term takes over: the term is exactly "$k",
// or it builds a declared node kind whose argument that is exactly "$k"
// fills an optional string field. Found in one walk over the arguments.
std::set<int> string_uses(ast::Term_domain* term);
