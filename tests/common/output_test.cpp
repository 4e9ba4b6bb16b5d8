// The output files of all four programs, run end to end: an output that
// names a descriptor, a file written in place from memory, the owner of a
// replaced file, signals while the temporaries exist, a FIFO that nobody
// reads and names too long for a temporary's suffix. Each case checks the
// exit status, the message and every file as it was. Cases that need another
// user run only as root (as CI does), through setpriv.
#include <gtest/gtest.h>

#include "run_tarnel.hpp"  // read_file, write_file

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

// A fresh folder that another user may enter, removed at the end.
class folder {
 public:
  folder() {
    char templ[] = "/tmp/output_test.XXXXXX";
    path_ = mkdtemp(templ);
    chmod(path_.c_str(), 0755);
  }
  ~folder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

struct launch {
  int in = -1, out = -1;  // standard input and output, /dev/null when -1
  int fd5 = -1;           // a descriptor handed over as number 5
  long max_file_size = -1;
  long max_memory = -1;  // address space, in bytes
  bool as_nobody = false;  // run through setpriv as nobody:nogroup
};

struct outcome {
  int status = -1;  // exit status, -1 when ended by a signal
  int signal = 0;
  std::string err;
};

pid_t start(std::vector<std::string> argv, const std::string& dir, const launch& how) {
  if (how.as_nobody)
    argv.insert(argv.begin(), {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"});
  const std::string err = dir + "/.err";
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    const int null = open("/dev/null", O_RDWR);
    const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(how.in >= 0 ? how.in : null, 0);
    dup2(how.out >= 0 ? how.out : null, 1);
    dup2(e, 2);
    if (how.fd5 >= 0) dup2(how.fd5, 5);
    for (int fd = 3; fd < 1024; ++fd)
      if (fd != 5 || how.fd5 < 0) close(fd);
    // tarnel's parser keeps texts its actions took; a sanitizer build would
    // report them as leaks (see run_tarnel.hpp).
    const char* asan = std::getenv("ASAN_OPTIONS");
    setenv("ASAN_OPTIONS", ((asan ? std::string(asan) + ":" : "") + "detect_leaks=0").c_str(), 1);
    if (how.max_file_size >= 0) {
      const rlim_t n = static_cast<rlim_t>(how.max_file_size);
      struct rlimit limit = {n, n};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (how.max_memory >= 0) {
      const rlim_t n = static_cast<rlim_t>(how.max_memory);
      struct rlimit limit = {n, n};
      setrlimit(RLIMIT_AS, &limit);
    }
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(&a[0]);
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid;
}

outcome finish(pid_t pid, const std::string& dir) {
  outcome r;
  int ws = 0;
  waitpid(pid, &ws, 0);
  if (WIFEXITED(ws)) r.status = WEXITSTATUS(ws);
  if (WIFSIGNALED(ws)) r.signal = WTERMSIG(ws);
  r.err = read_file(dir + "/.err");
  unlink((dir + "/.err").c_str());
  return r;
}

outcome run(const std::vector<std::string>& argv, const std::string& dir, const launch& how = {}) {
  return finish(start(argv, dir, how), dir);
}

// One of the programs: its inputs and the command that writes its output.
struct program {
  const char* name;
  std::string out;                   // the output's name in a plain run
  std::vector<std::string> others;   // files written with it (tarnel's)
  std::set<std::string> inputs;      // the inputs it leaves after a run
  // Writes the inputs into dir (again: dorvik removes them) and returns the
  // command that writes the output to `out`; `big` makes the output large.
  std::function<std::vector<std::string>(const std::string& dir, const std::string& out, bool big)> setup;
  std::function<std::string(const std::string& out)> cant_write;  // the message
};

const program programs[] = {
    {"tarnel", "t.hpp", {"t.lex", "t.grm", "t.cpp"}, {"t.tn"},
     [](const std::string& dir, const std::string& out, bool big) {
       // The output names come from the description's name; another output
       // is reached through a link named t.hpp.
       std::string base = "t";
       if (out.size() > 4 && out.compare(out.size() - 4, 4, ".hpp") == 0 && out.find('/') == std::string::npos)
         base = out.substr(0, out.size() - 4);
       else if (out != "t.hpp" && symlink(out.c_str(), (dir + "/t.hpp").c_str()) != 0)
         ADD_FAILURE() << "link t.hpp";
       write_file(dir + "/" + base + ".tn",
                  (big ? "%code h %{ const char* big = \"" + std::string(1 << 20, 'x') + "\"; %}\n" : "") +
                      "%%\n%%\ns = 'a' ;\n");
       return std::vector<std::string>{TARNEL_BIN, base + ".tn"};
     },
     [](const std::string&) { return std::string("Can't write file t.hpp\n"); }},
    {"lexgen", "out", {}, {"t.lex"},
     [](const std::string& dir, const std::string& out, bool) {
       write_file(dir + "/t.lex", "%option noline\n%%\na\t;\n");
       return std::vector<std::string>{LEXGEN_BIN, "-o", out, "t.lex"};
     },
     [](const std::string& out) { return out + ": cannot write file\n"; }},
    {"veskan", "out", {}, {"a.h"},
     [](const std::string& dir, const std::string& out, bool big) {
       // The summary is longer than a message, so that a file size limit just
       // below its length leaves room for the message.
       std::string header = "int a;\nint global_with_a_long_name;\nint another_global;\n";
       for (int i = 0; big && i < 50000; ++i) header += "int global_" + std::to_string(i) + ";\n";
       write_file(dir + "/a.h", header);
       return std::vector<std::string>{VESKAN_BIN, "-o", out, "a.h"};
     },
     [](const std::string& out) { return "Can't write file " + out + "\n"; }},
    // Its inputs are removed once the summary is written.
    {"dorvik", "out", {}, {},
     [](const std::string& dir, const std::string& out, bool) {
       write_file(dir + "/report.txt", "File 'a.c'\nLines executed:100.00% of 1\nCreating 'a.c.gcov'\n\n");
       write_file(dir + "/a.c.gcov", "        1:    1:int a;\n");
       return std::vector<std::string>{DORVIK_BIN, "report.txt", out};
     },
     [](const std::string&) { return std::string(); }},
};

// What a plain run writes: the output's text, and the others' after it.
std::vector<std::string> new_texts(const program& p, bool big = false) {
  folder d;
  const outcome r = run(p.setup(d.path(), p.out, big), d.path());
  EXPECT_EQ(r.status, 0) << p.name << r.err;
  std::vector<std::string> texts = {read_file(d / p.out)};
  for (const std::string& other : p.others) texts.push_back(read_file(d / other));
  return texts;
}

std::string old_text(const std::string& name) { return "old " + name + "\n"; }

// Writes the old texts of the output and the others.
void put_old(const program& p, const folder& d) {
  write_file(d / p.out, old_text(p.out));
  for (const std::string& other : p.others) write_file(d / other, old_text(other));
}

void expect_old(const program& p, const folder& d) {
  EXPECT_EQ(read_file(d / p.out), old_text(p.out)) << p.name;
  for (const std::string& other : p.others) EXPECT_EQ(read_file(d / other), old_text(other)) << p.name;
}

ino_t inode(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// An output that names a descriptor is written to it where it stands:
// appends stay appends and what the script writes around the run stays;
// /dev/stdin from a file cannot be written, and the file stays.
TEST(Output, NamesOfDescriptorsAreWrittenInPlace) {
  for (const program& p : programs) {
    const std::string text = new_texts(p)[0];
    for (const char* name : {"/dev/stdout", "/dev/fd/5", "/proc/self/fd/5"}) {
      folder d;
      write_file(d / "log", "before\n");
      const int log = open((d / "log").c_str(), O_WRONLY | O_APPEND);
      launch how;
      (name == std::string("/dev/stdout") ? how.out : how.fd5) = log;
      const outcome r = run(p.setup(d.path(), name, false), d.path(), how);
      EXPECT_EQ(write(log, "after\n", 6), 6);
      close(log);
      EXPECT_EQ(r.status, 0) << p.name << " " << name << r.err;
      EXPECT_EQ(read_file(d / "log"), "before\n" + text + "after\n") << p.name << " " << name;
    }
    folder d;
    write_file(d / "data", "data\n");
    const int data = open((d / "data").c_str(), O_RDONLY);
    launch how;
    how.in = data;
    const outcome r = run(p.setup(d.path(), "/dev/stdin", false), d.path(), how);
    close(data);
    EXPECT_EQ(r.status, 1) << p.name;
    EXPECT_EQ(r.err, p.cant_write("/dev/stdin")) << p.name;
    EXPECT_EQ(read_file(d / "data"), "data\n") << p.name;
  }
}

// lexgen removes an earlier scanner after an error in its description, but
// never the file behind a descriptor.
TEST(Output, LexgenErrorsKeepTheFilesOfDescriptors) {
  folder d;
  write_file(d / "bad.lex", "%%\n(a\t;\n");
  const std::string message = "bad.lex:2: unbalanced ( in pattern\n";
  for (const char* name : {"/dev/stdout", "/dev/stdin", "/dev/stderr"}) {
    write_file(d / "file", "kept\n");
    const int file = open((d / "file").c_str(), O_RDWR | O_APPEND);
    launch how;
    how.in = how.out = file;
    const outcome r = run({LEXGEN_BIN, "-o", name, "bad.lex"}, d.path(), how);
    close(file);
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_EQ(r.err, message) << name;
    EXPECT_EQ(read_file(d / "file"), "kept\n") << name;
  }
  // The same through standard error itself, appended to.
  write_file(d / "err.log", "kept\n");
  const outcome r = run({"sh", "-c", "exec \"$0\" -o /dev/stderr bad.lex 2>>err.log", LEXGEN_BIN}, d.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(read_file(d / "err.log"), "kept\n" + message);
}

// Where no temporary can be made (a folder of root's, a file of nobody's),
// the text is written in place, and only when it is sure to fit: under a
// file size limit the file stays as it was (tarnel's four files all), and
// without one it gets the new text, cut to length.
TEST(Output, InPlaceWritesAreWholeOrNone) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run as nobody";
  const passwd* nobody = getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  for (const program& p : programs) {
    const std::vector<std::string> texts = new_texts(p);
    std::vector<std::string> names = {p.out};
    names.insert(names.end(), p.others.begin(), p.others.end());
    std::size_t largest = 0;
    for (std::size_t i = 0; i < texts.size(); ++i)
      if (texts[i].size() > texts[largest].size()) largest = i;
    folder d;
    const std::vector<std::string> command = p.setup(d.path(), p.out, false);
    for (const std::string& name : names) {
      write_file(d / name, old_text(name) + std::string(100000, 'o'));
      ASSERT_EQ(chown((d / name).c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    const ino_t before = inode(d / p.out);
    launch how;
    how.as_nobody = true;
    how.max_file_size = static_cast<long>(texts[largest].size()) - 1;
    outcome r = run(command, d.path(), how);
    EXPECT_EQ(r.status, 1) << p.name;
    EXPECT_EQ(r.err, largest == 0 ? p.cant_write(p.out) : "Can't write file " + names[largest] + "\n");
    for (const std::string& name : names)
      EXPECT_EQ(read_file(d / name), old_text(name) + std::string(100000, 'o')) << p.name << " " << name;
    p.setup(d.path(), p.out, false);
    how.max_file_size = -1;
    r = run(command, d.path(), how);
    EXPECT_EQ(r.status, 0) << p.name << r.err;
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(read_file(d / names[i]), texts[i]) << names[i];
    EXPECT_EQ(inode(d / p.out), before) << p.name;
  }
}

// A replaced file keeps its owner, group and mode bits (setuid, setgid and
// sticky too), and is a new file: a second hard link keeps the old text. Where the
// owner cannot be kept (nobody writing root's file), it is written in place
// and stays root's.
TEST(Output, ReplacedFilesKeepTheirOwner) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to own files of others";
  const passwd* nobody = getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  for (const program& p : programs) {
    const std::string text = new_texts(p)[0];
    folder d;
    const std::vector<std::string> command = p.setup(d.path(), p.out, false);
    put_old(p, d);
    ASSERT_EQ(chown((d / p.out).c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    ASSERT_EQ(chmod((d / p.out).c_str(), 07640), 0);
    ASSERT_EQ(link((d / p.out).c_str(), (d / "hard").c_str()), 0);
    outcome r = run(command, d.path());
    EXPECT_EQ(r.status, 0) << p.name << r.err;
    struct stat st;
    ASSERT_EQ(stat((d / p.out).c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, nobody->pw_uid) << p.name;
    EXPECT_EQ(st.st_gid, nobody->pw_gid) << p.name;
    EXPECT_EQ(st.st_mode & 07777, 07640u) << p.name;
    EXPECT_EQ(read_file(d / p.out), text) << p.name;
    EXPECT_EQ(read_file(d / "hard"), old_text(p.out)) << p.name;

    folder shared;
    chmod(shared.path().c_str(), 0777);
    const std::vector<std::string> again = p.setup(shared.path(), p.out, false);
    put_old(p, shared);
    chmod((shared / p.out).c_str(), 0666);
    for (const std::string& other : p.others) chmod((shared / other).c_str(), 0666);
    const ino_t before = inode(shared / p.out);
    launch how;
    how.as_nobody = true;
    r = run(again, shared.path(), how);
    EXPECT_EQ(r.status, 0) << p.name << r.err;
    ASSERT_EQ(stat((shared / p.out).c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u) << p.name;
    EXPECT_EQ(st.st_ino, before) << p.name;
    EXPECT_EQ(read_file(shared / p.out), text) << p.name;
  }
}

// Memory that runs out while the files are written (here: the old text of
// a file written in place, read back whole, is larger than a limit of
// memory) fails the run like any other failure: status 1, every file as it
// was and no temporary of the others left. (Sanitizer builds reserve far
// more address space than the limit allows.)
TEST(Output, MemoryRunningOutLeavesNoTemporaries) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "a limit of memory stops sanitizer builds at start";
#endif
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run as nobody";
  const passwd* nobody = getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  const off_t huge = off_t(64) << 20;
  for (const program& p : programs) {
    folder d;
    chmod(d.path().c_str(), 0777);
    const std::vector<std::string> command = p.setup(d.path(), p.out, false);
    put_old(p, d);
    for (const std::string& other : p.others)
      ASSERT_EQ(chown((d / other).c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    // Of nobody's but of root's group, which nobody cannot give a
    // replacement: written in place. Sparse, so it takes no room.
    ASSERT_EQ(chown((d / p.out).c_str(), nobody->pw_uid, 0), 0);
    ASSERT_EQ(chmod((d / p.out).c_str(), 0666), 0);
    ASSERT_EQ(truncate((d / p.out).c_str(), huge), 0);
    std::set<std::string> names = p.inputs;
    if (p.name == std::string("dorvik")) names = {"a.c.gcov", "report.txt"};  // kept on failure
    names.insert(p.out);
    names.insert(p.others.begin(), p.others.end());
    launch how;
    how.as_nobody = true;
    how.max_memory = 48 << 20;
    const outcome r = run(command, d.path(), how);
    EXPECT_EQ(r.status, 1) << p.name << r.err;
    EXPECT_EQ(r.err, p.name == std::string("veskan") ? "Out of memory\n" : p.cant_write(p.out));
    EXPECT_EQ(names_in(d.path()), names) << p.name;
    for (const std::string& other : p.others) EXPECT_EQ(read_file(d / other), old_text(other)) << p.name;
    struct stat st;
    ASSERT_EQ(stat((d / p.out).c_str(), &st), 0);
    EXPECT_EQ(st.st_size, huge) << p.name;
  }
}

// A FIFO that nobody reads is an error at once, not a hang (timeout ends a
// run that waits), and no temporary of the other files is left.
TEST(Output, FifoWithoutReaderFails) {
  for (const program& p : programs) {
    folder d;
    std::vector<std::string> command = p.setup(d.path(), p.out, false);
    command.insert(command.begin(), {"timeout", "10"});
    put_old(p, d);
    unlink((d / p.out).c_str());
    ASSERT_EQ(mkfifo((d / p.out).c_str(), 0644), 0);
    const outcome r = run(command, d.path());
    EXPECT_EQ(r.status, 1) << p.name;
    EXPECT_EQ(r.err, p.cant_write(p.out));
    for (const std::string& other : p.others) EXPECT_EQ(read_file(d / other), old_text(other));
    std::set<std::string> names = p.inputs;
    if (p.name == std::string("dorvik")) names = {"a.c.gcov", "report.txt"};  // kept on failure
    names.insert(p.out);
    names.insert(p.others.begin(), p.others.end());
    EXPECT_EQ(names_in(d.path()), names) << p.name;
  }
}

// A name with no room for a temporary's suffix (the longest a folder entry
// may be) gets a temporary of another name. (tarnel's files are named after
// the description, and so is the guard in its header.)
TEST(Output, LongNamesAreWritten) {
  for (const program& p : programs) {
    const std::string text = new_texts(p)[0];
    folder d;
    const std::string name = std::string(251, 'n') + ".hpp";
    const outcome r = run(p.setup(d.path(), name, false), d.path());
    EXPECT_EQ(r.status, 0) << p.name << r.err;
    if (p.others.empty())
      EXPECT_EQ(read_file(d / name), text) << p.name;
    else
      EXPECT_EQ(read_file(d / name).size(), text.size() + 2 * (name.size() - 5)) << p.name;
    EXPECT_EQ(names_in(d.path()).size(), p.inputs.size() + 1 + p.others.size()) << p.name;
  }
}

// Waits, a bounded time, until the folder holds `count` names that start
// with one of `stems` and a dot (the temporaries).
bool temporaries_appear(const std::string& dir, const std::vector<std::string>& stems, std::size_t count) {
  for (int i = 0; i < 20000; ++i) {
    std::size_t found = 0;
    for (const std::string& name : names_in(dir))
      for (const std::string& stem : stems)
        if (name.size() > stem.size() + 1 && name.compare(0, stem.size() + 1, stem + ".") == 0) ++found;
    if (found >= count) return true;
    usleep(1000);
  }
  return false;
}

// SIGTERM while the temporaries exist removes them and ends the run by the
// signal, with every earlier file as it was. tarnel is held with its
// temporaries written: its header goes, last, to a FIFO that is open but
// not read. veskan is stopped while its temporary is shorter than the whole
// summary, so still being written, and signalled then.
TEST(Output, SignalsLeaveNoTemporaries) {
  const program& tarnel = programs[0];
  {
    folder d;
    const std::vector<std::string> command = tarnel.setup(d.path(), "t.hpp", true);
    put_old(tarnel, d);
    unlink((d / "t.hpp").c_str());
    ASSERT_EQ(mkfifo((d / "t.hpp").c_str(), 0644), 0);
    const int held = open((d / "t.hpp").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const pid_t pid = start(command, d.path(), {});
    const bool seen = temporaries_appear(d.path(), tarnel.others, 3);
    kill(pid, SIGTERM);
    const outcome r = finish(pid, d.path());
    close(held);
    EXPECT_TRUE(seen);
    EXPECT_EQ(r.signal, SIGTERM);
    EXPECT_EQ(names_in(d.path()), (std::set<std::string>{"t.cpp", "t.grm", "t.hpp", "t.lex", "t.tn"}));
    for (const std::string& other : tarnel.others) EXPECT_EQ(read_file(d / other), old_text(other));
  }
  const program& veskan = programs[2];
  const std::size_t whole = new_texts(veskan, true)[0].size();
  bool caught = false;
  for (int attempt = 0; attempt < 20 && !caught; ++attempt) {
    folder d;
    const std::vector<std::string> command = veskan.setup(d.path(), "out", true);
    put_old(veskan, d);
    const pid_t pid = start(command, d.path(), {});
    // Polled until the temporary is there or the run has ended (reaped).
    std::string temp;
    int ws = 0;
    bool ended = false;
    for (int i = 0; i < 50000 && temp.empty() && !ended; ++i) {
      for (const std::string& name : names_in(d.path()))
        if (name.compare(0, 4, "out.") == 0) temp = name;
      if (temp.empty()) ended = waitpid(pid, &ws, WNOHANG) == pid || usleep(200) != 0;
    }
    if (ended) continue;
    kill(pid, SIGSTOP);
    if (waitpid(pid, &ws, WUNTRACED) != pid || !WIFSTOPPED(ws)) continue;  // ended meanwhile
    struct stat st;
    caught = !temp.empty() && stat((d / temp).c_str(), &st) == 0 &&
             static_cast<std::size_t>(st.st_size) < whole;
    if (caught) kill(pid, SIGTERM);
    kill(pid, SIGCONT);
    const outcome r = finish(pid, d.path());
    if (!caught) continue;
    EXPECT_EQ(r.signal, SIGTERM);
    EXPECT_EQ(names_in(d.path()), (std::set<std::string>{"a.h", "out"}));
    expect_old(veskan, d);
  }
  EXPECT_TRUE(caught) << "veskan was never stopped while it wrote its temporary";
}

}  // namespace
