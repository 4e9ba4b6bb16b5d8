#include "run_tarnel.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

std::set<std::string> names_in(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') names.insert(e->d_name);
    closedir(d);
  }
  return names;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string scratch_folder(const std::string& name) {
  struct Root {
    std::string path = testing::TempDir() + "tarnel_test_XXXXXX";
    Root() {
      if (!mkdtemp(&path[0])) throw std::runtime_error("mkdtemp failed");
    }
    ~Root() { std::system(("rm -rf '" + path + "'").c_str()); }
  };
  static Root root;
  const std::string dir = root.path + "/" + name;
  std::system(("rm -rf '" + dir + "'").c_str());
  mkdir(dir.c_str(), 0700);
  return dir;
}

namespace {

// A scratch directory for the child's standard streams.
std::string scratch_dir() {
  char templ[] = "/tmp/tarnel_run_XXXXXX";
  if (!mkdtemp(templ)) throw std::runtime_error("mkdtemp failed");
  return templ;
}

std::vector<std::string> child_environment(bool leaks) {
  std::vector<std::string> env;
  std::string asan = leaks ? "ASAN_OPTIONS=detect_leaks=1" : "ASAN_OPTIONS=detect_leaks=0";
  for (char** e = environ; *e; ++e) {
    std::string v = *e;
    if (v.compare(0, 13, "ASAN_OPTIONS=") == 0)
      asan += ":" + v.substr(13);
    else
      env.push_back(v);
  }
  env.push_back(asan);
  return env;
}

std::vector<char*> pointers(std::vector<std::string>& v) {
  std::vector<char*> p;
  for (std::string& s : v) p.push_back(&s[0]);
  p.push_back(nullptr);
  return p;
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::string& dir, const std::string& input, bool leaks) {
  const std::string scratch = scratch_dir();
  const std::string in = scratch + "/in", out = scratch + "/out", err = scratch + "/err";
  write_file(in, input);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());

  std::vector<std::string> argv_s{program};
  argv_s.insert(argv_s.end(), args.begin(), args.end());
  std::vector<std::string> env_s = child_environment(leaks);
  std::vector<char*> argv = pointers(argv_s), env = pointers(env_s);

  RunResult r;
  pid_t pid;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc == 0) {
    int ws = 0;
    waitpid(pid, &ws, 0);
    if (WIFEXITED(ws)) r.status = WEXITSTATUS(ws);
  }
  r.out = read_file(out);
  r.err = read_file(err);
  for (const std::string& f : {in, out, err}) unlink(f.c_str());
  rmdir(scratch.c_str());
  return r;
}

std::string wrong_own_line(const std::string& text, const std::string& file) {
  std::istringstream in(text);
  const std::string mark = " \"" + file + "\"";
  int number = 0, found = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (line.compare(0, 6, "#line ") != 0 || line.find(mark) == std::string::npos) continue;
    ++found;
    if (std::atoi(line.c_str() + 6) != number + 1) return "line " + std::to_string(number) + ": " + line;
  }
  return found ? "" : "no #line naming " + file;
}
