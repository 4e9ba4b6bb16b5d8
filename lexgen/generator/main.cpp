// lexgen [-o OUT.cpp] INPUT.lex: writes the C++ scanner for a description.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "check.hpp"
#include "emitter.hpp"
#include "lexfile.hpp"

namespace {

int usage() {
  std::cerr << "usage: lexgen [-o OUT.cpp] INPUT.lex" << std::endl;
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string output = "lex.yy.cpp";
  std::string input;
  bool have_input = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-o") == 0) {
      if (++i >= argc) return usage();
      output = argv[i];
    } else if (std::strncmp(argv[i], "-o", 2) == 0) {
      output = argv[i] + 2;
    } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
      return usage();
    } else if (have_input) {
      return usage();
    } else {
      input = argv[i];
      have_input = true;
    }
  }
  if (!have_input || output.empty()) return usage();

  std::ifstream in(input, std::ios::binary);
  if (!in) {
    std::cerr << input << ": cannot open file" << std::endl;
    return 1;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();

  std::string source;
  try {
    lexgen::LexFile lf = lexgen::read_lexfile(buffer.str());
    lexgen::check_patterns(lf);
    source = lexgen::emit_scanner(lf, input, output);
  } catch (const lexgen::LexError& e) {
    // No output is left behind, not even one from an earlier run.
    std::remove(output.c_str());
    std::cerr << input << ":" << e.line() << ": " << e.what() << std::endl;
    return 1;
  }

  // The output is written only once it is complete; a failed write leaves
  // no file behind.
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  if (out) out.write(source.data(), static_cast<std::streamsize>(source.size()));
  if (out) out.close();
  if (!out) {
    std::remove(output.c_str());
    std::cerr << output << ": cannot write file" << std::endl;
    return 1;
  }
  return 0;
}
