// Test support: description text parsed by tarnel's own reader, and compact
// views of the trees and tables the passes produce.
#pragma once

#include <functional>
#include <string>

#include "tarnel.hpp"

// Resets the generator for a new description, parses `text` (standard-input
// style: no file name) and calls `f` with the accepted tree before it is
// freed. A syntax error ends the process like any fatal diagnostic.
void with_tree(const std::string& text, const std::function<void(ast::prog_node*)>& f);

// The passes of the pipeline up to and including extended-BNF rewriting (the
// rules they make appended to the tree's grammar); then `f`.
void with_rewritten(const std::string& text, const std::function<void(ast::prog_node*)>& f);

// One line per alternative: "rule: elements <term>" or "{code}" for a code
// action, element groups as (alt | alt) with their marks.
std::string rules_text(ast::List<ast::Grule_domain*> grm);
std::string term_text(ast::Term_domain* term);
