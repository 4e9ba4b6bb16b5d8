// Runs the tarnel program as a user does: arguments, standard input, and the
// captured standard output, standard error and exit status.
#pragma once

#include <string>
#include <vector>

struct RunResult {
  int status = -1;  // exit status, or -1 when the program did not exit
  std::string out;
  std::string err;
};

// Runs `program` with `args` in directory `dir`, feeding it `input`.
// Leak reports of a sanitizer build are switched off for the child: the
// parser releases the texts it discards through the generic ast::destroy,
// which keeps them (see tarnel.grm).
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::string& dir, const std::string& input = "");

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& text);
