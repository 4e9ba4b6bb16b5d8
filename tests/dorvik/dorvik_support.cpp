#include "dorvik_support.hpp"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace dorvik_test {

scratch_dir::scratch_dir() {
  std::string pattern = (fs::temp_directory_path() / "dorvik-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a scratch directory");
  }
  path_ = pattern;
}

scratch_dir::~scratch_dir() {
  std::error_code ignored;
  // Tests may leave read-only directories behind; make them removable.
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

namespace {

// Reads what a child wrote into a scratch file, then removes the file.
std::string take_capture(const std::string &name) {
  std::string text = read_file(name);
  fs::remove(name);
  return text;
}

std::string make_capture() {
  std::string pattern = (fs::temp_directory_path() / "dorvik-out-XXXXXX").string();
  const int fd = mkstemp(pattern.data());
  if (fd < 0) {
    throw std::runtime_error("cannot create a capture file");
  }
  close(fd);
  return pattern;
}

} // namespace

run_result run(const std::vector<std::string> &argv, const fs::path &dir,
               const fs::path &out_file) {
  const std::string out_name = out_file.empty() ? make_capture() : out_file.string();
  const std::string err_name = make_capture();
  const pid_t pid = fork();
  if (pid < 0) {
    throw std::runtime_error("fork failed");
  }
  if (pid == 0) {
    const int out = open(out_name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_name.c_str(), O_WRONLY | O_TRUNC);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
        chdir(dir.c_str()) != 0) {
      _exit(127);
    }
    std::vector<char *> args;
    for (const std::string &a : argv) {
      args.push_back(const_cast<char *>(a.c_str()));
    }
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0) {
  }
  run_result result;
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  if (out_file.empty()) {
    result.out = take_capture(out_name);
  }
  result.err = take_capture(err_name);
  return result;
}

run_result run_dorvik(const std::vector<std::string> &args, const fs::path &dir) {
  std::vector<std::string> argv{DORVIK_BIN};
  argv.insert(argv.end(), args.begin(), args.end());
  return run(argv, dir);
}

void write_file(const fs::path &path, const std::string &text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

std::string read_file(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::set<std::string> list_dir(const fs::path &dir) {
  std::set<std::string> names;
  for (const auto &entry : fs::directory_iterator(dir)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::vector<std::string> split_lines(const std::string &text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> split_tabs(const std::string &line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos;
       start = tab + 1) {
    fields.push_back(line.substr(start, tab - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

} // namespace dorvik_test
