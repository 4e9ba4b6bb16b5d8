// Runs the tarnel program as a user does: arguments, standard input, and the
// captured standard output, standard error and exit status.
#pragma once

#include <set>
#include <string>
#include <vector>

struct RunResult {
  int status = -1;  // exit status, or -1 when the program did not exit
  std::string out;
  std::string err;
};

// Runs `program` with `args` in directory `dir`, feeding it `input`.
// Leak reports of a sanitizer build are switched off for the child unless
// `leaks` is set (a reported leak then ends it with a status other than
// 0 or 1): tarnel's own parser still keeps texts that its code actions take
// from the elements (see tarnel.tn).
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::string& dir, const std::string& input = "",
                      bool leaks = false);

// A fresh, empty folder `name` inside a folder of this process's own (made
// with a unique name under the temporary folder, removed when the process
// ends): two runs of the suite at once never share files.
std::string scratch_folder(const std::string& name);

// The names in folder `dir`, those beginning with "." left out.
std::set<std::string> names_in(const std::string& dir);

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& text);

// Checks the #line directives of a generated file `text` that name `file`
// itself: each must give the line after it its own number. The first wrong
// directive, or "" when all are right and there is at least one.
std::string wrong_own_line(const std::string& text, const std::string& file);
