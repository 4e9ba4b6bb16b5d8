// Compiles the patterns of a description once, so that a bad pattern is
// reported by lexgen at its line rather than by the scanner at run time.
#ifndef LEXGEN_CHECK_HPP
#define LEXGEN_CHECK_HPP

#include "lexfile.hpp"

namespace lexgen {

// Throws LexError at the line of the first rule or named pattern whose
// pattern the run-time library rejects, of the rule that makes the pattern
// of a start condition longer than max_pattern_size, or of the first rule
// of a start condition whose rules the library rejects only together (too
// many DFA states).
void check_patterns(const LexFile& lf);

}  // namespace lexgen

#endif
