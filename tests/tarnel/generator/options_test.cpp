#include <climits>
#include <vector>

#include <gtest/gtest.h>

#include "options.hpp"
#include "tables.hpp"

namespace {

std::vector<int*> all_flags() {
  return {&bnf_flag,        &case_flag,     &inter_flag,       &main_flag,
          &yyparse_flag,    &yylex_flag,    &locations_flag,   &literal_flag,
          &lexdefault_flag, &yywrap_flag,   &matcherr_flag,    &visitor_flag,
          &yyinterpret_flag, &astprint_flag, &lexprint_flag,   &yyerror_flag,
          &line_flag,       &ast_flag,      &expect_flag};
}

std::vector<int> flag_values() {
  std::vector<int> v;
  for (int* f : all_flags()) v.push_back(*f);
  return v;
}

const std::vector<int> defaults = {1, 0, 0, 1, 1, 1, 0, 1, -1, 0,
                                   1, 1, 1, 1, 0, 1, 1, 0, -1};

// Runs get_args over the given arguments (program name first).
void run_get_args(std::vector<std::string> args) {
  std::vector<char*> ptrs;
  for (auto& a : args) ptrs.push_back(a.data());
  ptrs.push_back(nullptr);
  int argc = static_cast<int>(args.size());
  char** argv = ptrs.data();
  char** const argv_before = argv;
  get_args(argc, argv);
  EXPECT_EQ(argc, static_cast<int>(args.size()));
  EXPECT_EQ(argv, argv_before);
}

class Options : public ::testing::Test {
 protected:
  void SetUp() override {
    cmdline_words.clear();
    filepath.clear();
    set_input("");
  }
  void TearDown() override { SetUp(); }
};

TEST_F(Options, ResetGivesDefaultsAndFreshTables) {
  EXPECT_EQ(flag_values(), defaults);
  for (int* f : all_flags()) *f = 7;
  usevalue_flag = usestring_flag = uselist_flag = grmfile_exist = 1;
  gen_mode = 2;
  return_field = 3;
  terminal_uid = 1005;
  tarnel_mode = 2;
  root_tip = "Expr";
  default_tip = "std::string";
  add_symbol("x", "int");
  symbols["error"].type = "int";
  consts["c"];
  domains["D"];
  nodes["n"];
  opers.emplace_back("'+'", "yfx", 1);
  lexdefs.emplace_back("d", "[0-9]");
  defined_symbols.insert("r");
  symbol_names.insert("r");
  lex_states.insert("S");
  union_fields["int"] = 1;
  new_symbol_suffixes["exp"] = 2;
  add_using("base");
  vout << "pending";
  vout.setstate(std::ios::failbit);

  // The lists share the previous tree's nodes: the reset must forget them
  // without freeing (the sanitizer build catches a double free below).
  ast::List<ast::Code_domain*> code = ast::cons<ast::Code_domain*>(ast::lexem("x"));
  ast::List<ast::Grule_domain*> rules = ast::cons<ast::Grule_domain*>(ast::grmrule("r", {}));
  hcode = topcode = bottomcode = grmcode = lexcode = lexinitcode = code;
  new_rules = rules;

  set_input("next.y");

  EXPECT_EQ(flag_values(), defaults);
  EXPECT_EQ((std::vector<int>{usevalue_flag, usestring_flag, uselist_flag, grmfile_exist,
                              gen_mode, return_field, tarnel_mode, terminal_uid}),
            (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 1000}));
  EXPECT_EQ(root_tip, "");
  EXPECT_EQ(default_tip, "int");
  ASSERT_EQ(symbols.size(), 1u);
  EXPECT_EQ(symbols.begin()->first, "error");
  EXPECT_EQ(symbols.begin()->second.type, "");
  EXPECT_EQ(defined_symbols, std::set<std::string>{"error"});
  EXPECT_TRUE(consts.empty() && domains.empty() && nodes.empty());
  EXPECT_TRUE(opers.empty() && lexdefs.empty());
  EXPECT_TRUE(symbol_names.empty() && lex_states.empty() && union_fields.empty());
  EXPECT_TRUE(new_symbol_suffixes.empty());
  EXPECT_TRUE(using_list.empty());
  EXPECT_EQ(vout.str(), "");
  EXPECT_TRUE(vout.good());
  for (auto* l : {&hcode, &topcode, &bottomcode, &grmcode, &lexcode, &lexinitcode})
    EXPECT_EQ(l->size(), 0u);
  EXPECT_EQ(new_rules.size(), 0u);

  ast::destroy(code);
  ast::destroy(rules);
}

TEST_F(Options, WordsAndLaterOverrides) {
  const struct {
    const char* word;
    int* flag;
    int value;
  } spot_checks[] = {{"rebnf", &bnf_flag, 2},           {"aebnf", &bnf_flag, 3},
                     {"visitor", &visitor_flag, 2},     {"yylineno", &locations_flag, 1},
                     {"default-literal", &lexdefault_flag, 3},
                     {"case-insensitive", &case_flag, 1},
                     {"noliteral-rules", &literal_flag, 0}};
  for (const auto& c : spot_checks) {
    switch_option(c.word);
    EXPECT_EQ(*c.flag, c.value) << c.word;
  }
  switch_option("locations");
  switch_option("ast");
  EXPECT_EQ((std::vector<int>{main_flag, yylex_flag, yyparse_flag, ast_flag, locations_flag}),
            (std::vector<int>{0, 0, 0, 1, 0}));
  switch_option("main");
  EXPECT_EQ((std::vector<int>{main_flag, yylex_flag, yyparse_flag, ast_flag}),
            (std::vector<int>{1, 0, 0, 1}));
}

TEST_F(Options, UnknownAndMalformedWordsChangeNothing) {
  const std::vector<int> before = flag_values();
  for (const char* w : {"", "reentrant", "EBNF", "no", "ast ", "expect", "expect=",
                        "expect=x", "expect=-1", "Expect=3", "expect=2147483648",
                        "expect=99999999999999999999"})
    switch_option(w);
  EXPECT_EQ(flag_values(), before);
}

TEST_F(Options, ExpectNumber) {
  switch_option("expect=0");
  EXPECT_EQ(expect_flag, 0);
  switch_option("expect=12x");
  EXPECT_EQ(expect_flag, 12);
  switch_option("expect=007");
  EXPECT_EQ(expect_flag, 7);
  switch_option("expect=2147483647");
  EXPECT_EQ(expect_flag, INT_MAX);
  // Too large: ignored, the earlier value stays.
  switch_option("expect=2147483648");
  EXPECT_EQ(expect_flag, INT_MAX);
}

TEST_F(Options, CommandLineWordsComeBeforeTheFilesOwnLines) {
  run_get_args({"tarnel", "--noyylex", "--nomain", "-d2", "calc.y", "-x", "--expect=3"});
  EXPECT_EQ(cmdline_words, (std::vector<std::string>{"noyylex", "nomain", "expect=3"}));
  for (const char* file : {"a.y", "b.y"}) {
    set_input(file);
    EXPECT_EQ(yylex_flag, 0) << file;
    EXPECT_EQ(main_flag, 0) << file;
    EXPECT_EQ(expect_flag, 3) << file;
    // The file's own "%option main" wins for the rest of that file only.
    switch_option("main");
    EXPECT_EQ(main_flag, 1) << file;
  }
}

TEST_F(Options, OutputPrefix) {
  run_get_args({"tarnel", "-oout/", "g.y"});
  EXPECT_EQ(filepath, "out/");
  run_get_args({"tarnel", "-oa", "-ob"});
  EXPECT_EQ(filepath, "b");
  // "-o" alone sets an empty prefix; a following "dir" is a file name.
  run_get_args({"tarnel", "-o", "dir"});
  EXPECT_EQ(filepath, "");
  EXPECT_TRUE(cmdline_words.empty());
  set_input("x.y");
  EXPECT_EQ(filepath, "");
}

TEST_F(Options, BaseNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"dir.x/grammar", "grammar"}, {"a.b.c", "a.b"},  {"D:\\x\\g.y", "g"},
      {".hidden", ""},              {"", ""},          {"calc", "calc"},
      {"a/b\\c.d/e.f", "e"},        {"dir/", ""},
  };
  for (const auto& c : cases) {
    set_input(c.first);
    EXPECT_EQ(filename, c.second) << c.first;
  }
  set_input(nullptr);
  EXPECT_EQ(filename, "");
}

}  // namespace
