// The writers of the four output files of a description. The pipeline
// (yyinterpret) opens one output file stream per file and hands it to them
// after every pass has run.
#pragma once

#include <ostream>
#include <string>

#include "tarnel.hpp"

// The RE/flex lexer description (".lex").
void create_lexfile(std::ostream& out, const std::string& name, ast::List<ast::Lrule_domain*> lex);
// The Bison grammar (".grm"); `grm` holds the rewritten rules, the start rule first.
void create_grmfile(std::ostream& out, const std::string& name, ast::List<ast::Grule_domain*> grm);
// The driver source (".cpp") with the description's code section.
void create_cppfile(std::ostream& out, const std::string& name, ast::List<ast::Code_domain*> code);
// The header (".hpp").
void create_hfile(std::ostream& out, const std::string& name);
