// Pieces of the output writers (writers.hpp) that are useful on their own:
// the lexer rules and patterns of the ".lex", the ownership test of the
// ".grm" and the value-union member types of the ".hpp".
#pragma once

#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "options.hpp"
#include "tables.hpp"
#include "tarnel.hpp"

// The rules of the lexer section, one line each (the initialisation block is
// skipped).
void gen_lexrules(std::ostream& out, ast::List<ast::Lrule_domain*> lex);
// Writes one pattern; a raw string literal R"d(...)d" is written as its body
// with blanks escaped.
void print_re(std::ostream& out, std::string pattern);
// Whether print_re writes nothing for the pattern (an empty raw string):
// no scanner generator takes a rule or definition without a pattern.
bool is_empty_pattern(const std::string& pattern);
// The "%code lex" blocks as the ".lex" carries them in its definitions, each
// on lines of its own (ending in a newline unless empty). The scanner
// generator copies an indented line there as C++ code, so the blanks after
// the "%{" of a block are dropped when text follows them on that line: it
// reads as it does on a line of its own (a named pattern, a directive).
std::vector<std::string> lex_code_blocks();
// The pattern that matches a quoted terminal literally.
std::string literal_to_re(const std::string& literal);
// Sets return_field from the terminals that a lexer code action returns;
// fatal when they carry different value types.
void find_return_field(ast::List<ast::Code_domain*> code);

// Whether a value of this type owns something that ast::destroy releases.
bool need_destroy(const std::string& type);

// The declared type of a member of the value union YYSTYPE.
std::string to_field_type(const std::string& type);

// Shared by the writers.

// The path of the output file of base name `name` with extension `ext`, as
// it is written: the "-o" prefix, the name and the extension.
inline std::string output_path(const std::string& name, const std::string& ext) {
  return filepath + name + ext;
}
// The generated header as the other generated files include it: the last
// path component of the output prefix and the base name, and ".hpp".
std::string header_include(const std::string& name);
// The include guard of the generated header of base name `name`: the name
// upper-cased, with "_H" after it.
std::string guard_name(const std::string& name);

// Writes fixed lines, each followed by a newline.
inline void write_lines(std::ostream& out, std::initializer_list<const char*> lines) {
  for (const char* line : lines) out << line << "\n";
}
// With "%using", the tree classes of the used descriptions (written with
// option ast) are theirs: this description writes, prints and visits only the
// node kinds it declares in its own "%type" lines and the domains that hold
// them, and its nodes carry no source range, as theirs carry none.
bool own_kind(const nodeinfo& info);
bool own_domain(const domaininfo& domain);
// Whether nodes carry a source range: with option locations, in a
// description that neither uses a tree nor is one (option ast), since a
// reader of a tree cannot tell whether its root class has a range.
bool node_locations();
// The number of fields of a node kind.
inline std::size_t field_count(const nodeinfo& info) {
  return info.node_types.empty() ? 0 : info.node_types.size() - 1;
}
// The YYSTYPE member number of a value type; 0 for no value.
int member_of(const std::string& type);
// What stands for a terminal in code: its token number, or for a character
// token without value its quoted character.
inline std::string token_of(const symbolinfo& info) {
  return info.uid > 0 ? std::to_string(info.uid) : info.altname;
}
// The record of a terminal named in code (after "token", or "return" in the
// lexer section); fatal when the grammar does not use it.
const symbolinfo& code_terminal(ast::token_node* token);
