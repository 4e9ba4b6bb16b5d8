// Placeholders for the output writers until they are built: each writes
// nothing, so the pipeline produces empty files.
#include "writers.hpp"

void create_lexfile(std::ostream&, const std::string&, ast::List<ast::Lrule_domain*>) {}
void create_grmfile(std::ostream&, const std::string&, ast::List<ast::Grule_domain*>) {}
void create_cppfile(std::ostream&, const std::string&, ast::List<ast::Code_domain*>) {}
void create_hfile(std::ostream&, const std::string&) {}
