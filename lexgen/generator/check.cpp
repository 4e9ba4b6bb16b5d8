#include "check.hpp"

#include <exception>
#include <string>

#include <reflex/pattern.h>

#include "emitter.hpp"

namespace lexgen {

namespace {

bool compiles(const std::string& regex, std::string& message) {
  try {
    reflex::Pattern pattern(regex);
    return true;
  } catch (const std::exception& e) {
    message = e.what();
    return false;
  }
}

}  // namespace

void check_patterns(const LexFile& lf) {
  const std::string prefix = regex_prefix(lf);
  std::string message;
  for (std::size_t s = 0; s < lf.states.size(); ++s) {
    // The length first, before the pattern is built.
    std::size_t size = prefix.size();
    for (const Rule& r : lf.rules) {
      if (r.eof || !lf.active(r, static_cast<int>(s))) continue;
      size += r.regex.size() + 3;  // "(", ")" and "|"
      if (size > max_pattern_size)
        throw LexError(r.line, "pattern of start condition " + lf.states[s].name +
                                   " too large: longer than " + std::to_string(max_pattern_size) +
                                   " bytes with this rule");
    }
    if (compiles(state_regex(lf, static_cast<int>(s)), message)) continue;
    // Find the rule to blame: the first one that fails on its own. When
    // none does (the rules are too many together), the start condition's
    // first rule.
    int first = 0;
    for (const Rule& r : lf.rules) {
      if (r.eof || !lf.active(r, static_cast<int>(s))) continue;
      if (first == 0) first = r.line;
      std::string own;
      if (!compiles(prefix + "(" + r.regex + ")", own)) throw LexError(r.line, "bad pattern: " + own);
    }
    throw LexError(first != 0 ? first : 1, "the rules of start condition " + lf.states[s].name + " together: " + message);
  }
}

}  // namespace lexgen
