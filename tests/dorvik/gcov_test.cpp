// dorvik on real gcov output: small C and C++ programs are compiled with
// --coverage, run, and summarised from gcov's console report in the forms
// gcov -b, gcov -b -c and gcov -n -b. The summary is checked against the
// report's figures, the annotated files and gcov -f's per-function figures.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "dorvik_support.hpp"

using namespace dorvik_test;

namespace {

const char *const c_source = R"(#include <stdio.h>
static int never_called(int x) { return x * 3; }
int classify(int x) {
  if (x > 0 && x < 10)
    return 1;
  return 0;
}
int main(int argc, char **argv) {
  int s = 0;
  for (int i = 0; i < 5; i++)
    s += classify(i);
  if (argc > 5)
    s += never_called(argc);
  printf("%d\n", s);
  return 0;
}
)";

// The template comes first: gcov lists its combined lines before the
// instantiations, and those lines would otherwise count for the function
// before it.
const char *const cpp_source = R"(#include <cstdio>
#include <stdexcept>
template <typename T>
T twice(T v) {
  return v + v;
}
int checked(int x) {
  if (x > 2)
    throw std::runtime_error("too big");
  return x;
}
int guarded(int x) {
  try {
    return checked(x);
  } catch (const std::exception &) {
    return -1;
  }
}
int safe(int x) {
  try {
    if (x > 100)
      throw std::logic_error("never");
  } catch (const std::exception &) {
    return -1;
  }
  return x;
}
int main() {
  int s = twice(3) + static_cast<int>(twice(1.5));
  for (int i = 0; i < 4; i++)
    s += guarded(i);
  s += safe(1);
  std::printf("%d\n", s);
  return 0;
}
)";

struct expected_function {
  const char *name;
  const char *first_line_text; // text of the line where the function starts
  const char *calls;
  bool simple; // gcov -f gives this function's own line figure
};

const std::vector<expected_function> c_functions = {
    {"never_called", "static int never_called", "0", true},
    {"classify", "int classify(", "5", true},
    {"main", "int main(int argc", "1", true},
};

const std::vector<expected_function> cpp_functions = {
    {"_Z5twiceIdET_S0_", "T twice(T v)", "1", false},
    {"_Z5twiceIiET_S0_", "T twice(T v)", "1", false},
    {"_Z7checkedi", "int checked(", "4", true},
    {"_Z7guardedi", "int guarded(", "4", true},
    {"_Z4safei", "int safe(", "1", true},
    {"main", "int main()", "1", true},
};

// The figures of one "File" block of a gcov report.
struct report_block {
  std::string lines = "-", taken = "-", created;
};

// The blocks of a report: a block ends at the next "File" line or a blank
// line; the first figure of each kind counts.
std::map<std::string, report_block> parse_report(const std::string &text) {
  std::map<std::string, report_block> blocks;
  report_block *current = nullptr;
  for (const std::string &line : split_lines(text)) {
    if (line.rfind("File '", 0) == 0) {
      current = &(blocks[line.substr(6, line.size() - 7)] = report_block());
    } else if (line.empty()) {
      current = nullptr;
    } else if (current != nullptr) {
      const auto colon = line.find(':') + 1;
      if (line.rfind("Lines executed:", 0) == 0 && current->lines == "-") {
        current->lines = line.substr(colon);
      } else if (line.rfind("Taken at least once:", 0) == 0 &&
                 current->taken == "-") {
        current->taken = line.substr(colon);
      } else if (line.rfind("Creating '", 0) == 0) {
        current->created = line.substr(10, line.size() - 11);
      }
    }
  }
  return blocks;
}

// "Function 'name'" blocks of gcov -f: name -> "Lines executed" figure.
std::map<std::string, std::string> parse_function_figures(const std::string &text) {
  std::map<std::string, std::string> figures;
  std::string name;
  for (const std::string &line : split_lines(text)) {
    if (line.rfind("Function '", 0) == 0) {
      name = line.substr(10, line.size() - 11);
    } else if (!name.empty() && line.rfind("Lines executed:", 0) == 0) {
      figures[name] = line.substr(15);
      name.clear();
    }
  }
  return figures;
}

bool all_of(const std::string &s, const char *chars) {
  return !s.empty() && s.find_first_not_of(chars) == std::string::npos;
}

std::string trim(const std::string &s) {
  const auto first = s.find_first_not_of(' ');
  return first == std::string::npos ? "" : s.substr(first);
}

// The summary lines expected for the source lines of an annotated file:
// "N:count", with a tab and one mark per branch when there are branches.
std::vector<std::string> expected_source_lines(const std::string &annotated) {
  std::vector<std::string> lines;
  bool open = false;
  for (const std::string &line : split_lines(annotated)) {
    const auto colon1 = line.find(':');
    const auto colon2 = colon1 == std::string::npos ? colon1 : line.find(':', colon1 + 1);
    if (colon2 != std::string::npos) {
      const std::string count = trim(line.substr(0, colon1));
      const std::string number = trim(line.substr(colon1 + 1, colon2 - colon1 - 1));
      const bool counted = all_of(count, "0123456789*") || all_of(count, "#") ||
                           all_of(count, "=") || all_of(count, "%");
      if (all_of(number, "0123456789") && (counted || count == "-")) {
        open = counted && count != "-";
        if (open) {
          const std::string value = all_of(count, "0123456789*")
                                        ? count.substr(0, count.find('*'))
                                        : "0";
          lines.push_back(number + ":" + value);
        }
        continue;
      }
    }
    if (line.rfind("function ", 0) == 0) {
      open = false;
    } else if (open && line.rfind("branch ", 0) == 0) {
      if (lines.back().find('\t') == std::string::npos) {
        lines.back() += '\t';
      }
      std::istringstream words(line.substr(line.find("taken ") + 6));
      unsigned long long taken = 0;
      const bool never = line.find("never executed") != std::string::npos;
      lines.back() += !never && (words >> taken) && taken > 0 ? '+' : '-';
    }
  }
  return lines;
}

std::string percent_of(std::size_t hits, std::size_t total) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f%% of %zu", 100.0 * hits / total, total);
  return buf;
}

int line_of(const std::string &source, const std::string &text) {
  const std::vector<std::string> lines = split_lines(source);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find(text) != std::string::npos) {
      return static_cast<int>(i + 1);
    }
  }
  return 0;
}

// One source file's part of the summary: its file line and what follows.
struct summary_section {
  std::vector<std::string> file_fields;
  std::vector<std::string> source_lines;
  std::vector<std::vector<std::string>> functions;
};

std::vector<summary_section> parse_summary(const std::string &text) {
  std::vector<summary_section> sections;
  for (const std::string &line : split_lines(text)) {
    if (line.rfind("file:", 0) == 0) {
      sections.emplace_back();
      sections.back().file_fields = split_tabs(line);
    } else if (sections.empty()) {
      ADD_FAILURE() << "line before the first file line: " << line;
    } else if (line.rfind("function:", 0) == 0) {
      sections.back().functions.push_back(split_tabs(line));
    } else {
      sections.back().source_lines.push_back(line);
    }
  }
  return sections;
}

class GcovTest : public ::testing::Test {
protected:
  // Compiles a source written into the scratch directory with --coverage
  // (and no sanitizer) into an executable, then runs it once.
  void build_and_run(const char *compiler, const std::string &source,
                     const std::string &text, const std::string &exe) {
    write_file(dir / source, text);
    const std::string object = source.substr(0, source.find('.')) + ".o";
    ASSERT_EQ(run({compiler, "--coverage", "-O0", "-c", source, "-o", object},
                  dir.path()).status, 0);
    ASSERT_EQ(run({compiler, "--coverage", object, "-o", exe}, dir.path()).status, 0);
    ASSERT_EQ(run({"./" + exe}, dir.path()).status, 0);
  }

  // Runs gcov with the given options on the sources, saving its console
  // report as report.txt.
  void gcov_report(std::vector<std::string> options,
                   const std::vector<std::string> &sources) {
    options.insert(options.begin(), GCOV);
    options.insert(options.end(), sources.begin(), sources.end());
    ASSERT_EQ(run(options, dir.path(), dir / "report.txt").status, 0);
  }

  // Runs dorvik on report.txt, checks that exactly the report and the
  // annotated files it names are gone, and returns the summary.
  std::string summarise(const std::map<std::string, report_block> &blocks) {
    std::set<std::string> expected = list_dir(dir.path());
    expected.erase("report.txt");
    for (const auto &block : blocks) {
      expected.erase(block.second.created);
    }
    expected.insert("summary.txt");
    const run_result r = run_dorvik({"report.txt", "summary.txt"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_EQ(list_dir(dir.path()), expected);
    return read_file(dir / "summary.txt");
  }

  scratch_dir dir;
};

class GcovFormTest : public GcovTest,
                     public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(GcovFormTest, SummaryAgreesWithGcov) {
  build_and_run(GCC, "cov_c.c", c_source, "prog_c");
  build_and_run(GXX, "cov_cpp.cpp", cpp_source, "prog_cpp");
  if (HasFatalFailure()) {
    return;
  }
  const std::map<std::string, std::string> source_of = {
      {"cov_c.c", c_source}, {"cov_cpp.cpp", cpp_source}};
  const std::map<std::string, const std::vector<expected_function> *> functions_of = {
      {"cov_c.c", &c_functions}, {"cov_cpp.cpp", &cpp_functions}};
  std::map<std::string, std::map<std::string, std::string>> function_figures;
  for (const auto &source : source_of) {
    const run_result f = run({GCOV, "-f", "-n", source.first}, dir.path());
    ASSERT_EQ(f.status, 0);
    function_figures[source.first] = parse_function_figures(f.out);
  }

  gcov_report(GetParam(), {"cov_c.c", "cov_cpp.cpp"});
  const std::map<std::string, report_block> blocks =
      parse_report(read_file(dir / "report.txt"));
  ASSERT_EQ(blocks.count("cov_c.c"), 1u);
  ASSERT_EQ(blocks.count("cov_cpp.cpp"), 1u);
  std::map<std::string, std::string> annotated;
  for (const auto &block : blocks) {
    if (!block.second.created.empty()) {
      annotated[block.first] = read_file(dir / block.second.created);
    }
  }

  const std::vector<summary_section> sections = parse_summary(summarise(blocks));
  ASSERT_EQ(sections.size(), blocks.size());
  auto section = sections.begin();
  for (const auto &[name, block] : blocks) {
    SCOPED_TRACE(name);
    const std::string shown =
        block.created.empty() ? "?" : block.created.substr(0, block.created.size() - 5);
    EXPECT_EQ(section->file_fields,
              (std::vector<std::string>{"file:" + shown, "-", "-", block.lines,
                                        block.taken}));
    if (annotated.count(name) == 0) {
      EXPECT_TRUE(section->source_lines.empty());
      EXPECT_TRUE(section->functions.empty());
      ++section;
      continue;
    }
    EXPECT_EQ(section->source_lines, expected_source_lines(annotated[name]));

    // Distinct lines, executed lines and branch marks against the report.
    std::map<std::string, bool> executed;
    std::size_t marks = 0, taken = 0;
    for (const std::string &line : section->source_lines) {
      const auto colon = line.find(':');
      executed[line.substr(0, colon)] |= line[colon + 1] != '0';
      const auto tab = line.find('\t');
      if (tab != std::string::npos) {
        marks += line.size() - tab - 1;
        taken += std::count(line.begin() + tab, line.end(), '+');
      }
    }
    std::size_t executed_lines = 0;
    for (const auto &entry : executed) {
      executed_lines += entry.second;
    }
    EXPECT_EQ(percent_of(executed_lines, executed.size()), block.lines);
    EXPECT_EQ(marks == 0 ? "-" : percent_of(taken, marks), block.taken);

    if (source_of.count(name) == 0) {
      ++section;
      continue;
    }
    const std::vector<expected_function> &functions = *functions_of.at(name);
    ASSERT_EQ(section->functions.size(), functions.size());
    for (const expected_function &f : functions) {
      SCOPED_TRACE(f.name);
      const auto found =
          std::find_if(section->functions.begin(), section->functions.end(),
                       [&](const std::vector<std::string> &fields) {
                         return fields[0] == std::string("function:") + f.name;
                       });
      ASSERT_NE(found, section->functions.end());
      ASSERT_EQ(found->size(), 5u);
      EXPECT_EQ((*found)[1],
                std::to_string(line_of(source_of.at(name), f.first_line_text)));
      EXPECT_EQ((*found)[2], f.calls);
      if (f.simple) {
        EXPECT_EQ((*found)[3], function_figures[name][f.name]);
      }
    }
    ++section;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, GcovFormTest,
    ::testing::Values(std::vector<std::string>{"-b"},
                      std::vector<std::string>{"-b", "-c"},
                      std::vector<std::string>{"-n", "-b"}),
    [](const ::testing::TestParamInfo<std::vector<std::string>> &info) {
      std::string name;
      for (const std::string &option : info.param) {
        name += option.substr(1);
      }
      return name;
    });

// gcov pads counts to nine characters, so a count of nine digits or more
// fills the field without a blank in front of it.
TEST_F(GcovTest, NineDigitCountsKeepTheirBranchMarks) {
  build_and_run(GCC, "big.c", R"(int main(void) {
  long n = 0;
  for (long i = 0; i < 100000001L; i++)
    n += i & 1;
  return n == 50000000L ? 0 : 1;
}
)", "prog_big");
  if (HasFatalFailure()) {
    return;
  }
  gcov_report({"-b"}, {"big.c"});
  const std::string summary = summarise(parse_report(read_file(dir / "report.txt")));
  EXPECT_NE(summary.find("\n3:100000002\t++\n4:100000001\n"), std::string::npos)
      << summary;
}

// gcov -H writes counts from 1000 on with a suffix: they are executed
// lines, counted as the value the suffix denotes, and so are call counts.
TEST_F(GcovTest, HumanReadableCounts) {
  build_and_run(GCC, "h.c", R"(int f(int x) { return x & 1; }
int main(void) {
  long n = 0;
  for (long i = 0; i < 1234567; i++)
    n += f(i);
  for (int i = 0; i < 5000; i++)
    n += i;
  return n == 0;
}
)", "prog_h");
  if (HasFatalFailure()) {
    return;
  }
  gcov_report({"-b", "-H"}, {"h.c"});
  EXPECT_EQ(summarise(parse_report(read_file(dir / "report.txt"))),
            "file:h.c\t-\t-\t100.00% of 8\t100.00% of 4\n"
            "1:1200000\n"
            "function:f\t1\t1200000\t100.00% of 1\t-\n"
            "2:1\n3:1\n4:1200000\t++\n5:1200000\n6:5000\t++\n7:5000\n8:1\n"
            "function:main\t2\t1\t100.00% of 7\t100.00% of 4\n");
}

} // namespace
