// The parsed form of a scanner description (".lex"): options, code blocks,
// start conditions, named patterns and rules, as lexgen reads them.
#ifndef LEXGEN_LEXFILE_HPP
#define LEXGEN_LEXFILE_HPP

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "pattern.hpp"

namespace lexgen {

// Code copied from the description; `line` is the line of its first line.
struct CodeBlock {
  std::string text;
  int line = 0;
};

struct StartCondition {
  std::string name;
  bool exclusive = false;
};

struct Rule {
  int line = 0;             // line of the pattern
  bool all_states = false;  // <*>
  std::vector<int> states;  // explicit state list; empty: the default set
  bool eof = false;         // <<EOF>>
  bool fall_through = false;  // action "|"
  std::string regex;        // the pattern at regex level (not for <<EOF>>)
  CodeBlock action;         // not for "|"
};

struct Options {
  bool bison_bridge = false;
  bool noline = false;
  bool yywrap = true;
  bool case_insensitive = false;
  bool interactive = false;
};

struct LexFile {
  Options options;
  std::vector<CodeBlock> top;     // %top blocks
  std::vector<CodeBlock> klass;   // %class blocks
  std::vector<CodeBlock> init;    // %init blocks
  std::vector<CodeBlock> code;    // %{ %} blocks and indented lines
  std::vector<StartCondition> states;  // [0] is INITIAL
  NamedPatterns named;
  bool has_initial_code = false;
  CodeBlock initial_code;
  std::vector<Rule> rules;
  bool has_user_code = false;
  CodeBlock user_code;  // section 3

  // Whether rule `r` is active in start condition `s`.
  bool active(const Rule& r, int s) const;
};

// Reads a description; throws LexError on a malformed one.
LexFile read_lexfile(const std::string& text);

}  // namespace lexgen

#endif
