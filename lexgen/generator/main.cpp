// lexgen [-o OUT.cpp] INPUT.lex: writes the C++ scanner for a description.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>
#include <string>

#include "check.hpp"
#include "emitter.hpp"
#include "lexfile.hpp"
#include "safe_output.hpp"

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

  // An output that is the input (the same file by device and inode, through
  // any link or spelling, or the same name when neither exists) would
  // destroy the description: refused before anything is read or written.
  const safe_output::file_id out_id = safe_output::identify(output);
  if (out_id.can_hold_an_input() && out_id == safe_output::identify(input)) {
    std::cerr << output << ": output file is the input" << std::endl;
    return 1;
  }

  // On an error in the description no output is left behind, not even one
  // from an earlier run, for a build to pick up: the output is removed when
  // it is a regular file, by its name or at the end of its symbolic links.
  // What a descriptor leads to (/dev/stdout), devices, pipes and folders are
  // left alone (see safe_output.hpp); an output that is the input never gets
  // here.
  auto fail = [&](const std::string& message) {
    safe_output::remove_output(output);
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

  // The new text replaces the output only once it is written whole (see
  // safe_output.hpp): a failed write leaves an earlier output as it was.
  std::string failed;
  if (!safe_output::write_files({{output, source}}, failed)) {
    std::cerr << output << ": cannot write file" << std::endl;
    return 1;
  }
  return 0;
}
