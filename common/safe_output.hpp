// Output files that replace an existing file only once their whole new text
// exists: tarnel's four files, lexgen's scanner, veskan's and dorvik's
// summaries.
//
// The text goes to a temporary file with a unique name, created exclusively
// in the output's own folder, and is renamed onto the output's name only
// after it was written and closed without error. Until then the old file
// stays exactly as it was; a temporary that is not committed is removed, also
// when SIGINT, SIGTERM, SIGHUP or SIGQUIT ends the process (the handlers
// remove the temporaries, then end the process as the signal would). The
// replaced file gets the old one's owner, group and mode bits (setuid,
// setgid and sticky included); it is a new inode, so another hard link to
// the old file keeps the old text.
//
//   - A name that leads to an open descriptor of this process (/dev/stdout,
//     /dev/stderr, /dev/stdin, /dev/fd/N, /proc/self/fd/N, or a link to one
//     of them): the text is written to that descriptor itself, at its
//     offset: nothing is truncated, renamed or removed, so an append stays an
//     append. A descriptor open only for reading cannot be written.
//   - An output that is a symbolic link: the temporary is made beside the
//     link's final target and renamed onto the target, so the link stays a
//     link. A link loop is not written.
//   - An output that exists and is not a regular file (a device such as
//     /dev/null or /dev/full, a FIFO): there is nothing to replace, so it is
//     written through in place. It is opened without waiting: a FIFO that
//     nobody reads is an error, not a hang.
//   - A regular file that cannot be replaced (its folder lets no temporary be
//     created, or the replacement could not get the old owner, group or mode)
//     while it may be read and written: the text is held in memory and, once
//     complete, checked to fit (the file size limit, space reserved for its
//     length); only then is it written over the file, and should that still
//     fail, the old text is written back (it fits, having been there). The
//     file keeps its inode and owner; a SIGKILL while it is written, or a
//     write-back that fails as well, can still leave part of each.
//
// Write failures are reported by the results, never by messages. A file size
// limit, or a pipe that nobody reads, makes writes fail (SIGXFSZ and SIGPIPE
// are ignored once an output is opened) instead of ending the process with a
// temporary left.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <csignal>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace safe_output {

class output_file {
 public:
  // Finds where the name leads; nothing is opened or made yet.
  explicit output_file(std::string name);
  ~output_file();  // removes a temporary that was not committed
  output_file(const output_file&) = delete;
  output_file& operator=(const output_file&) = delete;

  // The text goes straight to a descriptor, a device or a pipe: there is no
  // old text to keep.
  bool through() const;
  // Opens where the text goes; false when the output cannot be written.
  bool open();
  // Where the text is written; valid after a successful open.
  std::ostream& stream();
  // Writes out and closes what stream() holds (for a file written in place
  // from memory: makes sure the text will fit); false (and the temporary
  // removed) when any of the text could not be written.
  bool close();
  // After a successful close: puts the text in place; false on failure, with
  // the temporary removed and the old file as it was.
  bool commit();
  // Removes the temporary; the old file stays as it was.
  void discard();

  const std::string& name() const { return name_; }

 private:
  class sink;
  enum class mode { none, replace, through, in_memory };
  bool open_in_memory();
  std::string name_, target_, temp_;
  int descriptor_ = -1;  // the descriptor the name leads to, -1 for none
  bool exists_ = false, by_name_only_ = false, loop_ = false;
  struct stat st_ = {};  // of the existing output
  mode mode_ = mode::none;
  int fd_ = -1;
  std::string old_text_;  // in place from memory: what a failed write puts back
  std::unique_ptr<sink> sink_;
  std::unique_ptr<std::ostream> stream_;
};

// Writes each text to the file named with it, all of them or none: the
// outputs written through are opened before any temporary is made and get
// their text only once every temporary is complete and every file written in
// place is sure to fit; then the files are put in place with the signals
// above blocked, so that a signal leaves either all old or all new files (a
// rename that the system still refuses, over a mount point, leaves the files
// before it new). On failure, `failed` names the file that could not be
// written and no temporary is left.
bool write_files(const std::vector<std::pair<std::string, std::string>>& files,
                 std::string& failed);

// Removes an earlier output that is a regular file, reached by its name or
// through ordinary symbolic links (the target is removed, the links stay).
// Never a file reached through a descriptor (/dev/stdout, /proc/self/fd/N)
// or another link of /proc, a device, a pipe or a folder. True when removed.
bool remove_output(const std::string& name);

// Removes the temporaries that exist now, as the ending signals do: safe in a
// signal handler, and in a thread that then ends the process while the
// writing thread cannot be making or removing one (veskan's time limit).
void remove_temporaries();

// Blocks SIGINT, SIGTERM, SIGHUP and SIGQUIT in the calling thread while it
// lives (a thread started meanwhile keeps them blocked for good).
class signals_blocked {
 public:
  signals_blocked();
  ~signals_blocked();
  signals_blocked(const signals_blocked&) = delete;
  signals_blocked& operator=(const signals_blocked&) = delete;

 private:
  sigset_t old_;
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
