// Translation of lex-level patterns (quoted text, {NAME} references,
// trailing context) into the regex level that reflex::Pattern accepts.
#ifndef LEXGEN_PATTERN_HPP
#define LEXGEN_PATTERN_HPP

#include <cstddef>
#include <map>
#include <string>

namespace lexgen {

// Translates the pattern that starts at text[pos] and ends at the first
// blank or tab outside quotes, brackets and \Q...\E, or at the end of the
// text; pos is left on that blank (or at the end). `named` maps the names of
// earlier named patterns to their regex. Trailing context ("/") is allowed
// only when `rule` is true (a rule, not a named pattern). Throws LexError
// (at `line`) on a malformed pattern.
std::string translate_pattern(const std::string& text, std::size_t& pos,
                              const std::map<std::string, std::string>& named,
                              bool rule, int line);

// Whether c may appear in the name of a named pattern or start condition.
bool is_name_char(char c);
bool is_name_start(char c);

}  // namespace lexgen

#endif
