#include "checks.hpp"

#include <iostream>
#include <set>
#include <string>

#include "driver.hpp"
#include "elements.hpp"
#include "tables.hpp"
#include "walk.hpp"
#include "writer_parts.hpp"

namespace {

// Names that Bison defines itself, as "error" is: the tokens of the end of
// the input, of an error and of an undefined token, and the symbols for no
// token and for the start of the augmented grammar. A rule named so is
// refused by Bison or clashes in the parser it writes.
bool is_bison_name(const std::string& name) {
  static const std::set<std::string> names = {"YYEOF", "YYerror", "YYUNDEF", "YYEMPTY", "YYACCEPT"};
  return names.count(name) != 0;
}

}  // namespace

bool is_reserved_state_name(const std::string& name) {
  static const std::set<std::string> names = {
      // C++ keywords, alternative tokens included.
      "alignas", "alignof", "and", "and_eq", "asm", "auto", "bitand", "bitor", "bool", "break",
      "case", "catch", "char", "char8_t", "char16_t", "char32_t", "class", "compl", "concept",
      "const", "consteval", "constexpr", "constinit", "const_cast", "continue", "co_await",
      "co_return", "co_yield", "decltype", "default", "delete", "do", "double", "dynamic_cast",
      "else", "enum", "explicit", "export", "extern", "false", "float", "for", "friend", "goto",
      "if", "inline", "int", "long", "mutable", "namespace", "new", "noexcept", "not", "not_eq",
      "nullptr", "operator", "or", "or_eq", "private", "protected", "public", "register",
      "reinterpret_cast", "requires", "return", "short", "signed", "sizeof", "static",
      "static_assert", "static_cast", "struct", "switch", "template", "this", "thread_local",
      "throw", "true", "try", "typedef", "typeid", "typename", "union", "unsigned", "using",
      "virtual", "void", "volatile", "wchar_t", "while", "xor", "xor_eq",
      // Macros of the C library headers that a scanner includes.
      "NULL", "offsetof", "EOF", "BUFSIZ", "FILENAME_MAX", "FOPEN_MAX", "L_tmpnam", "TMP_MAX",
      "SEEK_SET", "SEEK_CUR", "SEEK_END", "stdin", "stdout", "stderr", "EXIT_SUCCESS",
      "EXIT_FAILURE", "RAND_MAX", "MB_CUR_MAX", "errno", "EDOM", "ERANGE", "EILSEQ", "assert",
      // Macros that the scanner's run-time headers define for actions (and
      // those beginning with yy or YY, below).
      "BEGIN", "ECHO",
      // Members of the lexer class, which hide a state's name in the
      // actions that switch to it (RE/flex's, which lexgen's has too).
      "text", "str", "wstr", "chr", "wchr", "size", "wsize", "lineno", "lines", "lineno_end",
      "columno", "columns", "columno_end", "chars", "words", "echo", "input", "winput", "unput",
      "wunput", "peek", "output", "in", "out", "matcher", "has_matcher", "new_matcher", "start",
      "push_state", "pop_state", "top_state", "states_empty", "wrap", "debug", "set_debug",
      "lexer_error", "switch_streams", "LexerInput", "LexerOutput", "LexerError", "Matcher",
      "filenames", "activefile",
      // Namespaces of the library, the scanner's run-time and the tree.
      "std", "reflex", "ast"};
  // Names with a double underscore, or an underscore and a capital letter
  // first, belong to the compiler and its library; those beginning with yy
  // or YY to the scanner and the parser (yylex, YYSTYPE, yyFlexLexer, ...),
  // and those ending in "_" to the lexer class's fields.
  if (name.find("__") != std::string::npos || name.back() == '_') return true;
  if (name.compare(0, 2, "yy") == 0 || name.compare(0, 2, "YY") == 0) return true;
  if (name.size() > 1 && name[0] == '_' && name[1] >= 'A' && name[1] <= 'Z') return true;
  return names.count(name) != 0;
}

void collect_defsymbols(ast::List<ast::Grule_domain*> grm) {
  for (ast::Grule_domain* g : grm) {
    auto r = dynamic_cast<ast::grmrule_node*>(g);
    if (!r) continue;
    if (is_bison_name(r->f1_) || !defined_symbols.insert(r->f1_).second)
      yyerror(&r->yyloc, "Redefined symbol " + r->f1_);
  }
}

void check_undefsymbols(ast::List<ast::Grule_domain*> grm) {
  for (ast::Grule_domain* g : grm)
    if (auto r = dynamic_cast<ast::grmrule_node*>(g)) check_undefsymbols(r->f2_);
}

namespace {

struct undefined_symbols : alternatives_pass<> {
  ast::List<ast::Xrule_domain*>* element(ast::Gelem_domain*& e, int, alt_state&, const context&,
                                         context&) {
    auto s = dynamic_cast<ast::symelem_node*>(e);
    if (!s) return group_alts(e);
    if (!defined_symbols.count(s->f1_)) yyerror(&s->yyloc, "Undefined symbol " + s->f1_);
    return nullptr;
  }
};

}  // namespace

void check_undefsymbols(ast::List<ast::Xrule_domain*> alts) {
  undefined_symbols pass;
  walk_alternatives(alts, {}, pass);
}

void collect_states(ast::List<ast::Lrule_domain*> lex) {
  for (ast::Lrule_domain* l : lex) {
    if (auto r = dynamic_cast<ast::lexrule_node*>(l)) {
      if (is_empty_pattern(r->f2_)) yyerror(&r->yyloc, "Empty pattern");
      for (const std::string& state : r->f1_) {
        if (state == "*" || state == "INITIAL") continue;
        if (is_reserved_state_name(state))
          yyerror(&r->yyloc, "Start state " + state + " is a reserved name");
        if (!lex_states.insert(state).second) continue;
        // RE/flex defines a macro for each start state, and a one-letter
        // macro breaks the headers that come after it.
        if (state.size() == 1)
          std::cerr << "Warning: start state " << state
                    << " is one letter long, which breaks the scanner with RE/flex" << std::endl;
      }
    } else if (auto init = dynamic_cast<ast::lexinit_node*>(l)) {
      lexinitcode = init->f1_;
    }
  }
}
