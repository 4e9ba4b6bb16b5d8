// veskan's command line, input listing, watchdog and summary output.
#ifndef VESKAN_DRIVER_HPP
#define VESKAN_DRIVER_HPP 1

#include <string>
#include <vector>

extern std::string outname;               // -o: summary file; empty: the default
extern std::string frompath;              // -p: source directory, prefix of later files
extern std::vector<std::string> apifiles; // -a: summaries to read back
extern std::vector<std::string> fromfiles; // files to scan, in order

// The pieces of text between matches of the pattern sep; nothing follows a
// separator at the very end.
std::vector<std::string> regex_split(const std::string &text, const std::string &sep);

// Reads the command line into the values above and yydebug_flag.
void get_args(int argc, char **argv);
// Lists the headers, then the sources, of frompath (or ".") into fromfiles.
void list_directory();
// Reads back every summary named by -a; unreadable ones are skipped.
void read_apifiles();
// Lexes one file and records what it declares.
void scan_file(const std::string &path);
// Writes the summary to outname (default: project.api, inside frompath).
void write_summary_file();

// Starts the thread that ends the process with status 1 when the run takes
// longer than the time limit.
void start_watchdog();

#endif
