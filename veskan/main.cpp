// veskan: scans C and C++ sources and writes a summary of their interface.
#include "driver.hpp"
#include "tokens.hpp"

#include <cstdlib>

int main(int argc, char **argv) {
  start_watchdog();
  std::atexit(release_tokens);
  get_args(argc, argv);
  if (fromfiles.empty()) list_directory();
  read_apifiles();
  for (const std::string &path : fromfiles) scan_file(path);
  write_summary_file();
  return 0;
}
