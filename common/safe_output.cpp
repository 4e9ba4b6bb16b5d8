#include "safe_output.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <streambuf>
#include <utility>

namespace safe_output {

namespace {

// Links followed at the most before a path is taken as it is (as the
// system's own limit on nested links).
constexpr int max_links = 40;

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

// The path up to and including its last "/", "" for a bare name.
std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The path with its final symbolic links followed (the folders on the way
// are left to the system). A link relative to its folder stays relative to
// that folder.
std::string final_target(std::string path) {
  for (int i = 0; i < max_links; ++i) {
    std::string to(4096, '\0');
    const ssize_t n = readlink(path.c_str(), &to[0], to.size());
    if (n <= 0 || static_cast<std::size_t>(n) == to.size()) break;
    to.resize(static_cast<std::size_t>(n));
    path = to[0] == '/' ? to : folder_of(path) + to;
  }
  return path;
}

// A new temporary beside `target`, created exclusively; its descriptor, or
// -1 with errno set.
int make_temp(const std::string& target, std::string& temp) {
  std::string templ = target + ".XXXXXX";
  int fd = mkstemp(&templ[0]);
  if (fd < 0 && errno == ENAMETOOLONG) {
    templ = folder_of(target) + "tmp.XXXXXX";
    fd = mkstemp(&templ[0]);
  }
  if (fd >= 0) temp = templ;
  return fd;
}

mode_t default_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

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

output_file::output_file(std::string name) : name_(std::move(name)) {}

output_file::~output_file() { discard(); }

bool output_file::open() {
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  struct stat named;
  const bool named_exists = stat(name_.c_str(), &named) == 0;
  if (!named_exists && errno == ELOOP) return false;  // a link loop stays as it is
  target_ = final_target(name_);
  struct stat st;
  bool exists = stat(target_.c_str(), &st) == 0;
  // Links whose text leads nowhere the name does (/dev/stdout onto a pipe or
  // a removed file): the file is reached through its own name only.
  const bool by_name_only =
      named_exists && !(exists && st.st_dev == named.st_dev && st.st_ino == named.st_ino);
  if (by_name_only) {
    target_ = name_;
    st = named;
    exists = true;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    fd_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    mode_ = mode::through;
  } else if (!by_name_only && (fd_ = make_temp(target_, temp_)) >= 0) {
    (void)fchmod(fd_, exists ? st.st_mode & 0777 : default_mode());
    mode_ = mode::replace;
  } else if (exists && (by_name_only || errno == EACCES || errno == EPERM)) {
    // Opened now, so that a file that cannot be written either fails here.
    fd_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    mode_ = mode::in_memory;
  }
  if (fd_ < 0) {
    mode_ = mode::none;
    return false;
  }
  sink_ = std::make_unique<sink>(mode_ == mode::in_memory ? -1 : fd_);
  stream_ = std::make_unique<std::ostream>(sink_.get());
  return true;
}

std::ostream& output_file::stream() { return *stream_; }

bool output_file::close() {
  if (mode_ == mode::none) return false;
  bool ok = stream_->flush().good() && sink_->good();
  if (mode_ != mode::in_memory) {
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
  }
  if (!ok) discard();
  return ok;
}

bool output_file::commit() {
  bool ok = false;
  if (mode_ == mode::replace) {
    ok = std::rename(temp_.c_str(), target_.c_str()) == 0;
    if (ok) temp_.clear();
  } else if (mode_ == mode::in_memory) {
    // Overwritten from the start and then cut to length: on a full disk the
    // blocks the old text holds are reused.
    const std::string& text = sink_->memory();
    ok = write_all(fd_, text.data(), text.size()) &&
         ftruncate(fd_, static_cast<off_t>(text.size())) == 0;
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
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
  mode_ = mode::none;
}

file_id identify(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) == 0) return {st.st_dev, st.st_ino, "", S_ISREG(st.st_mode)};
  const std::string target = final_target(path);
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
