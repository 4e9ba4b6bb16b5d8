// Writes the C++ scanner source for a parsed description.
#ifndef LEXGEN_EMITTER_HPP
#define LEXGEN_EMITTER_HPP

#include <string>

#include "lexfile.hpp"

namespace lexgen {

// What every start condition's regex starts with: "(?m)", or "(?mi)" with
// case-insensitive.
std::string regex_prefix(const LexFile& lf);
// The regex of start condition `state`: the prefix and the rules active in
// it, each as a top-level group, in file order.
std::string state_regex(const LexFile& lf, int state);

// The whole scanner source. `input` and `output` are the file names used in
// #line directives. Throws LexError when a "|" action has no rule to fall
// through to.
std::string emit_scanner(const LexFile& lf, const std::string& input,
                         const std::string& output);

}  // namespace lexgen

#endif
