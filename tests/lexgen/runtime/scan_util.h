// Test helper: scans a whole input and lists the tokens as "rule:text";
// a byte that no rule matched appears as "0:byte" (consumed with input(),
// as a generated scanner's default action does).
#ifndef LEXGEN_TEST_SCAN_UTIL_H
#define LEXGEN_TEST_SCAN_UTIL_H

#include <string>
#include <vector>

#include "reflex/matcher.h"

inline std::vector<std::string> drain(reflex::Matcher& m) {
  std::vector<std::string> out;
  for (;;) {
    size_t r = m.scan();
    if (r != 0) {
      out.push_back(std::to_string(r) + ":" + m.str());
    } else if (m.at_end()) {
      return out;
    } else {
      out.push_back("0:" + std::string(1, static_cast<char>(m.input())));
    }
  }
}

inline std::vector<std::string> tokens(const reflex::Pattern& p, const reflex::Input& in) {
  reflex::Matcher m(p, in);
  return drain(m);
}

using Tokens = std::vector<std::string>;

#endif
