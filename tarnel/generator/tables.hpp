// Records and process-wide tables in which the generator keeps what it learns
// about one description file. The per-file reset (set_input, options.hpp)
// empties them; every pass reads and fills them.
#pragma once

#include <cstddef>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The reader's generated header: the syntax tree, and the runtime it carries
// (which is why the generator does not include ast_runtime.hpp, whose
// printing templates would be defined twice).
#include "tarnel.hpp"

// The description's AST classes; the tables only point at nodes that the tree
// owns.
namespace ast {
struct Code_domain;
struct Grule_domain;
}  // namespace ast

// One grammar symbol: a terminal, a rule name or a rule made by a rewriting
// pass.
struct symbolinfo {
  std::string altname;                // name in the generated files
  int uid = 0;                        // token number of a terminal, 0 for none
  std::string type;                   // value type text; "" or "?" for none
  ast::Grule_domain* rule = nullptr;  // the rule that defines the symbol
  int has_value = 0;                  // the rule must deliver a value
  std::vector<std::pair<std::string, int>> uses;   // type inference pairs
  std::vector<std::pair<std::string, int>> links;  // type inference pairs
};

// A constant named in a "%type" line that is not a rule name.
struct constinfo {
  std::string type;
};

// An AST domain: the node kinds assigned to it, in name order.
struct domaininfo {
  std::set<std::string> node_set;
};

// An AST node kind.
struct nodeinfo {
  // Entry 0 the domain (result type), entries 1..n the field types.
  std::vector<std::string> node_types;
  // Rules whose alternatives build their value with this kind, in order met.
  std::vector<std::string> node_names;
  // Declared with a trailing "?": the user supplies the factory.
  bool user_factory = false;
  // Declared in a "%type" line (not only built by actions).
  bool declared = false;

  explicit nodeinfo(int n = 0) : node_types(n > 0 ? n : 0) {}
};

// One operator of a "%operator" declaration.
struct operinfo {
  std::string name;  // normalized terminal text
  std::string kind;  // "xfx", "xfy", "yfx", "fx", "fy", "xf", "yf" or as written
  int priority;      // ordinal of the declaration, 1 for the first

  operinfo(const std::string& name, const std::string& kind, int priority)
      : name(name), kind(kind), priority(priority) {}
};

// A named regular expression of the declarations section.
struct lexdefinfo {
  std::string name;
  std::string re;

  lexdefinfo(const std::string& name, const std::string& re) : name(name), re(re) {}
};

extern std::map<std::string, symbolinfo> symbols;  // holds "error" after the reset
extern std::map<std::string, constinfo> consts;
extern std::map<std::string, domaininfo> domains;
extern std::map<std::string, nodeinfo> nodes;
extern std::vector<operinfo> opers;                // declaration order
extern std::vector<lexdefinfo> lexdefs;            // declaration order
extern std::set<std::string> defined_symbols;      // holds "error" after the reset
extern std::set<std::string> symbol_names;         // output names of rules taken
extern std::set<std::string> lex_states;
extern std::map<std::string, int> union_fields;    // value type -> member number
// For each encoded base name, the suffix at which new_symbol found a free
// name last; names are only ever taken during a file, so its next search for
// that base starts there.
extern std::map<std::string, int> new_symbol_suffixes;
extern const std::set<std::string> builtin_types;  // never changes
// (using_list, the "%using" names, lives with the options in options.hpp.)

// Code blocks by destination and the lexer's initialisation code. They share
// their cells with the description tree and own nothing; empty them by
// assigning nullptr, never with ast::destroy.
extern ast::List<ast::Code_domain*> hcode;
extern ast::List<ast::Code_domain*> topcode;
extern ast::List<ast::Code_domain*> bottomcode;
extern ast::List<ast::Code_domain*> grmcode;
extern ast::List<ast::Code_domain*> lexcode;
// The "%code lex" blocks one by one, in order (lexcode joins them): each is
// written on lines of its own.
extern std::vector<ast::List<ast::Code_domain*>> lexcode_blocks;
extern ast::List<ast::Code_domain*> lexinitcode;
// Grammar rules made by the rewriting passes.
extern ast::List<ast::Grule_domain*> new_rules;

// Positional references "$<digits>" and "$$".
extern const std::regex ref_re;
// Named references "$name" and "$[name]" (group 1: all after "$"; group 2:
// the bracketed name without its brackets).
extern const std::regex xref_re;

// Inserts `name` with `type` when absent; an existing entry keeps its type.
void add_symbol(const std::string& name, const std::string& type);
void add_constant(const std::string& name, const std::string& type);

// A reference found in a text by find_ref or find_xref.
struct ref_match {
  std::size_t pos = 0;     // offset of the "$"
  std::size_t len = 0;     // length of the whole reference, "$" included
  bool bracketed = false;  // "$[...]": the name is text.substr(pos + 2, len - 3)
};

// Hand-written equivalents of searching with ref_re and xref_re: the first
// reference at or after `from`, exactly where and as long as the pattern's
// match would be. They use no recursion, so long texts are safe (the regex
// engine overflows the stack on references of some ten thousand letters).
bool find_ref(const std::string& text, std::size_t from, ref_match& m);
bool find_xref(const std::string& text, std::size_t from, ref_match& m);

// find_xref for a text searched from left to right, one reference after the
// other. It remembers how far it looked for the end of a quoted "$['...']",
// so a text full of "$['" that never close is read once, not once for each.
class xref_finder {
 public:
  explicit xref_finder(const std::string& text);
  bool find(std::size_t from, ref_match& m);

 private:
  // Given the position after "$[", the position after the closing "]", or
  // npos when no bracketed name starts there. A quoted name ends at the
  // first closing quote that is directly followed by "]" (the lazy match).
  std::size_t bracket_end(std::size_t k);

  // The last search for a closing quote of one kind followed by "]": from
  // `from`, it stopped at `to`, on such a quote when `found`, else at a line
  // break or the end of the text. A later search starting in between ends
  // the same way.
  struct scan {
    std::size_t from = std::string::npos, to = 0;
    bool found = false;
  };
  const std::string& text_;
  scan scans_[3];  // "'", '"', '?'
};
