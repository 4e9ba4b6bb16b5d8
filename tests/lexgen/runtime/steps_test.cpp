// Scans read each byte a bounded number of times where a scan fails far
// ahead again and again (an unclosed comment; two kinds of them in one
// input; two patterns in turn), and the failure memo takes a bounded share
// of the buffer: counted by the build of the library that counts the bytes
// its scan loops read. Four times the input must cost four times the reads.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "program.h"
#include "reflex/matcher.h"

namespace {

using reflex::detail::counts;

const reflex::Pattern comments("(?m)(/\\*(?:.|\\n)*?\\*/)|(<<(?:.|\\n)*?>>)|(x+)|(.|\\n)");
const reflex::Pattern others("(?m)(x[^@]*@)|(/)|([ \\n]+)|(.)");

// Scans `line` n times over, from a string or a stream; with `mixed`, a
// token that starts with "x" is scanned with `others`. Returns the bytes
// read per byte of input.
double reads_per_byte(const reflex::Pattern& p, const std::string& line, size_t n, bool stream, bool mixed) {
  std::string text;
  for (size_t i = 0; i < n; ++i) text += line;
  counts = {};
  std::istringstream in(text);
  reflex::Matcher m(p, stream ? reflex::Input(in) : reflex::Input(text));
  size_t pos = 0;
  for (;;) {
    if (mixed) m.pattern(pos < text.size() && text[pos] == 'x' ? others : p);
    if (m.scan() != 0) {
      pos += m.size();
    } else if (m.at_end()) {
      break;
    } else {
      m.input();
      ++pos;
    }
  }
  EXPECT_EQ(pos, text.size());
  return static_cast<double>(counts.steps) / static_cast<double>(text.size());
}

TEST(LexgenSteps, FailuresFarAheadAreReadABoundedNumberOfTimes) {
  struct Case {
    const char* line;
    bool mixed;
  } cases[] = {{"/* x\n", false}, {"/* << x\n", false}, {"/* xx\n", true}};
  for (const Case& c : cases) {
    for (bool stream : {false, true}) {
      const double one = reads_per_byte(comments, c.line, 20000, stream, c.mixed);
      EXPECT_LE(counts.memo_bytes, counts.buffer_bytes / 2 + 64) << c.line;
      const double four = reads_per_byte(comments, c.line, 80000, stream, c.mixed);
      EXPECT_LE(counts.memo_bytes, counts.buffer_bytes / 2 + 64) << c.line;
      EXPECT_LT(one, 20) << c.line << (stream ? " from a stream" : "");
      EXPECT_LT(four, 1.05 * one) << c.line << (stream ? " from a stream" : "");
    }
  }
}

// Failures that end before the input does: the buffer keeps its size, and
// so does the memo, however far the scan has gone.
TEST(LexgenSteps, TheMemoStaysWithinTheBuffer) {
  const reflex::Pattern bang("(?m)(/\\*[^!]*\\*/)|(y+)|(.|\\n)");
  const std::string line = "/* " + std::string(300, 'y') + "!\n";
  const double one = reads_per_byte(bang, line, 1000, true, false);
  const size_t memo = counts.memo_bytes, buffer = counts.buffer_bytes;
  EXPECT_GT(memo, 0u);
  const double four = reads_per_byte(bang, line, 4000, true, false);
  EXPECT_EQ(counts.buffer_bytes, buffer);
  EXPECT_EQ(counts.memo_bytes, memo);
  EXPECT_LE(memo, buffer / 2 + 64);
  EXPECT_LT(four, 1.05 * one);
}

// A bounded repetition that fails late is read again from every position,
// each byte up to three times as often as its count (to where a scan
// fails, again to its last accepting place, and to look for what to note:
// on average half that), and the memo notes nothing of it.
TEST(LexgenSteps, LateFailingRepetitionsReadAsOftenAsTheirCount) {
  struct Case {
    const char* regex;
    std::string line;
    double count;
  } cases[] = {{"(?m)(a{1000})", std::string(999, 'a') + "b", 1000},
               {"(?m)(a{100})", std::string(99, 'a') + "b", 100},
               {"(?m)([a-z]{1,300}!)|([a-z])|(.)|(\\n)", std::string(250, 'q') + " ", 300}};
  for (const Case& c : cases) {
    const reflex::Pattern p(c.regex);
    const double one = reads_per_byte(p, c.line, 20, false, false);
    const double four = reads_per_byte(p, c.line, 80, false, false);
    EXPECT_EQ(counts.memo_bytes, 0u) << c.regex;
    EXPECT_LT(one, 2 * c.count) << c.regex;
    EXPECT_LT(four, 1.05 * one) << c.regex;
  }
}

}  // namespace
