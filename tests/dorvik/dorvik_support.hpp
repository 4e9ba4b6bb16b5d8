// Helpers for the dorvik tests: scratch directories, files and running
// programs (dorvik itself, the compilers and gcov) in a given directory.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace dorvik_test {

namespace fs = std::filesystem;

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes away.
class scratch_dir {
public:
  scratch_dir();
  ~scratch_dir();
  scratch_dir(const scratch_dir &) = delete;
  scratch_dir &operator=(const scratch_dir &) = delete;

  const fs::path &path() const { return path_; }
  fs::path operator/(const std::string &name) const { return path_ / name; }

private:
  fs::path path_;
};

struct run_result {
  int status = -1; // exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs argv[0] (searched on PATH) with the given arguments in directory dir.
// When out_file is not empty, standard output goes to that file instead of
// being captured.
run_result run(const std::vector<std::string> &argv, const fs::path &dir,
               const fs::path &out_file = {});

// Runs dorvik in dir with the given arguments.
run_result run_dorvik(const std::vector<std::string> &args, const fs::path &dir);

void write_file(const fs::path &path, const std::string &text);
std::string read_file(const fs::path &path);

// Names of the entries of a directory.
std::set<std::string> list_dir(const fs::path &dir);

std::vector<std::string> split_lines(const std::string &text);
std::vector<std::string> split_tabs(const std::string &line);

} // namespace dorvik_test
