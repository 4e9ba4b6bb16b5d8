// Output files that replace an existing file only once their whole new text
// exists (tarnel's four files, veskan's summary).
//
// The text goes to a temporary file with a unique name, created exclusively
// in the output's own folder, and is renamed onto the output's name only
// after it was written and closed without error. Until then the old file
// stays exactly as it was; a temporary that is not committed is removed.
//
//   - An output that is a symbolic link: the temporary is made beside the
//     link's final target and renamed onto the target, so the link stays a
//     link. A link loop is not written. A link whose text leads nowhere
//     (/dev/stdout onto a pipe) is written through its name, in place.
//   - An output that exists and is not a regular file (a device such as
//     /dev/null or /dev/full, a FIFO): there is nothing to replace, so it is
//     written through in place.
//   - A folder in which no temporary may be created (permission denied)
//     while the file itself may be written: the text is held in memory and
//     written over the file in place on commit.
//
// A replaced file keeps its permission bits; a new one gets those the umask
// leaves of 0666. Write failures are reported by the results, never by
// messages. A file size limit, or a pipe that nobody reads, makes writes
// fail (SIGXFSZ and SIGPIPE are ignored once an output is opened) instead of
// ending the process with a temporary left.
#pragma once

#include <sys/types.h>

#include <memory>
#include <ostream>
#include <string>

namespace safe_output {

class output_file {
 public:
  explicit output_file(std::string name);
  ~output_file();  // removes a temporary that was not committed
  output_file(const output_file&) = delete;
  output_file& operator=(const output_file&) = delete;

  // Opens where the text goes; false when the output cannot be written.
  bool open();
  // Where the text is written; valid after a successful open.
  std::ostream& stream();
  // Writes out and closes what stream() holds; false (and the temporary
  // removed) when any of the text could not be written.
  bool close();
  // After a successful close: puts the text in place; false on failure, with
  // the temporary removed.
  bool commit();
  // Removes the temporary; the old file stays as it was.
  void discard();

  const std::string& name() const { return name_; }
  // The temporary being written, "" when there is none.
  const std::string& temp_name() const { return temp_; }

 private:
  class sink;
  enum class mode { none, replace, through, in_memory };
  std::string name_, target_, temp_;
  mode mode_ = mode::none;
  int fd_ = -1;
  std::unique_ptr<sink> sink_;
  std::unique_ptr<std::ostream> stream_;
};

// What tells files apart: device and inode for a file that exists (so links
// and other spellings of a path give the same identity); for one that does
// not, the folder's device and inode and the name in it, after the final
// symbolic links (a dangling link) are followed.
struct file_id {
  dev_t dev = 0;
  ino_t ino = 0;
  std::string name;  // "" for a file that exists
  bool regular = false;  // an existing regular file (not part of the identity)
  // A device or a pipe is written through and holds nothing to lose: only
  // regular files and names not in use can stand for an input.
  bool can_hold_an_input() const { return regular || !name.empty(); }
  bool operator==(const file_id& o) const {
    return dev == o.dev && ino == o.ino && name == o.name;
  }
};
file_id identify(const std::string& path);
// The file open on a descriptor; an identity of its own when fstat fails.
file_id identify(int fd);

}  // namespace safe_output
