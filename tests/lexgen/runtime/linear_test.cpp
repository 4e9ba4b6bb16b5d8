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

// Trailing context lets the next token start inside the stretch of a scan
// that failed far ahead, where its path meets the failed one; a line that
// ends in "\r\n" decides the context's "$" only after the "\n". Every
// length of the line puts the meeting point at another place of the memo.
TEST(LexgenLinear, ScansThatStartInsideAFailedStretchKeepTheirRules) {
  const reflex::Pattern p("(?m)([a-z](?=[a-z ]*$))|([a-z ]*\r\n[^#]*#)|(.|\n)");
  for (size_t n = 1; n < 40; ++n) {
    const std::string text = std::string(n, 'a') + "\r\n" + std::string(100, 'x') + "\n";
    reflex::Matcher m(p, text);
    for (size_t pos = 0; pos < text.size();) {
      const size_t r = m.scan();
      const std::string t = r ? m.str() : std::string(1, static_cast<char>(m.input()));
      reflex::Matcher fresh(p, text.substr(pos));
      ASSERT_EQ(r, fresh.scan()) << n << " at " << pos;
      pos += t.size();
    }
  }
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

// The notes follow the buffer when it drops bytes at its front, keep two
// states per place, and the notes up to a changed byte go.
TEST(LexgenLinear, NotesMoveWithTheBuffer) {
  using reflex::detail::FailureMemo;
  constexpr size_t n = FailureMemo::stride;
  FailureMemo memo;
  memo.fit(20 * n);
  const uint32_t a = FailureMemo::key(1 << FailureMemo::state_bits, 5);
  const uint32_t b = FailureMemo::key(2 << FailureMemo::state_bits, 5), c = a + 1;
  for (size_t place = 2; place < 10; ++place) memo.note(place % 2 ? a : b, place * n);
  memo.note(a, 4 * n);  // a second state at a place
  memo.note(c, 6 * n);
  memo.note(a, 6 * n);  // a third replaces the second
  const size_t keep = 3 * n + 5;  // places move by a part of the stride
  memo.discard(keep);
  EXPECT_EQ(memo.hi(), 9 * n + 1 - keep);
  EXPECT_FALSE(memo.place(0));
  EXPECT_EQ(memo.next_place(0), n - 5);
  for (size_t place = 4; place < 10; ++place) {
    const size_t pos = place * n - keep;
    ASSERT_TRUE(memo.place(pos));
    EXPECT_EQ(memo.failed(a, pos), place % 2 == 1 || place == 4 || place == 6) << place;
    EXPECT_EQ(memo.failed(b, pos), place % 2 == 0) << place;
    EXPECT_EQ(memo.failed(c, pos), false) << place;
  }
  EXPECT_FALSE(memo.failed(b, 10 * n - keep));
  memo.forget_to(5 * n - keep);
  EXPECT_FALSE(memo.failed(b, 4 * n - keep));
  EXPECT_FALSE(memo.failed(a, 5 * n - keep));
  EXPECT_TRUE(memo.failed(b, 6 * n - keep));
  memo.discard(20 * n);
  EXPECT_EQ(memo.hi(), 0u);
  EXPECT_FALSE(memo.failed(b, memo.next_place(0)));
}

}  // namespace
