// Inputs on which every scan reads far ahead and fails, so that a scanner
// reads the same bytes again from each position: bounded repetitions that
// fail at their last byte, through reflex::Matcher over a string and
// through a generated scanner. Runs one case at one size, best of three,
// and prints the time in seconds and the peak memory of the process in MB:
//
//   lexgen_hard_inputs CASE SCALE
//
// hard_inputs.sh runs every case at 1x and 4x, each in a process of its own.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <streambuf>
#include <string>

#include "reflex/matcher.h"

// In repeat.lex: scans the input with the generated scanner whose only rule
// is a{1000}, writing what its default action copies to out.
std::size_t repeat_scan(const reflex::Input& input, std::ostream& out);

namespace {

struct Case {
  const char* name;
  const char* regex;  // nullptr: the generated scanner
  std::string unit;   // repeated `times` times at 1x
  int times;
};

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

const Case cases[] = {
    {"a{1000}", "(?m)(a{1000})", std::string(999, 'a') + "b", 8},
    {"a{100}", "(?m)(a{100})", std::string(99, 'a') + "b", 800},
    {"[a-z]{1,300}!", "(?m)([a-z]{1,300}!)|([a-z])|(.)|(\\n)", std::string(250, 'q') + " ", 200},
    {"generated a{1000}", nullptr, std::string(999, 'a') + "b", 16},
};

// Discards what is written to it.
class NullBuf : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

size_t scan(const Case& c, const std::string& text) {
  if (!c.regex) {
    NullBuf sink;
    std::ostream out(&sink);
    return repeat_scan(text, out);
  }
  static const reflex::Pattern pattern(c.regex);
  reflex::Matcher m(pattern, text);
  size_t tokens = 0;
  for (;;) {
    if (m.scan() != 0)
      ++tokens;
    else if (m.at_end())
      break;
    else
      m.input();
  }
  return tokens;
}

}  // namespace

int main(int argc, char** argv) {
  const Case* c = nullptr;
  for (const Case& k : cases)
    if (argc == 3 && std::strcmp(argv[1], k.name) == 0) c = &k;
  if (!c) {
    std::fprintf(stderr, "usage: lexgen_hard_inputs CASE SCALE, with CASE one of:");
    for (const Case& k : cases) std::fprintf(stderr, " '%s'", k.name);
    std::fprintf(stderr, "\n");
    return 2;
  }
  const std::string text = repeat(c->unit, c->times * std::atoi(argv[2]));
  double best = 1e9;
  size_t tokens = 0;
  for (int run = 0; run < 3; ++run) {
    const auto start = std::chrono::steady_clock::now();
    tokens += scan(*c, text);
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%.4f %.1f %zu\n", best, static_cast<double>(usage.ru_maxrss) / 1024, tokens / 3);
  return 0;
}
