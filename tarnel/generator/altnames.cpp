#include "altnames.hpp"

#include <map>

#include "names.hpp"
#include "options.hpp"
#include "tables.hpp"

namespace {

// A literal's inner text as a double-quoted name of the grammar file; bytes
// of 127 and above are kept as they are.
std::string quoted_literal(const std::string& text) {
  return "\"" + encode_string(decode_string(text.substr(1, text.size() - 2)), 0) + "\"";
}

// The first of name, name_1, name_2, ... that no rule has taken yet.
// `taken_up_to` holds, for each name asked before, the suffix last found
// taken: names are only ever added while the pass runs, so the search goes on
// from there instead of trying _1, _2, ... again for every colliding rule.
std::string unique_name(const std::string& name, std::map<std::string, int>& taken_up_to) {
  int& k = taken_up_to[name];
  std::string candidate = k == 0 ? name : name + "_" + std::to_string(k);
  while (symbol_names.count(candidate)) candidate = name + "_" + std::to_string(++k);
  symbol_names.insert(candidate);
  return candidate;
}

}  // namespace

void gen_altnames() {
  std::map<std::string, int> taken_up_to;
  // Names the grammar file gives to other symbols: Bison's own, and T_<uid>
  // of the terminals (all of which sort before the rules, so their numbers
  // are known when the rules get their names). A rule named so gets name_1.
  for (const char* name : {"YYEOF", "YYerror", "YYUNDEF", "YYEMPTY", "YYACCEPT"})
    symbol_names.insert(name);
  for (auto& entry : symbols) {
    const std::string& text = entry.first;
    symbolinfo& info = entry.second;
    const char first = text.empty() ? '\0' : text[0];
    if (first == '\'') {
      info.altname = text;
      if (empty_type(info.type)) continue;
      info.altname = quoted_literal(text);
      info.uid = ++terminal_uid;
    } else if (first == '?') {
      info.altname = "\"" + encode_string(text, 0) + "\"";
      info.uid = ++terminal_uid;
    } else if (first == '"') {
      info.altname = quoted_literal(text);
      info.uid = ++terminal_uid;
    } else {
      info.altname = unique_name(encode_symbol(text), taken_up_to);
    }
    if (info.uid != 0) symbol_names.insert("T_" + std::to_string(info.uid));
  }
}
