// veskan: scans C and C++ sources and writes a summary of their interface.
#include "driver.hpp"

int main(int argc, char **argv) {
  start_watchdog();
  get_args(argc, argv);
  if (fromfiles.empty()) list_directory();
  read_apifiles();
  for (const std::string &path : fromfiles) scan_file(path);
  write_summary_file();
  return 0;
}
