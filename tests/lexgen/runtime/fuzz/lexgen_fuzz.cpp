// Fuzz input: one byte of options, the regular expression up to the first
// NUL byte, then the text to scan. Checks that compiling never fails other
// than with regex_error, that scanning ends, that a token is non-empty,
// NUL-terminated and inside the input, that byte-at-a-time reading yields
// the same tokens as buffered reading, and that input/unput/less/more keep
// the matcher sound.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "reflex/matcher.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

std::vector<std::string> scan_all(reflex::Matcher& m, size_t text_size) {
  std::vector<std::string> out;
  for (size_t steps = 0;; ++steps) {
    check(steps <= text_size + 1);  // every step consumes a byte
    size_t r = m.scan();
    if (r != 0) {
      check(m.size() > 0 && m.size() <= text_size);
      check(m.text()[m.size()] == '\0');
      out.push_back(std::to_string(r) + ":" + m.str());
    } else if (m.at_end()) {
      check(m.input() == EOF);
      return out;
    } else {
      check(m.size() == 0);
      out.push_back("0:" + std::string(1, static_cast<char>(m.input())));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t options = data[0];
  const char* rest = reinterpret_cast<const char*>(data + 1);
  size_t n = size - 1;
  const void* nul = std::memchr(rest, 0, n);
  size_t regex_size = nul ? static_cast<size_t>(static_cast<const char*>(nul) - rest) : n;
  if (regex_size > 300) return 0;
  std::string regex(rest, regex_size);
  std::string text = nul ? std::string(rest + regex_size + 1, n - regex_size - 1) : std::string();
  if (options & 1) regex = "(?m)" + regex;

  std::unique_ptr<reflex::Pattern> pattern;
  try {
    pattern = std::make_unique<reflex::Pattern>(regex);
  } catch (const reflex::regex_error& e) {
    check(std::strlen(e.what()) > 0);
    return 0;
  }
  check(pattern->size() >= 1);

  reflex::Matcher buffered(*pattern, text);
  std::vector<std::string> want = scan_all(buffered, text.size());
  std::istringstream in(text);
  reflex::Matcher bytewise(*pattern, in);
  bytewise.interactive();
  check(scan_all(bytewise, text.size()) == want);

  // Editing operations chosen by the option bits and the token count.
  reflex::Matcher m(*pattern, text);
  for (size_t i = 0; i < 4 * text.size() + 8; ++i) {
    size_t r = m.scan();
    if (r == 0 && m.at_end()) break;
    switch (((options >> 1) + i * 7) % 5) {
      case 0:
        m.input();
        break;
      case 1:
        if (r) m.less(m.size() / 2 + 1);
        break;
      case 2:
        m.unput(static_cast<char>(i));
        m.input();
        break;
      case 3:
        m.more();
        break;
      default:
        if (!r) m.input();
        break;
    }
    check(m.text()[m.size()] == '\0');
    (void)m.lineno();
    (void)m.columno();
  }
  return 0;
}
