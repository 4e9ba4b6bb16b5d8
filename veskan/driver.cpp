// veskan's command line, input listing, watchdog and summary output.
#include "driver.hpp"

#include "decls.hpp"
#include "safe_output.hpp"
#include "scanner.hpp"
#include "tables.hpp"
#include "tokens.hpp"

#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <mutex>
#include <regex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

std::string outname;
std::string frompath;
std::vector<std::string> apifiles;
std::vector<std::string> fromfiles;

std::vector<std::string> regex_split(const std::string &text, const std::string &sep) {
  std::vector<std::string> pieces;
  std::regex re(sep);
  size_t pos = 0;
  bool matched = false;
  for (std::sregex_iterator it(text.begin(), text.end(), re), e; it != e; ++it) {
    matched = true;
    pieces.push_back(text.substr(pos, it->position() - pos));
    pos = it->position() + it->length();
  }
  if (!matched || pos < text.size()) pieces.push_back(text.substr(pos));
  return pieces;
}

// The debug level after "-d": a decimal number with optional leading
// blanks and sign, trailing text ignored; no number or one out of range
// is level 0.
static int debug_level(const char *text) {
  char *end = nullptr;
  errno = 0;
  long v = std::strtol(text, &end, 10);
  if (end == text || errno == ERANGE || v < INT_MIN || v > INT_MAX) return 0;
  return static_cast<int>(v);
}

void get_args(int argc, char **argv) {
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    if (arg[0] != '-') {
      fromfiles.push_back(frompath.empty() ? std::string(arg) : frompath + "/" + arg);
      continue;
    }
    char opt = arg[1];
    if (opt == 'o' || opt == 'p' || opt == 'a') {
      if (i + 1 >= argc) yyerror(std::string("Option -") + opt + " needs a value");
      std::string value = argv[++i];
      if (opt == 'o') outname = value;
      else if (opt == 'p') frompath = value;
      else apifiles = regex_split(value, ";");
    } else if (opt == 'd') {
      yydebug_flag = debug_level(arg + 2);
    }
  }
}

void list_directory() {
  std::string dir = frompath.empty() ? "." : frompath;
  DIR *d = opendir(dir.c_str());
  if (!d) yyerror("Can't open directory " + dir);
  std::vector<std::string> hdrs, srcs;
  while (struct dirent *entry = readdir(d)) {
    std::string path = dir + "/" + entry->d_name;
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (std::regex_search(path, hdr_re)) hdrs.push_back(path);
    else if (std::regex_search(path, src_re)) srcs.push_back(path);
  }
  closedir(d);
  fromfiles.insert(fromfiles.end(), hdrs.begin(), hdrs.end());
  fromfiles.insert(fromfiles.end(), srcs.begin(), srcs.end());
}

void read_apifiles() {
  for (const std::string &name : apifiles) {
    std::ifstream in(name);
    if (in) read_summary(in);
  }
}

void scan_file(const std::string &path) {
  // The name tests of c_re ("\\.[hc]$") and unittest_re ("_unittest\\.cpp$"),
  // without a regular expression search per file.
  inplang_c = ends_with(path, ".h") || ends_with(path, ".c");
  yyparse_file(path.c_str(), true); // with the preprocessor scan
  if (!ends_with(path, "_unittest.cpp")) trace_decl();
  free_list();
}

// The watchdog. Its state is allocated once and never freed, because the
// thread may still wait on it while the process ends. The lock orders the
// watchdog's end of the process against the summary's move into place: the
// run either ends by the time limit with no new summary, or the summary is
// complete and the watchdog stands down.
namespace {
struct watchdog_state {
  std::mutex lock;
  std::condition_variable wake;
  bool finished = false;
};

watchdog_state &watch() {
  static watchdog_state *state = new watchdog_state;
  return *state;
}

const std::chrono::milliseconds time_limit(5000);

void watchdog(std::chrono::steady_clock::time_point deadline) {
  watchdog_state &w = watch();
  std::unique_lock<std::mutex> hold(w.lock);
  if (w.wake.wait_until(hold, deadline, [&w] { return w.finished; })) return;
  safe_output::remove_temporaries(); // the summary being written
  static const char msg[] = "Time limit of 5000 ms exceeded\n";
  ssize_t n = write(STDERR_FILENO, msg, sizeof msg - 1);
  (void)n;
  std::_Exit(1); // no destructors: the main thread may still be using the tables
}
} // namespace

void start_watchdog() {
  watch();
  // The thread keeps SIGINT, SIGTERM, SIGHUP and SIGQUIT blocked, so that
  // they reach the main thread: there the output writer's handler removes
  // the summary's temporary, and never runs while the temporary is being
  // recorded (see safe_output.hpp).
  safe_output::signals_blocked hold;
  std::thread(watchdog, std::chrono::steady_clock::now() + time_limit).detach();
}

// Runs the last step of the run under the watchdog's lock and marks the run
// as finished: the watchdog cannot end the process in between.
template <typename Step> static void finish_run(Step last_step) {
  watchdog_state &w = watch();
  {
    std::lock_guard<std::mutex> hold(w.lock);
    last_step();
    w.finished = true;
  }
  w.wake.notify_all();
}

// A summary written over one of the scanned sources (or over the standard
// input read for an empty file name) would destroy it. The sources are
// known by what the system told when they were opened.
static void check_not_an_input(const std::string &name) {
  const safe_output::file_id out = safe_output::identify(name);
  // A new file cannot be a source, and a device holds nothing to lose.
  if (!out.regular) return;
  for (const std::pair<dev_t, ino_t> &source : scanned_files)
    if (source.first == out.dev && source.second == out.ino)
      yyerror("Output file " + name + " is an input");
}

void write_summary_file() {
  if (outname.empty()) outname = frompath.empty() ? "project.api" : frompath + "/project.api";
  check_not_an_input(outname);
  // The summary goes to a temporary beside the file (see safe_output.hpp),
  // which the watchdog removes when time runs out; it is put in place only
  // when it is complete, so a failed or cut-short run leaves an earlier
  // summary as it was.
  safe_output::output_file out(outname);
  bool ok;
  {
    // Opening does not wait (a pipe with no reader fails); writing to a pipe
    // waits while it is not read, and is not done under the lock, so that the
    // time limit still ends the run.
    std::lock_guard<std::mutex> hold(watch().lock);
    ok = out.open();
  }
  if (ok) {
    write_summary(out.stream());
    out.stream().flush();
  }
  finish_run([&] {
    ok = ok && out.close() && out.commit();
    out.discard();
  });
  if (!ok) yyerror("Can't write file " + outname);
}
