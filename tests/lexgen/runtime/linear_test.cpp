// Scans that fail far ahead (an unclosed comment or string) note where they
// failed, and later scans stop there: the tokens must be those that scanning
// each one afresh finds, whatever the input source, pattern switches or
// bytes put back.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "memo.h"
#include "reflex/matcher.h"
#include "scan_util.h"

namespace {

// Two rule sets that often look far ahead and fail: lazy block comments,
// strings over lines, a rule that needs an "@" somewhere later.
const reflex::Pattern comments("(?m)(/\\*(?:.|\\n)*?\\*/)|(\"[^\"]*\")|(x+)|(.|\\n)");
const reflex::Pattern others("(?m)(/\\*.*\\*/)|(x[^@]*@)|(/)|([ \\n]+)|(.)");

// With `mixed`, a token that starts with "x" is scanned with `others`.
const reflex::Pattern& pattern_at(const std::string& text, size_t pos, bool mixed) {
  return mixed && text[pos] == 'x' ? others : comments;
}

// Every token found by a scan that has seen nothing before it.
Tokens fresh_tokens(const std::string& text, bool mixed) {
  Tokens out;
  reflex::Matcher m(comments, "");
  for (size_t pos = 0; pos < text.size();) {
    m.input(reflex::Input(text.substr(pos)));
    m.pattern(pattern_at(text, pos, mixed));
    size_t r = m.scan();
    std::string t = r ? m.str() : std::string(1, static_cast<char>(m.input()));
    out.push_back(std::to_string(r) + ":" + t);
    pos += t.size();
  }
  return out;
}

Tokens scan_all(reflex::Matcher& m, const std::string& text, bool mixed) {
  Tokens out;
  for (size_t pos = 0; pos < text.size();) {
    if (mixed) m.pattern(pattern_at(text, pos, mixed));
    size_t r = m.scan();
    std::string t = r ? m.str() : std::string(1, static_cast<char>(m.input()));
    out.push_back(std::to_string(r) + ":" + t);
    pos += t.size();
  }
  EXPECT_EQ(m.scan(), 0u);
  EXPECT_TRUE(m.at_end());
  return out;
}

TEST(LexgenLinear, NotedFailuresKeepEveryToken) {
  std::mt19937 rng(15);
  const std::vector<std::string> pieces = {"/*", "*/", "\"", "x", "xx", "*", "\n", " ", "@", "/"};
  for (int round = 0; round < 16; ++round) {
    // Rounds leave closing pieces out, so that some constructs never close.
    std::vector<std::string> used;
    for (const std::string& p : pieces)
      if (!((round & 2 && (p == "*/" || p == "*")) || (round & 4 && p == "@") || (round & 8 && p == "\"")))
        used.push_back(p);
    std::string text;
    while (text.size() < 2000) text += used[rng() % used.size()];
    const bool mixed = (round & 1) != 0;
    const Tokens want = fresh_tokens(text, mixed);
    reflex::Matcher ms(comments, text);
    EXPECT_EQ(scan_all(ms, text, mixed), want) << "round " << round;
    std::istringstream in(text);
    reflex::Matcher mi(comments, in);
    mi.interactive();
    EXPECT_EQ(scan_all(mi, text, mixed), want) << "round " << round << ", interactive";
  }
  // A comment that never closes, names that never meet an "@", and a string
  // that closes across both: each position is noted once per pattern.
  std::string text = "/* ";
  for (int i = 0; i < 100; ++i) text += "x ";
  text += "\"";
  for (int i = 0; i < 100; ++i) text += "x ";
  text += "\" x";
  reflex::Matcher m(comments, text);
  EXPECT_EQ(scan_all(m, text, true), fresh_tokens(text, true));
}

TEST(LexgenLinear, UnclosedCommentsAcrossBufferRefills) {
  std::string text;
  Tokens want;
  for (int i = 0; i < 40000; ++i) {
    text += "/* x\n";
    want.insert(want.end(), {"4:/", "4:*", "4: ", "3:x", "4:\n"});
  }
  std::istringstream in(text);
  reflex::Matcher m(comments, in);
  EXPECT_EQ(scan_all(m, text, false), want);
  // Failures that end before the input does: the buffer moves while
  // notes are kept.
  const reflex::Pattern bang("(?m)(/\\*[^!]*\\*/)|(y+)|(.|\\n)");
  const std::string ys(300, 'y');
  text.clear();
  want.clear();
  for (int i = 0; i < 1000; ++i) {
    text += "/* " + ys + "!\n";
    want.insert(want.end(), {"3:/", "3:*", "3: ", "2:" + ys, "3:!", "3:\n"});
  }
  std::istringstream in2(text);
  reflex::Matcher m2(bang, in2);
  EXPECT_EQ(scan_all(m2, text, false), want);
}

TEST(LexgenLinear, BytesPutBackUndoNotedFailures) {
  // The first scan notes that no comment closes after "/*"; bytes put back
  // inside that stretch can close one.
  reflex::Matcher m(comments, "/* " + std::string(200, 'y') + "\n");
  ASSERT_EQ(m.scan(), 4u);
  for (int i = 0; i < 50; ++i) ASSERT_EQ(m.scan(), 4u);
  const std::string put = "/* a */";
  for (auto it = put.rbegin(); it != put.rend(); ++it) m.unput(*it);
  EXPECT_EQ(m.scan(), 1u);
  EXPECT_EQ(m.str(), "/* a */");
  EXPECT_EQ(m.scan(), 4u);
  EXPECT_EQ(m.str(), "y");
}

}  // namespace

namespace {

// The notes follow the buffer when it drops bytes at its front, and the
// notes up to a changed byte go.
TEST(LexgenLinear, NotesMoveWithTheBuffer) {
  using reflex::detail::FailureMemo;
  FailureMemo memo;
  memo.fit(100);
  const uint32_t a = FailureMemo::key(1 << 16, 5), b = FailureMemo::key(2 << 16, 5);
  for (size_t pos = 10; pos < 20; ++pos) memo.note(pos % 2 ? a : b, pos);
  memo.note(a, 12);  // a second note at one place
  memo.discard(11);  // 11..19 become 0..8
  EXPECT_EQ(memo.lo(), 0u);
  EXPECT_EQ(memo.hi(), 9u);
  for (size_t pos = 0; pos < 9; ++pos) {
    EXPECT_EQ(memo.failed(a, pos), pos % 2 == 0 || pos == 1) << pos;
    EXPECT_EQ(memo.failed(b, pos), pos % 2 == 1) << pos;
  }
  EXPECT_FALSE(memo.failed(a, 9));
  EXPECT_FALSE(memo.failed(b, 10));
  memo.forget_to(1);
  EXPECT_EQ(memo.lo(), 2u);
  EXPECT_FALSE(memo.failed(b, 1));
  EXPECT_TRUE(memo.failed(a, 2));
  memo.note(b, 1);
  EXPECT_FALSE(memo.failed(a, 1));
  memo.discard(20);
  EXPECT_EQ(memo.hi(), 0u);
  EXPECT_FALSE(memo.failed(a, 0));
}

}  // namespace
