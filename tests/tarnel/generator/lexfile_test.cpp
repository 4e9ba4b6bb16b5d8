#include <sstream>

#include <gtest/gtest.h>

#include <reflex/matcher.h>

#include "names.hpp"
#include "options.hpp"
#include "pattern.hpp"
#include "tables.hpp"
#include "writer_parts.hpp"
#include "writers.hpp"
#include "writers_support.hpp"

using wt::fatal_message;

namespace {

void terminal(const std::string& text, const std::string& altname, int uid,
              const std::string& type) {
  symbolinfo& s = symbols[text];
  s.altname = altname;
  s.uid = uid;
  s.type = type;
}

ast::Lrule_domain* rule(std::initializer_list<const char*> states, const std::string& re,
                        ast::Laction_domain* action) {
  return ast::lexrule(wt::strings(states), re, action);
}

ast::Laction_domain* returns(const char* terminal, ast::Term_domain* value = nullptr) {
  return ast::lterm(terminal ? ast::Maybe<std::string>(terminal) : ast::Maybe<std::string>(nullptr),
                    value);
}

class LexFile : public wt::FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    // As the passes leave them for a small calculator.
    terminal("\"==\"", "\"==\"", 1001, "");
    terminal("'('", "'('", 0, "");
    terminal("'+'", "'+'", 0, "");
    terminal("';'", "\";\"", 1002, "char");
    terminal("?id?", "\"?id?\"", 1003, "std::string");
    terminal("?num?", "\"?num?\"", 1004, "int");
    union_fields = {{"char", 1}, {"std::string", 2}, {"int", 3}};
  }
};

TEST_F(LexFile, DefaultOptions) {
  lexdefs.emplace_back("DIGIT", "[0-9]");
  lexdefault_flag = 3;
  YYLTYPE value_at = wt::at(12, 20, 31);
  YYLTYPE action_at = wt::at(15, 8, 20);
  wt::owned<ast::List<ast::Lrule_domain*>> lex{nullptr};
  for (ast::Lrule_domain* r :
       {rule({}, "[ \\t]+", ast::lskip()),
        rule({}, "{DIGIT}+",
             returns("?num?", ast::tnode("atoi", wt::strings({"yytext"}), nullptr, &value_at))),
        rule({}, "[a-z]+", returns("?id?")), rule({}, "R\"(a b)\"", returns("'('")),
        rule({}, ";", returns("';'")), rule({}, "\"/*\"", ast::lnext()),
        rule({}, "\"//\".*", ast::lcode(ast::cons(wt::piece(" skip(); ", 15, 10)), &action_at)),
        rule({}, ".", returns(nullptr))})
    lex.value = ast::cons(lex.value, r);
  std::ostringstream out;
  create_lexfile(out, "calc", lex);
  EXPECT_TRUE(wt::matches_file(out.str(), "calc.lex"));
}

TEST_F(LexFile, StatesLocationsAndCode) {
  case_flag = 1;
  inter_flag = 1;
  yywrap_flag = 1;
  locations_flag = 2;
  literal_flag = 0;
  lexdefault_flag = 2;
  lex_states = {"COMMENT", "STR"};
  terminal("?str?", "\"?str?\"", 1005, "Expr");
  union_fields["Expr"] = 4;
  nodes["strnode"].node_types = {"Expr", "std::string"};
  wt::owned<ast::List<ast::Code_domain*>> lex_code{wt::code({"%s HIDDEN\n"})};
  lexcode = lex_code.value;
  lexcode_blocks = {lex_code.value};
  wt::owned<ast::List<ast::Code_domain*>> init{ast::cons(wt::piece(" depth=0; ", 20, 3))};
  lexinitcode = init.value;
  YYLTYPE value_at = wt::at(23, 30, 44);
  YYLTYPE action_at = wt::at(22, 12, 40);
  YYLTYPE token_at = wt::at(22, 30, 34);
  ast::List<ast::Code_domain*> code = ast::cons(wt::piece(" ", 22, 14));
  for (const char* p : {"$$", "=yytext; return "}) code = ast::cons(code, wt::piece(p));
  code = ast::cons(code, ast::token("?id?", &token_at));
  code = ast::cons(code, wt::piece("; "));
  wt::owned<ast::List<ast::Lrule_domain*>> lex{nullptr};
  for (ast::Lrule_domain* r :
       {rule({"COMMENT"}, "[a-z]+", ast::lcode(code, &action_at)),
        rule({"STR"}, "[^\"]*",
             returns("?str?", ast::tnode("strnode", wt::strings({"yytext"}), nullptr, &value_at))),
        rule({"*"}, "\\n", ast::lskip()), rule({"COMMENT", "STR"}, "<<EOF>>", ast::lskip())})
    lex.value = ast::cons(lex.value, r);
  std::ostringstream out;
  create_lexfile(out, "calc", lex);
  EXPECT_TRUE(wt::matches_file(out.str(), "states.lex"));
  EXPECT_EQ(gen_mode, 1);
  EXPECT_EQ(return_field, 2);
}

TEST_F(LexFile, LineNumbersAndDefaultRules) {
  locations_flag = 1;
  literal_flag = 0;
  std::ostringstream out;
  lexdefault_flag = 0;
  create_lexfile(out, "calc", nullptr);
  const std::string text = out.str();
  EXPECT_NE(text.find("%top{\n#include \"calc.hpp\"\n#define YY_USER_ACTION yysetloc();\nint "
                      "yylineno;\n%}\n"),
            std::string::npos);
  EXPECT_NE(text.find("\n%class {\n  void yysetloc(){\n#undef yylineno\n    yylineno=lineno();\n  "
                      "}\n%}\n%%\n%{\n\tyyclear_attr(yylval);\n%}\n.|\\n\tyyerror(\"No rules for "
                      "char \"+std::to_string(yytext[0]&0xFF));\n%%\n\nconst char *yylex_filename"),
            std::string::npos);
  EXPECT_EQ(text.find("int yylex(YYSTYPE* lvalp"), std::string::npos);

  // Echo: no default rule at all.
  lexdefault_flag = 1;
  out.str("");
  create_lexfile(out, "calc", nullptr);
  EXPECT_NE(out.str().find("%}\n%%\n%{\n\tyyclear_attr(yylval);\n%}\n%%\n"), std::string::npos);
}

TEST_F(LexFile, ReturnedTerminalsMustAgreeInType) {
  YYLTYPE at = wt::at(4, 9, 14);
  wt::owned<ast::List<ast::Code_domain*>> both{nullptr};
  both.value = ast::cons(both.value, ast::token("?id?", &at));
  both.value = ast::cons(both.value, ast::pcode(ast::cons(ast::token("'+'", &at))));
  return_field = 0;
  find_return_field(both);
  EXPECT_EQ(return_field, 2);

  wt::owned<ast::List<ast::Code_domain*>> mixed{nullptr};
  mixed.value = ast::cons(mixed.value, ast::token("?id?", &at));
  mixed.value = ast::cons(mixed.value, ast::pcode(ast::cons(ast::token("?num?", &at))));
  return_field = 0;
  EXPECT_EQ(fatal_message([&] { find_return_field(mixed); }),
            "4:14: Return terminals with different types");

  wt::owned<ast::List<ast::Code_domain*>> unknown{ast::cons(ast::token("'-'", &at))};
  EXPECT_EQ(fatal_message([&] { find_return_field(unknown); }), "4:14: '-' isn't used in rules");
}

TEST(LexPatterns, LiteralsMatchTheirTextLiterally) {
  EXPECT_EQ(literal_to_re("\"a b\""), "a\\ b");
  EXPECT_EQ(literal_to_re("\"<=\""), "\\x3c=");
  EXPECT_EQ(literal_to_re("\"x.y\""), "x\\.y");
  EXPECT_EQ(literal_to_re("\"{}()*+?[]/|$^\""), "\\{\\}\\(\\)\\*\\+\\?\\[\\]\\/\\|\\$\\^");
  EXPECT_EQ(literal_to_re("\"\\n\\t\\\\\""), "\\n\\t\\\\");
  // Escaped quotes are undone first, then escaped for the pattern.
  EXPECT_EQ(literal_to_re("'\\''"), "\\'");
  EXPECT_EQ(literal_to_re("\"a\\\"b\""), "a\\\"b");
  EXPECT_EQ(literal_to_re("\"\\xe0>\""), "\\xe0\\x3e");
  // Control characters and a leading "%" would not survive in a rule line.
  EXPECT_EQ(literal_to_re("\"a\\x01\\x00b\""), "a\\x01\\x00b");
  EXPECT_EQ(literal_to_re("\"%%\""), "\\%%");
  EXPECT_EQ(literal_to_re("\"%{\""), "\\%\\{");
  EXPECT_EQ(literal_to_re("\"a%\""), "a%");
}

// The scanner generator reads each literal pattern as exactly the literal's
// text.
TEST(LexPatterns, LiteralsMatchTheirText) {
  for (const char* literal :
       {"\"a b\"", "\"<=\"", "\"x.y\"", "\"{}()*+?[]/|$^\"", "\"\\n\\t\\\\\"", "'\\''", "\"a\\\"b\"",
        "\"\\\\\"", "\"\\\"\"", "\"\\xe0>\"", "\"a\\x01\\x00b\"", "\"%%\"", "\"%{\"", "\"#-\\\\n\""}) {
    const std::string pattern = literal_to_re(literal);
    std::size_t pos = 0;
    const std::string re = lexgen::expand_pattern(*lexgen::translate_pattern(pattern, pos, {}, true, 1), 1);
    EXPECT_EQ(pos, pattern.size()) << literal;
    const std::string quoted = literal;
    const std::string text = decode_string(quoted.substr(1, quoted.size() - 2));
    const reflex::Pattern compiled("(?m)(" + re + ")");
    reflex::Matcher m(compiled, text);
    EXPECT_EQ(m.scan(), 1u) << literal << " as " << re;
    EXPECT_EQ(m.str(), text) << literal << " as " << re;
  }
}

TEST(LexPatterns, RawStringsAreWrittenAsTheirBody) {
  auto re = [](const std::string& p) {
    std::ostringstream out;
    print_re(out, p);
    return out.str();
  };
  EXPECT_EQ(re("R\"(a b)\""), "a\\ b");
  EXPECT_EQ(re("R\"xx(a)b)xx\""), "a)b");
  EXPECT_EQ(re("R\"x(a\tb)x\""), "a\\tb");
  // Any delimiter C++ allows.
  EXPECT_EQ(re("R\"xy(a b)xy\""), "a\\ b");
  // Delimiters that differ, or no parentheses at all: written as they stand.
  EXPECT_EQ(re("R\"xy(a)yx\""), "R\"xy(a)yx\"");
  EXPECT_EQ(re("R\"x(a)y\""), "R\"x(a)y\"");
  EXPECT_EQ(re("R\"abc"), "R\"abc");
  EXPECT_EQ(re("R\")(\""), "R\")(\"");
  EXPECT_EQ(re("R\""), "R\"");
  EXPECT_EQ(re("[a b]"), "[a b]");
}

}  // namespace
