#include "pipeline.hpp"

#include <unistd.h>

#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "altnames.hpp"
#include "bnf.hpp"
#include "checks.hpp"
#include "collect.hpp"
#include "defaults.hpp"
#include "driver.hpp"
#include "names.hpp"
#include "operators.hpp"
#include "options.hpp"
#include "patterns.hpp"
#include "refs.hpp"
#include "safe_output.hpp"
#include "tables.hpp"
#include "types.hpp"
#include "writer_parts.hpp"
#include "writers.hpp"

namespace {

// Appends the rules the rewriting passes made to the grammar, which then
// owns them, and forgets them in `new_rules`.
void adopt_new_rules(ast::prog_node* prog) {
  prog->f3_ = ast::cons(prog->f3_, new_rules);
  new_rules = nullptr;
}

// One output file of the description: its extension and its writer.
struct output_step {
  const char* ext;
  std::function<void(std::ostream&)> write;
};

std::string output_name(const output_step& step) { return filepath + filename + step.ext; }

// An output that is one of the descriptions of the run (by device and inode,
// or by name when it does not exist yet), or the standard input being read,
// would destroy a description: fatal before anything is written.
void check_not_an_input(const std::string& name) {
  const safe_output::file_id out = safe_output::identify(name);
  if (!out.can_hold_an_input()) return;
  bool input = !yyinputfile[0] && out == safe_output::identify(STDIN_FILENO);
  for (const std::string& description : description_files)
    input = input || out == safe_output::identify(description);
  if (input) yyerror("Output file " + name + " is an input");
}

// Runs the writers in order, each into memory, and only then writes the
// files, all of them or none (see safe_output.hpp): a fatal error of a
// writer or a file that cannot be written leaves the files of an earlier run
// as they were.
void write_outputs(const std::vector<output_step>& steps) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const output_step& step : steps) {
    std::ostringstream out;
    step.write(out);
    files.emplace_back(output_name(step), out.str());
  }
  std::string failed;
  if (!safe_output::write_files(files, failed)) yyerror("Can't write file " + failed);
}

// A start rule without a value hands nothing to yyinterpret: code written
// for it would never run.
void warn_untyped_start(ast::prog_node* prog) {
  if (!yyinterpret_flag || !yyparse_flag || !prog->f4_) return;
  for (ast::Grule_domain* r : prog->f3_) {
    auto rule = dynamic_cast<ast::grmrule_node*>(r);
    if (!rule) continue;
    if (empty_type(symbols[rule->f1_].type))
      std::cerr << "Warning: start rule " << rule->f1_
                << " has no value type, yyinterpret isn't called" << std::endl;
    return;
  }
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
  if (yylex_flag) check_patterns(prog->f1_, prog->f2_);
  if (yydebug_flag == 4) {
    ast::astprint(std::cout, prog->f3_, 0, nullptr);
    return;
  }
  calc_types(prog->f3_);
  warn_untyped_start(prog);
  gen_altnames();
  if (yydebug_flag != 0) return;

  ast::List<ast::Lrule_domain*> lex = prog->f2_;
  ast::List<ast::Grule_domain*> grm = prog->f3_;
  ast::List<ast::Code_domain*> code = prog->f4_;
  // The other files include the header by its name, which no quote or line
  // break of a #include line may hold.
  const std::string header = header_include(filename);
  if (header.find_first_of("\"\n") != std::string::npos)
    yyerror("Output file " + header + " can't be named in #include");
  // A guard that a run-time header has (the tree runtime's, or one of the
  // scanner library's, all of which begin with REFLEX_) would make the
  // header skip that runtime, or the runtime skip the header.
  const std::string guard = guard_name(filename);
  if (guard == "ASTTYPES_H" || guard.compare(0, 7, "REFLEX_") == 0)
    yyerror("Base name " + filename + " gives the header guard " + guard +
            " of a run-time header");
  if (lexdefault_flag == -1) lexdefault_flag = grm ? 3 : 1;
  std::vector<output_step> steps;
  if (yylex_flag) steps.push_back({".lex", [&](std::ostream& out) { create_lexfile(out, filename, lex); }});
  if (grm && yyparse_flag) {
    steps.push_back({".grm", [&](std::ostream& out) {
                       grmfile_exist = 1;
                       create_grmfile(out, filename, grm);
                     }});
  }
  steps.push_back({".cpp", [&](std::ostream& out) { create_cppfile(out, filename, code); }});
  steps.push_back({".hpp", [&](std::ostream& out) { create_hfile(out, filename); }});
  for (const output_step& step : steps) check_not_an_input(output_name(step));
  write_outputs(steps);
}
