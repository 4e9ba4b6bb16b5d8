#include "options.hpp"

#include "names.hpp"
#include "tables.hpp"

// Every option flag with its per-file default, which is also its value
// before the first file.
#define TARNEL_OPTION_FLAGS(X) \
  X(bnf_flag, 1)               \
  X(case_flag, 0)              \
  X(inter_flag, 0)             \
  X(main_flag, 1)              \
  X(yyparse_flag, 1)           \
  X(yylex_flag, 1)             \
  X(locations_flag, 0)         \
  X(literal_flag, 1)           \
  X(lexdefault_flag, -1)       \
  X(yywrap_flag, 0)            \
  X(matcherr_flag, 1)          \
  X(visitor_flag, 1)           \
  X(yyinterpret_flag, 1)       \
  X(astprint_flag, 1)          \
  X(lexprint_flag, 0)          \
  X(yyerror_flag, 1)           \
  X(line_flag, 1)              \
  X(ast_flag, 0)               \
  X(expect_flag, -1)

#define DEFINE_FLAG(name, value) int name = value;
TARNEL_OPTION_FLAGS(DEFINE_FLAG)
#undef DEFINE_FLAG

int usevalue_flag = 0;
int usestring_flag = 0;
int uselist_flag = 0;
int grmfile_exist = 0;
int gen_mode = 0;
int return_field = 0;
int terminal_uid = 1000;
int tarnel_mode = 0;
std::string root_tip;
std::string default_tip = "int";
std::ostringstream vout;

std::vector<std::string> using_list;

std::string filepath;
std::vector<std::string> description_files;
std::vector<std::string> cmdline_words;
std::string filename;

namespace {

// One effect of an option word; a word may have several rows ("ast").
struct option_row {
  const char* word;
  int* flag;
  int value;
};

const option_row option_table[] = {
    {"ebnf", &bnf_flag, 1},
    {"bnf", &bnf_flag, 0},
    {"rebnf", &bnf_flag, 2},
    {"aebnf", &bnf_flag, 3},
    {"case-insensitive", &case_flag, 1},
    {"case-sensitive", &case_flag, 0},
    {"interactive", &inter_flag, 1},
    {"nointeractive", &inter_flag, 0},
    {"main", &main_flag, 1},
    {"nomain", &main_flag, 0},
    {"yyparse", &yyparse_flag, 1},
    {"noyyparse", &yyparse_flag, 0},
    {"yylex", &yylex_flag, 1},
    {"noyylex", &yylex_flag, 0},
    {"yylineno", &locations_flag, 1},
    {"locations", &locations_flag, 2},
    {"nolocations", &locations_flag, 0},
    {"literal-rules", &literal_flag, 1},
    {"noliteral-rules", &literal_flag, 0},
    {"nodefault", &lexdefault_flag, 0},
    {"default-echo", &lexdefault_flag, 1},
    {"default-skip", &lexdefault_flag, 2},
    {"default-literal", &lexdefault_flag, 3},
    {"yywrap", &yywrap_flag, 1},
    {"noyywrap", &yywrap_flag, 0},
    {"matcherror", &matcherr_flag, 1},
    {"nomatcherror", &matcherr_flag, 0},
    {"visitor", &visitor_flag, 2},
    {"novisitor", &visitor_flag, 0},
    {"yyinterpret", &yyinterpret_flag, 1},
    {"noyyinterpret", &yyinterpret_flag, 0},
    {"astprint", &astprint_flag, 1},
    {"noastprint", &astprint_flag, 0},
    {"lexprint", &lexprint_flag, 1},
    {"nolexprint", &lexprint_flag, 0},
    {"yyerror", &yyerror_flag, 1},
    {"noyyerror", &yyerror_flag, 0},
    {"line", &line_flag, 1},
    {"noline", &line_flag, 0},
    // "ast": only the AST classes, no lexer, parser or driver main.
    {"ast", &main_flag, 0},
    {"ast", &yylex_flag, 0},
    {"ast", &yyparse_flag, 0},
    {"ast", &ast_flag, 1},
    {"ast", &locations_flag, 0},
    // "reentrant" is accepted and changes nothing: it has no row.
};

const std::string expect_prefix = "expect=";

void reset_flags() {
#define RESET_FLAG(name, value) name = value;
  TARNEL_OPTION_FLAGS(RESET_FLAG)
#undef RESET_FLAG
  usevalue_flag = usestring_flag = uselist_flag = 0;
  grmfile_exist = 0;
  gen_mode = 0;
  return_field = 0;
  terminal_uid = 1000;
  root_tip.clear();
  tarnel_mode = 0;
}

void reset_tables() {
  symbol_names.clear();
  symbols.clear();
  add_symbol("error", "");
  new_symbol_suffixes.clear();
  consts.clear();
  domains.clear();
  nodes.clear();
  opers.clear();
  lexdefs.clear();
  defined_symbols.clear();
  defined_symbols.insert("error");
  lex_states.clear();
  union_fields.clear();
  // The lists share their cells with the previous file's tree, which frees
  // them; forgetting them is all that is needed here.
  hcode = nullptr;
  topcode = nullptr;
  bottomcode = nullptr;
  grmcode = nullptr;
  lexcode = nullptr;
  lexcode_blocks.clear();
  lexinitcode = nullptr;
  new_rules = nullptr;
  vout.str("");
  vout.clear();
  default_tip = "int";
  using_list.clear();
}

// The file name without directories and without its last extension.
std::string base_name(const std::string& name) {
  std::string base = name;
  auto cut = base.find_last_of('/');
  if (cut != std::string::npos) base = base.substr(cut + 1);
  cut = base.find_last_of('\\');
  if (cut != std::string::npos) base = base.substr(cut + 1);
  cut = base.find_last_of('.');
  if (cut != std::string::npos) base = base.substr(0, cut);
  return base;
}

}  // namespace

void get_args(int& argc, char**& argv) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg == nullptr) continue;
    if (arg[0] != '-') {
      description_files.emplace_back(arg);
      continue;
    }
    if (arg[1] == 'o') {
      filepath = arg + 2;
    } else if (arg[1] == '-') {
      cmdline_words.emplace_back(arg + 2);
      switch_option(cmdline_words.back());
    }
  }
}

void switch_option(const std::string& word) {
  for (const option_row& row : option_table)
    if (word == row.word) *row.flag = row.value;
  if (word.size() > expect_prefix.size() &&
      word.compare(0, expect_prefix.size(), expect_prefix) == 0) {
    // A number that does not fit is ignored like any malformed word.
    if (auto n = read_decimal(word, expect_prefix.size())) expect_flag = *n;
  }
}

void set_input(const char* name) {
  reset_flags();
  reset_tables();
  for (const std::string& word : cmdline_words) switch_option(word);
  filename = base_name(name ? name : "");
}

void add_using(const std::string& name) { using_list.push_back(name); }
