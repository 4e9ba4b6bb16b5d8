// lexgen [-o OUT.cpp] INPUT.lex: writes the C++ scanner for a description.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <new>
#include <string>

#include "check.hpp"
#include "emitter.hpp"
#include "lexfile.hpp"

namespace {

int usage() {
  std::cerr << "usage: lexgen [-o OUT.cpp] INPUT.lex" << std::endl;
  return 1;
}

// The rest of f into text, then closes f; false on a read error (a
// directory opens but cannot be read).
bool read_all(std::FILE* f, std::string& text) {
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, got);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
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

  // On an error no output is left behind, not even one from an earlier run.
  auto fail = [&](const std::string& message) {
    std::remove(output.c_str());
    std::cerr << message << std::endl;
    return 1;
  };
  std::FILE* in = std::fopen(input.c_str(), "rb");
  if (!in) return fail(input + ": cannot open file");
  std::string text;
  if (!read_all(in, text)) return fail(input + ": cannot read file");

  std::string source;
  try {
    lexgen::LexFile lf = lexgen::read_lexfile(text);
    lexgen::check_patterns(lf);
    source = lexgen::emit_scanner(lf, input, output);
  } catch (const lexgen::LexError& e) {
    return fail(input + ":" + std::to_string(e.line()) + ": " + e.what());
  } catch (const std::bad_alloc&) {
    return fail(input + ": out of memory");
  } catch (const std::exception& e) {
    return fail(input + ": " + e.what());
  }

  // The output is written only once it is complete; a failed write leaves
  // no file behind.
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  if (out) out.write(source.data(), static_cast<std::streamsize>(source.size()));
  if (out) out.close();
  if (!out) return fail(output + ": cannot write file");
  return 0;
}
