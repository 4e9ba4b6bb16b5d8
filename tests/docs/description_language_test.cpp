// The guide to the description language and its examples: every example
// runs as its cases.txt says, and the text the guide shows is the text of the
// files it names.
//
// cases.txt of an example folder holds one run per line:
//   NAME STATUS PROGRAM ARGUMENT...
// PROGRAM is "reader" (the program built from the folder's description) or
// "tarnel" (run with an output prefix in a scratch folder). The run happens
// in the example folder; standard output must equal NAME.out and standard
// error NAME.err (nothing where there is no such file; one of the two must
// exist), the exit status STATUS. The build gives tarnel the descriptions by
// their full path, which the readers' messages repeat ("Match error"): the
// example folder is left out of them, as if tarnel had run there. Readers
// must free all they make, also when they stop at an error.
//
// In the guide, a fenced block right after a line "<!-- file: PATH -->" is
// the whole file PATH (relative to the guide's folder); after
// "<!-- excerpt: PATH -->" its lines are consecutive lines of PATH. A block
// fenced as "tarnel" must carry one of the two marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "run_tarnel.hpp"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> words_of(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

std::vector<fs::path> example_folders() {
  std::vector<fs::path> folders;
  for (const auto& e : fs::directory_iterator(EXAMPLES_DIR))
    if (e.is_directory()) folders.push_back(e.path());
  std::sort(folders.begin(), folders.end());
  return folders;
}

void run_case(const fs::path& folder, const std::vector<std::string>& words) {
  const std::string where = folder.filename().string() + "/cases.txt: " + words[0];
  ASSERT_GE(words.size(), 3u) << where;
  std::vector<std::string> args(words.begin() + 3, words.end());
  std::string program, scratch;
  if (words[2] == "reader") {
    program = std::string(READER_DIR) + "/guide_" + folder.filename().string() + "_reader";
  } else {
    ASSERT_EQ(words[2], "tarnel") << where;
    char templ[] = "/tmp/guide_XXXXXX";
    ASSERT_TRUE(mkdtemp(templ)) << where;
    scratch = templ;
    program = TARNEL_EXE;
    args.insert(args.begin(), "-o" + scratch + "/");
  }
  // Readers run with leak reports on in a sanitizer build: a leak ends the
  // run with another status and a report on standard error.
  RunResult r = run_program(program, args, folder.string(), "", scratch.empty());
  for (std::string* text : {&r.out, &r.err}) {
    const std::string prefix = folder.string() + "/";
    for (size_t at; (at = text->find(prefix)) != std::string::npos;) text->erase(at, prefix.size());
  }
  const std::string out_file = (folder / words[0]).string() + ".out";
  const std::string err_file = (folder / words[0]).string() + ".err";
  ASSERT_TRUE(fs::exists(out_file) || fs::exists(err_file)) << where << ": no expected output";
  EXPECT_EQ(r.out, fs::exists(out_file) ? read_file(out_file) : "") << where;
  EXPECT_EQ(r.err, fs::exists(err_file) ? read_file(err_file) : "") << where;
  EXPECT_EQ(std::to_string(r.status), words[1]) << where;
  if (!scratch.empty()) fs::remove_all(scratch);
}

TEST(DescriptionLanguage, ExamplesRunAsTheirCasesSay) {
  int runs = 0;
  for (const fs::path& folder : example_folders()) {
    const fs::path cases = folder / "cases.txt";
    ASSERT_TRUE(fs::exists(cases)) << folder;
    for (const std::string& line : lines_of(read_file(cases.string()))) {
      const std::vector<std::string> words = words_of(line);
      if (words.empty() || words[0][0] == '#') continue;
      run_case(folder, words);
      ++runs;
    }
  }
  EXPECT_GT(runs, 0);
}

bool is_excerpt(const std::vector<std::string>& block, const std::vector<std::string>& file) {
  if (block.empty()) return false;
  return std::search(file.begin(), file.end(), block.begin(), block.end()) != file.end();
}

TEST(DescriptionLanguage, GuideShowsTheFilesText) {
  const fs::path guide = GUIDE;
  const std::vector<std::string> lines = lines_of(read_file(guide.string()));
  std::set<std::string> shown;
  std::string mark;  // the mark on the line before, "" when none
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.compare(0, 3, "```") != 0) {
      mark = line;
      continue;
    }
    const std::string info = line.substr(3);
    std::vector<std::string> block;
    size_t open = i;
    for (++i; i < lines.size() && lines[i] != "```"; ++i) block.push_back(lines[i]);
    ASSERT_LT(i, lines.size()) << "guide line " << open + 1 << ": block not closed";
    const std::string where = "guide line " + std::to_string(open + 1);

    std::string kind, path;
    std::istringstream m(mark);
    std::string open_tag, close_tag;
    m >> open_tag >> kind >> path >> close_tag;
    mark.clear();
    if (open_tag != "<!--" || close_tag != "-->" || (kind != "file:" && kind != "excerpt:")) {
      EXPECT_NE(info, "tarnel") << where << ": description text without a file or excerpt mark";
      continue;
    }
    const fs::path file = guide.parent_path() / path;
    ASSERT_TRUE(fs::exists(file)) << where << ": no file " << path;
    const std::string text = read_file(file.string());
    if (kind == "file:") {
      std::string joined;
      for (const std::string& l : block) joined += l + "\n";
      // A file without a final newline is shown all the same.
      EXPECT_TRUE(joined == text || joined == text + "\n") << where << ": differs from " << path;
    } else {
      EXPECT_TRUE(is_excerpt(block, lines_of(text))) << where << ": not an excerpt of " << path;
    }
    const fs::path rel = fs::relative(file, EXAMPLES_DIR);
    if (!rel.empty() && *rel.begin() != "..") shown.insert(rel.begin()->string());
  }
  for (const fs::path& folder : example_folders())
    EXPECT_TRUE(shown.count(folder.filename().string()))
        << "the guide shows nothing of the example " << folder.filename();
}

}  // namespace
