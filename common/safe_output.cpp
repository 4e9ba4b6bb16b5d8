#include "safe_output.hpp"

#include <fcntl.h>
#include <linux/magic.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <streambuf>

namespace safe_output {

namespace {

// Links followed at the most before a path is taken as it is (as the
// system's own limit on nested links).
constexpr int max_links = 40;

// The signals that end a run after its temporaries are removed.
constexpr int ending_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The temporaries that exist, for the signal handler: fixed slots that it
// reads without locks or memory of its own. A slot is filled and emptied
// only with the ending signals blocked in the thread that writes the
// outputs, and a program's other threads (veskan's watchdog) keep them
// blocked, so the handler never sees a slot half written.
struct temp_slot {
  volatile std::sig_atomic_t used;
  char name[PATH_MAX];
};
constexpr int max_temps = 16;
temp_slot temp_slots[max_temps];

}  // namespace

void remove_temporaries() {
  for (temp_slot& slot : temp_slots)
    if (slot.used) unlink(slot.name);
}

namespace {

extern "C" void end_run(int sig) {
  remove_temporaries();
  struct sigaction dfl = {};
  dfl.sa_handler = SIG_DFL;
  sigemptyset(&dfl.sa_mask);
  sigaction(sig, &dfl, nullptr);
  // Blocked while the handler runs: ends the process as soon as it returns.
  raise(sig);
}

// Installs the handler for the ending signals once. A signal the process
// was started to ignore (nohup, a background job) stays ignored.
void catch_ending_signals() {
  static bool caught = false;
  if (caught) return;
  caught = true;
  for (int sig : ending_signals) {
    struct sigaction old;
    if (sigaction(sig, nullptr, &old) != 0 || (old.sa_flags & SA_SIGINFO) != 0 ||
        old.sa_handler != SIG_DFL)
      continue;
    struct sigaction act = {};
    act.sa_handler = end_run;
    sigemptyset(&act.sa_mask);
    for (int other : ending_signals) sigaddset(&act.sa_mask, other);
    sigaction(sig, &act, nullptr);
  }
}

// Records a temporary that was just made; false when every slot is taken.
// Called with the ending signals blocked.
bool record_temp(const std::string& name) {
  if (name.size() >= PATH_MAX) return false;
  for (temp_slot& slot : temp_slots) {
    if (slot.used) continue;
    std::memcpy(slot.name, name.c_str(), name.size() + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    slot.used = 1;
    return true;
  }
  return false;
}

// Called with the ending signals blocked.
void forget_temp(const std::string& name) {
  for (temp_slot& slot : temp_slots)
    if (slot.used && name == slot.name) slot.used = 0;
}

bool write_all(int fd, const char* p, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

// Writes text over the file from its start and cuts the file to its length.
bool put_text(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t w = pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    done += static_cast<std::size_t>(w);
  }
  return ftruncate(fd, static_cast<off_t>(text.size())) == 0;
}

// The whole file open on fd.
bool get_text(int fd, std::string& text) {
  text.clear();
  char chunk[1 << 16];
  for (;;) {
    const ssize_t n = pread(fd, chunk, sizeof chunk, static_cast<off_t>(text.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    text.append(chunk, static_cast<std::size_t>(n));
  }
}

// The path up to and including its last "/", "" for a bare name.
std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string real_path(const std::string& path) {
  std::string real;
  if (char* p = realpath(path.c_str(), nullptr)) {
    real = p;
    std::free(p);
  }
  return real;
}

// The descriptor of this process that `path` names as an entry of its
// descriptor folder (/proc/self/fd, which /dev/fd leads to, or the calling
// thread's), -1 when it names none. The folders are told apart by the paths
// the system resolves them to.
int descriptor_entry(const std::string& path) {
  const std::string folder = folder_of(path);
  const std::string base = path.substr(folder.size());
  if (base.empty() || base.size() > 9 || (base[0] == '0' && base.size() > 1) ||
      base.find_first_not_of("0123456789") != std::string::npos)
    return -1;
  const std::string at = real_path(folder.empty() ? "." : folder);
  if (at.empty()) return -1;
  for (const char* own : {"/proc/self/fd", "/proc/thread-self/fd"})
    if (at == real_path(own)) return std::atoi(base.c_str());
  return -1;
}

// A name in the proc file system, whose links are not ordinary ones: they
// lead to what a process has open.
bool in_proc(const std::string& path) {
  const std::string folder = folder_of(path);
  struct statfs fs;
  return statfs(folder.empty() ? "." : folder.c_str(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC;
}

// Where a path leads once its final symbolic links are followed (the folders
// on the way are left to the system; a link relative to its folder stays
// relative to that folder). The walk stops at an entry of this process's
// descriptor folder.
struct walk {
  std::string path;
  int descriptor = -1;     // the descriptor reached, -1 for none
  bool proc_link = false;  // a link of /proc on the way
};

walk follow_links(std::string path) {
  walk w;
  for (int i = 0; i < max_links; ++i) {
    if ((w.descriptor = descriptor_entry(path)) >= 0) {
      w.proc_link = true;
      break;
    }
    std::string to(4096, '\0');
    const ssize_t n = readlink(path.c_str(), &to[0], to.size());
    if (n <= 0 || static_cast<std::size_t>(n) == to.size()) break;
    to.resize(static_cast<std::size_t>(n));
    w.proc_link = w.proc_link || in_proc(path);
    path = to[0] == '/' ? to : folder_of(path) + to;
  }
  w.path = path;
  return w;
}

// A new temporary beside `target`, created exclusively and recorded for the
// signal handler; its descriptor, or -1 with errno set. A name too long for
// a suffix gets a short one in the same folder.
int make_temp(const std::string& target, std::string& temp) {
  catch_ending_signals();
  std::string templ = target + ".XXXXXX";
  int fd = -1, error = ENAMETOOLONG;
  {
    signals_blocked hold;
    if (templ.size() < PATH_MAX) {
      fd = mkstemp(&templ[0]);
      error = errno;
    }
    if (fd < 0 && error == ENAMETOOLONG) {
      templ = folder_of(target) + "tmp.XXXXXX";
      fd = mkstemp(&templ[0]);
      error = errno;
    }
    if (fd >= 0 && !record_temp(templ)) {
      unlink(templ.c_str());
      ::close(fd);
      fd = -1;
      error = EMFILE;
    }
  }
  if (fd < 0) {
    errno = error;
    return -1;
  }
  temp.swap(templ);  // without taking memory, so no exception can lose the temporary
  return fd;
}

mode_t default_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

signals_blocked::signals_blocked() {
  sigset_t set;
  sigemptyset(&set);
  for (int sig : ending_signals) sigaddset(&set, sig);
  pthread_sigmask(SIG_BLOCK, &set, &old_);
}

signals_blocked::~signals_blocked() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }

// Collects the text in a buffer and hands it to the descriptor, or keeps it
// all when there is none (fd < 0). Once a write fails it stays failed.
class output_file::sink : public std::streambuf {
 public:
  explicit sink(int fd) : fd_(fd) { setp(area_, area_ + sizeof area_); }
  bool good() const { return good_; }
  const std::string& memory() const { return memory_; }

 protected:
  int_type overflow(int_type c) override {
    if (!drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return drain() ? 0 : -1; }

 private:
  bool drain() {
    const std::size_t n = static_cast<std::size_t>(pptr() - pbase());
    setp(area_, area_ + sizeof area_);
    if (good_ && n > 0) {
      if (fd_ < 0)
        memory_.append(area_, n);
      else
        good_ = write_all(fd_, area_, n);
    }
    return good_;
  }

  int fd_;
  bool good_ = true;
  std::string memory_;
  char area_[1 << 16];
};

output_file::output_file(std::string name) : name_(std::move(name)) {
  struct stat named;
  const bool named_exists = stat(name_.c_str(), &named) == 0;
  if (!named_exists && errno == ELOOP) {
    loop_ = true;  // a link loop stays as it is
    return;
  }
  const walk w = follow_links(name_);
  descriptor_ = w.descriptor;
  if (descriptor_ >= 0) return;
  target_ = w.path;
  exists_ = stat(target_.c_str(), &st_) == 0;
  // Links whose text leads nowhere the name does (those of /proc onto a
  // pipe or a removed file): the file is reached through its own name only.
  by_name_only_ =
      named_exists && !(exists_ && st_.st_dev == named.st_dev && st_.st_ino == named.st_ino);
  if (by_name_only_) {
    target_ = name_;
    st_ = named;
    exists_ = true;
  }
}

output_file::~output_file() { discard(); }

bool output_file::through() const {
  return descriptor_ >= 0 || (exists_ && !S_ISREG(st_.st_mode));
}

bool output_file::open() {
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  if (loop_ || mode_ != mode::none) return false;
  if (descriptor_ >= 0) {
    const int flags = fcntl(descriptor_, F_GETFL);
    if (flags >= 0 && (flags & O_ACCMODE) != O_RDONLY) {
      std::fflush(nullptr);  // what the program wrote to it before comes first
      fd_ = fcntl(descriptor_, F_DUPFD_CLOEXEC, 0);
    }
    mode_ = mode::through;
  } else if (through()) {
    // Without waiting for a reader: a FIFO that nobody reads fails (ENXIO).
    fd_ = ::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    const int flags = fd_ >= 0 ? fcntl(fd_, F_GETFL) : -1;
    if (fd_ >= 0 && (flags < 0 || fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0)) {
      ::close(fd_);
      fd_ = -1;
    }
    mode_ = mode::through;
  } else if (by_name_only_) {
    open_in_memory();
  } else if ((fd_ = make_temp(target_, temp_)) >= 0) {
    mode_ = mode::replace;
    // The replacement gets the old file's owner, group and mode, or the file
    // is written in place so that it never changes hands. (Changing the
    // owner clears the setuid and setgid bits, so the mode comes after.)
    struct stat now;
    const mode_t bits = exists_ ? st_.st_mode & 07777 : default_mode();
    const bool kept = exists_ ? fchown(fd_, st_.st_uid, st_.st_gid) == 0 &&
                                    fchmod(fd_, bits) == 0 && fstat(fd_, &now) == 0 &&
                                    now.st_uid == st_.st_uid && now.st_gid == st_.st_gid &&
                                    (now.st_mode & 07777) == bits
                              : fchmod(fd_, bits) == 0;
    if (exists_ && !kept) {
      discard();
      open_in_memory();
    }
  } else if (exists_ && (errno == EACCES || errno == EPERM)) {
    open_in_memory();
  }
  if (fd_ < 0) {
    mode_ = mode::none;
    return false;
  }
  sink_ = std::make_unique<sink>(mode_ == mode::in_memory ? -1 : fd_);
  stream_ = std::make_unique<std::ostream>(sink_.get());
  return true;
}

// Read as well as written: the old text is kept to be put back.
bool output_file::open_in_memory() {
  fd_ = ::open(target_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  mode_ = mode::in_memory;
  return fd_ >= 0;
}

std::ostream& output_file::stream() { return *stream_; }

bool output_file::close() {
  if (mode_ == mode::none) return false;
  bool ok = stream_->flush().good() && sink_->good();
  if (mode_ == mode::in_memory) {
    // The text must fit before the first byte is written over the old one:
    // within the file size limit, and with room reserved for its length
    // (the file keeps its old length until it is written). Where the file
    // system cannot reserve room, the old text put back covers a failure.
    const std::string& text = sink_->memory();
    struct rlimit limit;
    ok = ok && !(getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
                 text.size() > limit.rlim_cur);
    ok = ok && get_text(fd_, old_text_);
    ok = ok && (text.empty() ||
                fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(text.size())) == 0 ||
                errno == EOPNOTSUPP || errno == ENOSYS);
  } else {
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
  }
  if (!ok) discard();
  return ok;
}

bool output_file::commit() {
  bool ok = false;
  signals_blocked hold;
  if (mode_ == mode::replace) {
    ok = std::rename(temp_.c_str(), target_.c_str()) == 0;
    if (ok) {
      forget_temp(temp_);
      temp_.clear();
    }
  } else if (mode_ == mode::in_memory) {
    // Overwritten from the start and then cut to length: on a full disk the
    // blocks the old text holds are reused.
    ok = put_text(fd_, sink_->memory());
    if (!ok) put_text(fd_, old_text_);
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
  } else if (mode_ == mode::through) {
    ok = true;
  }
  discard();
  return ok;
}

void output_file::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) {
    signals_blocked hold;
    unlink(temp_.c_str());
    forget_temp(temp_);
    temp_.clear();
  }
  std::string().swap(old_text_);
  mode_ = mode::none;
}

bool write_files(const std::vector<std::pair<std::string, std::string>>& files,
                 std::string& failed) {
  std::vector<std::unique_ptr<output_file>> outputs;
  // The file being handled. Memory that runs out (the old text of a file
  // written in place is read whole) fails it like any other failure: the
  // exception is caught here, so that leaving removes the temporaries even
  // where the program itself would not catch it.
  std::size_t at = 0;
  auto fail = [&failed, &files, &at] {
    failed = files[at].first;
    return false;
  };
  try {
    for (at = 0; at < files.size(); ++at)
      outputs.push_back(std::make_unique<output_file>(files[at].first));
    for (bool through : {true, false})
      for (at = 0; at < outputs.size(); ++at)
        if (outputs[at]->through() == through && !outputs[at]->open()) return fail();
    for (bool through : {false, true}) {
      for (at = 0; at < outputs.size(); ++at) {
        output_file& out = *outputs[at];
        if (out.through() != through) continue;
        out.stream() << files[at].second;
        if (!out.close()) return fail();
      }
    }
    signals_blocked hold;
    for (at = 0; at < outputs.size(); ++at)
      if (!outputs[at]->commit()) return fail();
  } catch (const std::bad_alloc&) {
    outputs.clear();
    return fail();
  }
  return true;
}

bool remove_output(const std::string& name) {
  const walk w = follow_links(name);
  struct stat st;
  return w.descriptor < 0 && !w.proc_link && lstat(w.path.c_str(), &st) == 0 &&
         S_ISREG(st.st_mode) && unlink(w.path.c_str()) == 0;
}

file_id identify(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) == 0) return {st.st_dev, st.st_ino, "", S_ISREG(st.st_mode)};
  const std::string target = follow_links(path).path;
  const std::string folder = folder_of(target);
  const std::string base = target.substr(folder.size());
  if (!base.empty() && stat(folder.empty() ? "." : folder.c_str(), &st) == 0)
    return {st.st_dev, st.st_ino, base, false};
  return {0, 0, target, false};
}

file_id identify(int fd) {
  struct stat st;
  if (fstat(fd, &st) == 0) return {st.st_dev, st.st_ino, "", S_ISREG(st.st_mode)};
  return {0, 0, std::string(1, '\0'), false};
}

}  // namespace safe_output
