// veskan: scans C and C++ sources and writes a summary of their interface.
#include "driver.hpp"
#include "tokens.hpp"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
  start_watchdog();
  std::atexit(release_tokens);
  get_args(argc, argv);
  keep_blanks = keep_positions = yydebug_flag == 1; // only the token dump shows them
  if (fromfiles.empty()) list_directory();
  read_apifiles();
  for (const std::string &path : fromfiles) scan_file(path);
  write_summary_file();
#ifndef __SANITIZE_ADDRESS__
  // The tables of a large tree hold millions of small blocks; the process
  // ends without handing them back one by one. (Sanitizer builds do, so
  // that leak checking still covers them.)
  std::fflush(stdout);
  std::_Exit(0);
#endif
  return 0;
}
