// Runs the veskan program in a directory of its own and collects its
// standard output, standard error and exit status.
#ifndef VESKAN_TEST_RUN_VESKAN_HPP
#define VESKAN_TEST_RUN_VESKAN_HPP 1

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct run_result {
  int status = -1; // exit status, or -1 when the program did not exit normally
  std::string out, err;
};

inline std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline bool file_exists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }

inline void write_file(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A fresh empty directory, removed with its contents at the end.
class temp_dir {
public:
  temp_dir() {
    char name[] = "/tmp/veskan_test.XXXXXX";
    path_ = mkdtemp(name);
  }
  ~temp_dir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  const std::string &path() const { return path_; }
  std::string operator/(const std::string &name) const { return path_ + "/" + name; }

private:
  std::string path_;
};

struct run_options {
  int stdin_fd = -1;   // standard input, /dev/null when -1
  int max_files = -1;  // limit of open descriptors, unchanged when -1
  long max_file_size = -1; // limit of the size of a file written, in bytes
  int user = -1;           // user and group id to run as, unchanged when -1
};

// Runs veskan with args in dir.
inline run_result run_veskan(const std::string &dir, const std::vector<std::string> &args,
                             run_options opt = {}) {
  std::string out = dir + "/.stdout", err = dir + "/.stderr";
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    int in = opt.stdin_fd >= 0 ? opt.stdin_fd : open("/dev/null", O_RDONLY);
    int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(o, 1);
    dup2(e, 2);
    for (int fd = 3; fd < 1024; ++fd) close(fd);
    if (opt.max_files > 0) {
      struct rlimit lim = {static_cast<rlim_t>(opt.max_files), static_cast<rlim_t>(opt.max_files)};
      setrlimit(RLIMIT_NOFILE, &lim);
    }
    if (opt.max_file_size >= 0) {
      struct rlimit lim = {static_cast<rlim_t>(opt.max_file_size),
                           static_cast<rlim_t>(opt.max_file_size)};
      setrlimit(RLIMIT_FSIZE, &lim);
    }
    if (opt.user >= 0 && (setgid(opt.user) != 0 || setuid(opt.user) != 0)) _exit(126);
    std::vector<char *> argv;
    std::string prog = VESKAN_BIN;
    argv.push_back(&prog[0]);
    std::vector<std::string> copy(args);
    for (std::string &a : copy) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    execv(prog.c_str(), argv.data());
    _exit(127);
  }
  run_result r;
  int ws = 0;
  waitpid(pid, &ws, 0);
  if (WIFEXITED(ws)) r.status = WEXITSTATUS(ws);
  r.out = read_file(out);
  r.err = read_file(err);
  unlink(out.c_str());
  unlink(err.c_str());
  return r;
}

#endif
