// The corpus of the lexgen benchmarks: every .h file under /usr/include,
// concatenated in path order; without it, a generated C-like text of
// similar make-up.
#ifndef LEXGEN_BENCH_CORPUS_H
#define LEXGEN_BENCH_CORPUS_H

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string generated_corpus() {
  std::string s;
  for (int i = 0; s.size() < 64 * 1024 * 1024; ++i) {
    s += "/* Returns the " + std::to_string(i) + "th entry.\n * See below. */\n";
    s += "#define ENTRY_" + std::to_string(i) + " (0x" + std::to_string(i % 97) + "u << 2)\n";
    s += "extern int entry_" + std::to_string(i) + "(const char *name, size_t len); // lookup\n";
    s += "static const double scale_" + std::to_string(i) + " = 1.5e+3;\n\tif (a::b[i] <<= 'x') s = \"str\\n\";\n";
  }
  return s;
}

const std::string& corpus() {
  static const std::string text = [] {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    std::error_code ec;
    if (fs::is_directory("/usr/include", ec)) {
      for (fs::recursive_directory_iterator it("/usr/include", fs::directory_options::skip_permission_denied, ec), end;
           it != end; it.increment(ec)) {
        if (ec) break;
        if (it->path().extension() == ".h" && it->is_regular_file(ec)) files.push_back(it->path());
      }
    }
    std::sort(files.begin(), files.end());
    std::string all;
    for (const fs::path& f : files) {
      std::ifstream in(f, std::ios::binary);
      std::ostringstream ss;
      ss << in.rdbuf();
      all += ss.str();
    }
    return all.size() > 1024 * 1024 ? all : generated_corpus();
  }();
  return text;
}

}  // namespace

#endif
