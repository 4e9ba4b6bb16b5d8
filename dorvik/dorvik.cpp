// dorvik: condenses a saved gcov console report and the annotated files that
// gcov wrote into one tab-separated summary, then removes what it consumed.
//
//   dorvik REPORT SUMMARY
//
// The summary holds, per source file of the report (in byte order of the
// source name), a file line, a line per executable source line with a mark
// per branch ("+" taken, "-" not taken) and a line per function. Nothing is
// printed; the exit status is 0 on success and 1 on any failure.
//
// No input is lost: a summary that is the report or a file the report names
// is refused; only annotated files with bare names (gcov writes them into
// the folder it runs in) that are regular files are read and removed; the
// report is removed only when it is a regular file; the summary is written
// through the shared safe_output, which replaces an earlier one only once it
// is written whole.

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <new>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "safe_output.hpp"

namespace {

// What the report says about one source file.
struct covr_info {
  std::string gcov_name = "?";  // annotated file from the "Creating" line
  std::string lines_text = "-"; // text after "Lines executed:"
  std::string taken_text = "-"; // text after "Taken at least once:"
};

// Records keyed by the source file's name; the map order is the summary order.
std::map<std::string, covr_info> file_info;

// The suffixes of gcov -H counts: each a thousand times the one before.
const std::string count_units = "kMGTPE";

// The execution count field of an annotated line. The count may fill gcov's
// whole padded field, so no blank is required in front of it. Runs of "="
// mark lines reached only through exceptions; gcov -H writes counts from
// 1000 on as 5.0k, 1.2M and so on.
const std::string count_field_re =
    "(-|#+|%+|=+|[0-9]+(?:(?:[.][0-9]+)?[" + count_units + "])?[*]?)";

// An annotated source line: the count field and the line number.
const std::regex line_r("^ *" + count_field_re + ": *([0-9]+):");

// gcov writes the count and line fields in far fewer characters than this;
// only this prefix of a line is matched, so a pathological line cannot make
// the matcher run long or deep.
constexpr std::size_t line_prefix_limit = 128;

// A prefix cut at that limit inside the digits of the count or the line
// number: a number far beyond 64 bits.
const std::regex cut_number_r("^ *([0-9]+|" + count_field_re + ": *[0-9]+)$");

bool starts_with(const std::string &text, const char *prefix) {
  return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool ends_with(const std::string &text, const std::string &suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Reads one line and drops one trailing carriage return (Windows line ends).
bool read_line(std::istream &in, std::string &line) {
  if (!std::getline(in, line)) {
    return false;
  }
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  return true;
}

// Takes NAME from a line of the form PREFIX'NAME' (PREFIX without the quote).
// Lines too short to hold a quoted, non-empty name do not qualify.
bool quoted_name(const std::string &line, const char *prefix,
                 std::string &name) {
  const std::size_t skip = std::char_traits<char>::length(prefix) + 1;
  if (!starts_with(line, prefix) || line.size() < skip + 2 ||
      line[skip - 1] != '\'' || line.back() != '\'') {
    return false;
  }
  name = line.substr(skip, line.size() - skip - 1);
  return true;
}

// What parse_count found.
enum class count_read { none, fits, too_big };

// Parses the count at text[pos...] into a 64-bit value: digits, or digits
// with an optional decimal part and a suffix of count_units (gcov -H), whose
// value is rounded down (5.0k is 5000, 1.25k is 1250).
count_read parse_count(const std::string &text, std::size_t pos,
                       std::uint64_t &value) {
  auto digit = [&text](std::size_t at) {
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
  };
  if (!digit(pos)) {
    return count_read::none;
  }
  value = 0;
  for (; digit(pos); ++pos) {
    const unsigned d = static_cast<unsigned>(text[pos] - '0');
    if (value > (UINT64_MAX - d) / 10) {
      return count_read::too_big;
    }
    value = value * 10 + d;
  }
  std::size_t unit_at = pos;
  if (unit_at < text.size() && text[unit_at] == '.' && digit(unit_at + 1)) {
    for (++unit_at; digit(unit_at); ++unit_at) {
    }
  }
  const std::size_t unit =
      unit_at < text.size() ? count_units.find(text[unit_at]) : std::string::npos;
  if (unit == std::string::npos) {
    return count_read::fits; // plain digits; what follows is not the count's
  }
  std::uint64_t scale = 1;
  for (std::size_t i = 0; i <= unit; ++i) {
    scale *= 1000;
  }
  if (value > UINT64_MAX / scale) {
    return count_read::too_big;
  }
  value *= scale;
  for (std::size_t at = pos + 1; at < unit_at; ++at) {
    scale /= 10; // a power of ten, so this stays exact until it reaches 0
    const std::uint64_t part = static_cast<std::uint64_t>(text[at] - '0') * scale;
    if (part > UINT64_MAX - value) {
      return count_read::too_big;
    }
    value += part;
  }
  return count_read::fits;
}

// Reads the report into file_info. A block starts at a "File 'name'" line
// and ends at an empty line, at the next "File" line or at the end of the
// report; the first figures of each kind in a block count (gcov -n writes no
// blank lines, and its closing total would otherwise replace the last
// file's figures). Returns false when the report could not be read.
bool read_report(std::istream &in) {
  std::string line;
  std::string key;
  covr_info record;
  bool open = false, have_lines = false, have_taken = false,
       have_creating = false;
  auto close_block = [&] {
    if (open) {
      file_info[key] = record;
    }
    open = false;
  };
  std::string name;
  while (read_line(in, line)) {
    if (quoted_name(line, "File ", name)) {
      close_block();
      key = name;
      record = covr_info();
      open = true;
      have_lines = have_taken = have_creating = false;
    } else if (!open) {
      continue;
    } else if (line.empty()) {
      close_block();
    } else if (starts_with(line, "Lines executed:")) {
      if (!have_lines) {
        record.lines_text = line.substr(15);
        have_lines = true;
      }
    } else if (starts_with(line, "Taken at least once:")) {
      if (!have_taken) {
        record.taken_text = line.substr(20);
        have_taken = true;
      }
    } else if (quoted_name(line, "Creating ", name)) {
      if (!have_creating) {
        record.gcov_name = name;
        have_creating = true;
      }
    }
  }
  close_block();
  return !in.bad();
}

// "-" without executable items; otherwise "P% of N" with two decimals.
std::string figure(std::int64_t hits, std::int64_t total) {
  if (total == 0) {
    return "-";
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f",
                static_cast<double>(hits) * 100.0 / static_cast<double>(total));
  return std::string(buf) + "% of " + std::to_string(total);
}

// A branch is taken when the number after "taken " (a percentage or, with
// gcov -c, a count) is not zero; "never executed" has no such number.
bool branch_taken(const std::string &line) {
  const std::size_t at = line.find("taken ");
  if (at == std::string::npos) {
    return false;
  }
  std::size_t pos = at + 6;
  bool any_digit = false;
  for (; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c >= '1' && c <= '9') {
      return true;
    }
    if (c == '0') {
      any_digit = true;
    } else if (c != '.' || !any_digit) {
      break;
    }
  }
  return false;
}

// gcov -k and -q colour counts and line numbers with ANSI escape sequences
// (ESC "[", parameters, a final character); without them the text is what
// gcov writes otherwise. Removes them from line.
void strip_escapes(std::string &line) {
  std::size_t at = line.find('\x1b');
  if (at == std::string::npos) {
    return;
  }
  std::size_t to = at;
  while (at < line.size()) {
    if (line[at] == '\x1b' && at + 1 < line.size() && line[at + 1] == '[') {
      at += 2;
      while (at < line.size() && line[at] >= 0x20 && line[at] <= 0x3f) {
        ++at; // parameters and intermediate characters
      }
      if (at < line.size() && line[at] >= 0x40 && line[at] <= 0x7e) {
        ++at;
      }
    } else {
      line[to++] = line[at++];
    }
  }
  line.resize(to);
}

// Matches an annotated source line (line_r) against the prefix of text.
bool match_line(const std::string &text, std::smatch &m) {
  const auto end = text.begin() + static_cast<std::ptrdiff_t>(
                                      std::min(text.size(), line_prefix_limit));
  return std::regex_search(text.begin(), end, m, line_r);
}

// The source file an annotated file is of: the name on its "Source:" line
// among gcov's header lines (line number 0); "" when there is none.
std::string source_of(std::istream &in) {
  std::string line;
  std::smatch m;
  while (read_line(in, line)) {
    strip_escapes(line);
    if (!match_line(line, m)) {
      if (starts_with(line, "function ")) {
        break;
      }
      continue;
    }
    if (m[2].str().find_first_not_of('0') != std::string::npos) {
      break; // the first source line: the header is over
    }
    const std::string rest = line.substr(
        static_cast<std::size_t>(m.position(0) + m.length(0)));
    if (starts_with(rest, "Source:")) {
      return rest.substr(7);
    }
  }
  return "";
}

// Writes the summary lines of one annotated file while reading it. A count
// or a line number that does not fit in 64 bits makes the file fail.
class annotated_reader {
public:
  explicit annotated_reader(std::ostream &out) : out_(out) {}

  // Reads one line of the file; its colour escapes are removed.
  void line(std::string &text) {
    strip_escapes(text);
    std::smatch m;
    if (match_line(text, m)) {
      source_line(m[1].str(), m[2].str());
    } else if (text.size() > line_prefix_limit &&
               std::regex_search(text.begin(),
                                 text.begin() + static_cast<std::ptrdiff_t>(
                                                    line_prefix_limit),
                                 cut_number_r)) {
      failed_ = true;
    } else if (starts_with(text, "function ")) {
      function_header(text);
    } else if (state_ >= 0 && starts_with(text, "branch ")) {
      ++branches_;
      if (state_ == 0) {
        out_ << '\t';
      }
      if (branch_taken(text)) {
        ++taken_;
        out_ << '+';
      } else {
        out_ << '-';
      }
      ++state_;
    }
    // Anything else (calls, template separators and names) is skipped
    // without closing the open line.
  }

  void finish() {
    close_line();
    write_function();
  }

  // A number did not fit: the summary would be wrong.
  bool failed() const { return failed_; }

private:
  void close_line() {
    if (state_ >= 0) {
      out_ << '\n';
    }
    state_ = -1;
  }

  void source_line(const std::string &count_field, const std::string &number) {
    close_line();
    std::uint64_t line_no = 0;
    std::uint64_t count = 0;
    const bool executed = (count_field[0] >= '1' && count_field[0] <= '9') ||
                          count_field.find_first_of(count_units) != std::string::npos;
    if (parse_count(number, 0, line_no) != count_read::fits ||
        line_no > INT64_MAX ||
        (executed && parse_count(count_field, 0, count) != count_read::fits)) {
      failed_ = true;
      return;
    }
    last_line_ = static_cast<std::int64_t>(line_no);
    if (function_line_open_) {
      // The first line after a function header is the function's first
      // line; for template instantiations gcov repeats earlier lines, so
      // this differs from the line after the last one seen.
      function_line_ = last_line_;
      function_line_open_ = false;
    }
    if (count_field == "-") {
      return;
    }
    ++executable_;
    if (executed) {
      ++executed_;
    } else {
      count = 0;
    }
    out_ << line_no << ':' << count;
    state_ = 0;
  }

  // "function NAME called N returned ..."; malformed headers are skipped.
  void function_header(const std::string &text) {
    const std::size_t at = text.find(" called ", 9);
    std::uint64_t calls = 0;
    const count_read read = at == std::string::npos
                                ? count_read::none
                                : parse_count(text, at + 8, calls);
    if (read != count_read::fits) {
      failed_ = failed_ || read == count_read::too_big;
      return;
    }
    // Until a line follows, the function's line is the one after the last
    // line seen, which past the largest line number does not fit.
    if (last_line_ == INT64_MAX) {
      failed_ = true;
      return;
    }
    close_line();
    write_function();
    function_ = text.substr(9, at - 9);
    function_line_ = last_line_ + 1;
    function_line_open_ = true;
    calls_ = calls;
    executable_ = executed_ = branches_ = taken_ = 0;
  }

  void write_function() {
    if (function_.empty()) {
      return;
    }
    out_ << "function:" << function_ << '\t' << function_line_ << '\t'
         << calls_ << '\t' << figure(executed_, executable_) << '\t'
         << figure(taken_, branches_) << '\n';
  }

  std::ostream &out_;
  std::string function_;
  std::int64_t function_line_ = 0;
  bool function_line_open_ = false;
  std::uint64_t calls_ = 0;
  std::int64_t executable_ = 0, executed_ = 0, branches_ = 0, taken_ = 0;
  std::int64_t last_line_ = 0;
  // -1: no source line open; otherwise the branch marks written for it.
  std::int64_t state_ = -1;
  bool failed_ = false;
};

// A regular file itself: not a link, a device or a pipe, which are never
// removed.
bool regular_file(const std::string &name) {
  struct stat st;
  return lstat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The whole run; main adds what happens when memory runs out.
int run(int argc, char **argv) {
  if (argc < 3) {
    return 1;
  }
  const std::string report_name = argv[1];
  const std::string summary_name = argv[2];

  std::ifstream report(report_name);
  if (!report) {
    return 1;
  }
  if (!read_report(report)) {
    return 1;
  }
  report.close();
  // Writing the summary over the report or over a file the report names
  // would destroy an input: the same file by device and inode (through any
  // link or spelling), or the same name of a file that does not exist. (A
  // device such as /dev/stdout holds nothing that writing could destroy.)
  const safe_output::file_id summary_id = safe_output::identify(summary_name);
  if (summary_id.can_hold_an_input()) {
    if (summary_id == safe_output::identify(report_name)) {
      return 1;
    }
    for (const auto &record : file_info) {
      if (summary_id == safe_output::identify(record.second.gcov_name)) {
        return 1;
      }
    }
  }

  // Files that must not be read as annotated files, by device and inode:
  // the report (already consumed) and every annotated file once it has been
  // read (two records naming the same file get its contents only once).
  std::set<std::pair<dev_t, ino_t>> consumed;
  const safe_output::file_id report_id = safe_output::identify(report_name);
  if (report_id.name.empty()) { // the report exists
    consumed.insert({report_id.dev, report_id.ino});
  }
  std::vector<std::string> to_remove;
  std::ostringstream summary;
  // The sources whose records name each annotated file.
  std::map<std::string, std::set<std::string>> named_by;
  for (const auto &[key, info] : file_info) {
    named_by[info.gcov_name].insert(key);
  }

  for (const auto &[key, info] : file_info) {
    const std::string &gcov = info.gcov_name;
    summary << "file:"
            << (gcov.size() < 5 ? gcov : gcov.substr(0, gcov.size() - 5))
            << "\t-\t-\t" << info.lines_text << '\t' << info.taken_text << '\n';

    // Only annotated files that gcov reported creating are read (and later
    // removed), and gcov creates them under bare names in the folder it runs
    // in: a name with a "/" is none of gcov's. Regular files only, so a
    // link, a directory or a pipe is never touched.
    if (!ends_with(gcov, ".gcov") || gcov.find('/') != std::string::npos ||
        !regular_file(gcov)) {
      continue;
    }
    const safe_output::file_id gcov_id = safe_output::identify(gcov);
    const std::pair<dev_t, ino_t> inode{gcov_id.dev, gcov_id.ino};
    if (!gcov_id.regular || consumed.count(inode) != 0) {
      continue;
    }
    std::ifstream annotated(gcov);
    if (!annotated) {
      continue;
    }
    // gcov writes util.c.gcov for src/a/util.c and again for src/b/util.c,
    // and only the last one stays. A file that several records name belongs
    // to the one whose source its "Source:" line names; the others get their
    // file line only. When it names none of them, which one it belongs to
    // cannot be told: nothing is written.
    const std::set<std::string> &namers = named_by[gcov];
    if (namers.size() > 1) {
      const std::string source = source_of(annotated);
      if (namers.count(source) == 0) {
        return 1;
      }
      if (source != key) {
        continue;
      }
      annotated.clear();
      annotated.seekg(0);
    }
    annotated_reader reader(summary);
    std::string line;
    while (read_line(annotated, line)) {
      reader.line(line);
    }
    reader.finish();
    // A number that does not fit, or a read that failed part way (the
    // summary would lack the rest of the file): nothing is written.
    if (reader.failed() || annotated.bad()) {
      return 1;
    }
    consumed.insert(inode);
    to_remove.push_back(gcov);
  }

  // The summary's temporary is made only once its text is complete, so a run
  // interrupted while it reads the annotated files leaves none. Inputs are
  // removed only once the whole summary is safely written, and the report
  // only when it is a regular file (never /dev/stdin or a pipe).
  // The text is copied out of the stream once and the stream emptied, so it
  // is held twice only while it is copied (a braced list would copy it once
  // more: its pairs are const).
  std::vector<std::pair<std::string, std::string>> files;
  files.emplace_back(summary_name, summary.str());
  summary.str(std::string());
  std::string failed;
  if (!safe_output::write_files(files, failed)) {
    return 1;
  }
  if (!file_info.empty() && regular_file(report_name)) {
    std::remove(report_name.c_str());
  }
  for (const std::string &name : to_remove) {
    std::remove(name.c_str());
  }
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  // Memory that runs out (a huge annotated file makes a huge summary) is a
  // failure like any other: the summary is written only at the end and the
  // inputs are removed only after that, so nothing has been written or
  // removed yet (safe_output catches it itself and leaves no temporary).
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc &) {
    return 1;
  }
}
