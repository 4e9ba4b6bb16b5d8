// veskan: scans C and C++ sources and writes a summary of their interface.
#include "driver.hpp"
#include "tokens.hpp"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <system_error>

#if defined(__linux__) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#include <malloc.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

// A run over a large tree makes millions of small blocks, and on many
// machines the first touch of a fresh page of memory costs more than what
// is done with it (about 10 microseconds on a virtual machine, nearly a
// fifth of a run over /usr/include). So the heap is set up once:
// - freed memory stays in the heap for reuse instead of going back to the
//   system, and large blocks come from the heap too;
// - the heap takes room for a large tree at once and asks for large pages
//   over it, so that one fault maps 2 MB instead of 4 KB.
// Under a limit of memory the room is not taken, so that it cannot crowd
// out anything else; and where the system refuses any of it, the heap just
// stays as it is.
static void prepare_heap() {
  mallopt(M_MMAP_THRESHOLD, 32 << 20); // the largest allowed
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  for (int resource : {RLIMIT_AS, RLIMIT_DATA}) {
    struct rlimit limit;
    if (getrlimit(resource, &limit) != 0 || limit.rlim_cur != RLIM_INFINITY) return;
  }
  const uintptr_t room = 256 << 20, large_page = 2 << 20;
  mallopt(M_TOP_PAD, static_cast<int>(room));
  const uintptr_t before = reinterpret_cast<uintptr_t>(sbrk(0));
  void *block = std::malloc(large_page); // makes the heap grow by the room now
  mallopt(M_TOP_PAD, 1 << 20);
  if (!block) return;
  const uintptr_t at = reinterpret_cast<uintptr_t>(block);
  const uintptr_t top = reinterpret_cast<uintptr_t>(sbrk(0));
  const uintptr_t from = (at + large_page - 1) & ~(large_page - 1);
  const uintptr_t to = top & ~(large_page - 1);
  // Only when the heap grew by the room and the block lies in it, not in a
  // mapping of its own.
  if (top >= before + room && at < top && from < to)
    madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE);
  std::free(block);
}
#else
static void prepare_heap() {}
#endif

int main(int argc, char **argv) {
  try {
    try {
      start_watchdog();
    } catch (const std::system_error &e) {
      // No room for the thread's stack under a tight limit of memory, or
      // no thread allowed.
      yyerror(std::string("Can't start the watchdog thread: ") + e.what());
    }
    prepare_heap();
    std::atexit(release_tokens);
    get_args(argc, argv);
    keep_blanks = keep_positions = yydebug_flag == 1; // only the token dump shows them
    if (fromfiles.empty()) list_directory();
    read_apifiles();
    for (const std::string &path : fromfiles) scan_file(path);
    write_summary_file();
  } catch (const std::bad_alloc &) {
    // Memory ran out (a limit of memory, a huge tree): a fatal error like
    // any other. The way out of the run has removed a summary being written,
    // so an earlier one stays as it was.
    yyerror("Out of memory");
  }
#ifndef __SANITIZE_ADDRESS__
  // The tables of a large tree hold millions of small blocks; the process
  // ends without handing them back one by one. (Sanitizer builds do, so
  // that leak checking still covers them.)
  std::fflush(stdout);
  std::_Exit(0);
#endif
  return 0;
}
