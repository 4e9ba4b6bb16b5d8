#include "altnames.hpp"

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
std::string unique_name(const std::string& name) {
  std::string candidate = name;
  for (int k = 1; symbol_names.count(candidate); ++k) candidate = name + "_" + std::to_string(k);
  symbol_names.insert(candidate);
  return candidate;
}

}  // namespace

void gen_altnames() {
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
      info.altname = unique_name(encode_symbol(text));
    }
  }
}
