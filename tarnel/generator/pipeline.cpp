#include "pipeline.hpp"

#include <fstream>
#include <iostream>

#include "altnames.hpp"
#include "bnf.hpp"
#include "checks.hpp"
#include "collect.hpp"
#include "defaults.hpp"
#include "driver.hpp"
#include "operators.hpp"
#include "options.hpp"
#include "refs.hpp"
#include "tables.hpp"
#include "types.hpp"
#include "writers.hpp"

namespace {

// Appends the rules the rewriting passes made to the grammar, which then
// owns them, and forgets them in `new_rules`.
void adopt_new_rules(ast::prog_node* prog) {
  prog->f3_ = ast::cons(prog->f3_, new_rules);
  new_rules = nullptr;
}

// Opens the output file `filepath` + `filename` + `ext`, lets `write` fill
// it and closes it. A file that cannot be opened or written is fatal.
template <typename Write>
void write_file(const std::string& ext, Write write) {
  const std::string name = filepath + filename + ext;
  std::ofstream out(name, std::ios::out | std::ios::trunc);
  if (!out) yyerror("Can't write file " + name);
  write(out);
  out.close();
  if (!out) yyerror("Can't write file " + name);
}

}  // namespace

void run_rewriting_passes(ast::prog_node* prog) {
  ast::List<ast::Lrule_domain*> lex = prog->f2_;
  collect_defsymbols(prog->f3_);
  check_undefsymbols(prog->f3_);
  collect_states(lex);
  collect_decls(prog->f1_);
  replace_refs(prog->f3_);
  collect_terminals(lex);
  collect_terminals(prog->f3_);
  collect_terminals(prog->f4_);
  new_rules = nullptr;
  calc_types(lex);
  setup_default(prog->f3_);
  if (!opers.empty()) {
    reorder_rules(prog->f3_);
    adopt_new_rules(prog);
  }
  split_rules(prog->f3_);
  adopt_new_rules(prog);
}

void yyinterpret(ast::Program_domain* root) {
  auto prog = dynamic_cast<ast::prog_node*>(root);
  if (!prog) return;
  run_rewriting_passes(prog);
  if (yydebug_flag == 4) {
    ast::astprint(std::cout, prog->f3_, 0, nullptr);
    return;
  }
  calc_types(prog->f3_);
  gen_altnames();
  if (yydebug_flag != 0) return;

  ast::List<ast::Lrule_domain*> lex = prog->f2_;
  ast::List<ast::Grule_domain*> grm = prog->f3_;
  ast::List<ast::Code_domain*> code = prog->f4_;
  if (lexdefault_flag == -1) lexdefault_flag = grm ? 3 : 1;
  if (yylex_flag) write_file(".lex", [&](std::ostream& out) { create_lexfile(out, filename, lex); });
  if (grm && yyparse_flag) {
    grmfile_exist = 1;
    write_file(".grm", [&](std::ostream& out) { create_grmfile(out, filename, grm); });
  }
  write_file(".cpp", [&](std::ostream& out) { create_cppfile(out, filename, code); });
  write_file(".hpp", [&](std::ostream& out) { create_hfile(out, filename); });
}
