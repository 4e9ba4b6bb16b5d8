// The generator's entry point for one accepted description.
#pragma once

#include "tarnel.hpp"

// Runs the passes over the tree in their fixed order, then writes the output
// files (none at a non-zero debug level). An output that is a description of
// the run is fatal ("Output file <name> is an input"), and so is a file that
// cannot be written ("Can't write file <name>"); either way no output of this
// description is changed. A null root, or one that is not a prog node, does
// nothing. The caller keeps and frees the tree.
void yyinterpret(ast::Program_domain* root);

// The passes before type inference of the grammar: symbol checks,
// declarations, named references, terminals, the lexer's types, default
// actions, operator layering and extended-BNF rewriting. The rules they make
// are appended to the tree's grammar, which owns them.
void run_rewriting_passes(ast::prog_node* prog);
