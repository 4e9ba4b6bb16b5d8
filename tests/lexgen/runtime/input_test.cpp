// Input sources, and buffering: matches longer than the buffer, inputs of
// any size, byte-at-a-time reading in interactive mode.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "reflex/abslexer.h"
#include "reflex/matcher.h"
#include "scan_util.h"

namespace {

const reflex::Pattern& bytes() {
  static const reflex::Pattern p("(?m)(.)|(\\n)");
  return p;
}

// A temporary FILE* holding `content`, positioned at its start.
struct TempFile {
  explicit TempFile(const std::string& content) : f(std::tmpfile()) {
    std::fwrite(content.data(), 1, content.size(), f);
    std::rewind(f);
  }
  ~TempFile() { std::fclose(f); }
  FILE* f;
};

TEST(LexgenInput, FileSkipsUtf8ByteOrderMark) {
  TempFile bom("\xEF\xBB\xBFhi");
  EXPECT_EQ(tokens(bytes(), bom.f), (Tokens{"1:h", "1:i"}));
  // Anything that only starts like a mark is kept.
  TempFile partial("\xEF\xBBx");
  EXPECT_EQ(tokens(bytes(), partial.f), (Tokens{"1:\xEF", "1:\xBB", "1:x"}));
  TempFile one("\xEF");
  EXPECT_EQ(tokens(bytes(), one.f), (Tokens{"1:\xEF"}));
  TempFile empty("");
  EXPECT_EQ(tokens(bytes(), empty.f), Tokens{});
  TempFile only("\xEF\xBB\xBF");
  EXPECT_EQ(tokens(bytes(), only.f), Tokens{});
}

TEST(LexgenInput, StreamsStringsAndCharPointers) {
  std::istringstream in("ab\n");
  EXPECT_EQ(tokens(bytes(), in), (Tokens{"1:a", "1:b", "2:\n"}));
  // A string is read where it lies, not copied, as RE/flex reads it; a
  // temporary one is taken over and outlives the statement that made it.
  std::string s = "xy";
  reflex::Input in_place(s);
  s[0] = 'q';
  EXPECT_EQ(tokens(bytes(), in_place), (Tokens{"1:q", "1:y"}));
  char buf[] = "uv";
  reflex::Input in_place2(buf);
  buf[0] = 'q';
  EXPECT_EQ(tokens(bytes(), in_place2), (Tokens{"1:q", "1:v"}));
  const reflex::Input taken(std::string(40, 'w') + "z");
  EXPECT_EQ(tokens(bytes(), taken).back(), "1:z");
  EXPECT_EQ(tokens(bytes(), static_cast<const char*>(nullptr)), Tokens{});
  EXPECT_EQ(reflex::Input(stdin).file(), stdin);
  EXPECT_EQ(reflex::Input().file(), nullptr);
  EXPECT_FALSE(reflex::Input().assigned());
  EXPECT_TRUE(reflex::Input(in).assigned());
  EXPECT_EQ(reflex::Input(in).stream(), &in);
}

// A default Input is empty; a lexer given none reads standard input.
TEST(LexgenInput, DefaultIsEmptyALexerWithoutInputReadsStandardInput) {
  // A name of its own: two runs of the suite at once must not share it.
  std::string path = ::testing::TempDir() + "lexgen_stdin_XXXXXX";
  const int fd = mkstemp(&path[0]);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, "\xEF\xBB\xBFok", 5), 5);
  close(fd);
  ASSERT_NE(std::freopen(path.c_str(), "r", stdin), nullptr);
  reflex::Matcher m(bytes());
  EXPECT_EQ(drain(m), Tokens{});
  reflex::AbstractLexer<reflex::Matcher> lexer;
  lexer.matcher().pattern(bytes());
  EXPECT_EQ(drain(lexer.matcher()), (Tokens{"1:o", "1:k"}));
  EXPECT_EQ(lexer.in().file(), stdin);
  std::remove(path.c_str());
}

// Lines of words and numbers, about `size` bytes.
std::string corpus(size_t size) {
  std::string s;
  for (int i = 0; s.size() < size; ++i) s += "word" + std::to_string(i) + " \t" + std::to_string(i * 7) + "\n";
  return s;
}

struct Summary {
  size_t tokens = 0, bytes = 0, last_line = 0, last_col = 0;
  bool operator==(const Summary& o) const {
    return tokens == o.tokens && bytes == o.bytes && last_line == o.last_line && last_col == o.last_col;
  }
};

Summary summarise(reflex::Matcher& m) {
  Summary s;
  while (m.scan()) {
    ++s.tokens;
    s.bytes += m.size();
    s.last_line = m.lineno();
    s.last_col = m.columno();
  }
  EXPECT_TRUE(m.at_end());
  return s;
}

TEST(LexgenInput, LargeInputsThroughEverySource) {
  const std::string text = corpus(600000);
  reflex::Pattern p("(?m)([a-z]+[0-9]*)|([0-9]+)|([ \\t\\n]+)");
  reflex::Matcher ms(p, text);
  Summary want = summarise(ms);
  EXPECT_EQ(want.bytes, text.size());
  // The last token is the final newline: its line is the number of newlines.
  EXPECT_EQ(want.last_line, static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
  TempFile tf(text);
  reflex::Matcher mf(p, tf.f);
  EXPECT_EQ(summarise(mf), want);
  std::istringstream in(text);
  reflex::Matcher mi(p, in);
  EXPECT_EQ(summarise(mi), want);
  std::istringstream in2(text.substr(0, 50000));
  reflex::Matcher mt(p, in2);
  mt.interactive();
  reflex::Matcher ms2(p, text.substr(0, 50000));
  EXPECT_EQ(summarise(mt), summarise(ms2));
}

TEST(LexgenInput, MatchesLongerThanTheBuffer) {
  const std::string big(300000, 'a');
  TempFile tf("x" + big + "b\n" + big);
  reflex::Pattern p("(?m)(a+(?=b))|(a+)|(.|\\n)");
  reflex::Matcher m(p, tf.f);
  EXPECT_EQ(m.scan(), 3u);
  EXPECT_EQ(m.scan(), 1u);
  EXPECT_EQ(m.size(), big.size());
  EXPECT_EQ(m.columno(), 1u);
  EXPECT_EQ(std::string(m.text()), big);
  EXPECT_EQ(m.scan(), 3u);
  EXPECT_EQ(m.scan(), 3u);
  EXPECT_EQ(m.scan(), 2u);
  EXPECT_EQ(m.size(), big.size());
  EXPECT_EQ(m.lineno(), 2u);
  EXPECT_EQ(m.scan(), 0u);
  EXPECT_TRUE(m.at_end());
  // Lines and columns stay right when the buffer moves under a long line.
  reflex::Matcher n(reflex::Pattern("(?m)(\\t)|(.)|(\\n)"), std::string(200000, 'x') + "\t\t\ny");
  size_t r;
  while ((r = n.scan()) == 2) {
  }
  EXPECT_EQ(r, 1u);
  EXPECT_EQ(n.columno(), 200000u);
  n.scan();
  EXPECT_EQ(n.columno(), 200008u);
  n.scan();
  n.scan();
  EXPECT_STREQ(n.text(), "y");
  EXPECT_EQ(n.lineno(), 2u);
  EXPECT_EQ(n.columno(), 0u);
}

TEST(LexgenInput, AtEndKeepsTheMatchInPlace) {
  reflex::Pattern p("(?m)(x+)|(b)|(r+)");
  for (size_t n = 65520; n < 65540; ++n) {
    reflex::Matcher m(p, std::string(n, 'x') + "brr");
    ASSERT_EQ(m.scan(), 1u);
    ASSERT_EQ(m.scan(), 2u);
    const char* t = m.text();
    EXPECT_FALSE(m.at_end());
    EXPECT_EQ(m.text(), t) << n;
    EXPECT_STREQ(t, "b") << n;
    EXPECT_EQ(drain(m), (Tokens{"3:rr"}));
  }
  // Asked after every token, also once a read ahead has filled the buffer.
  reflex::Pattern q("(?m)(x)|(b)|(c)");
  for (size_t n = 65530; n < 65540; ++n) {
    reflex::Matcher m(q, std::string(n, 'x') + "bc");
    while (m.scan() != 0) {
      const char* t = m.text();
      const std::string s = m.str();
      m.at_end();
      ASSERT_EQ(m.text(), t) << n;
      ASSERT_EQ(m.str(), s) << n;
    }
    EXPECT_TRUE(m.at_end());
  }
}

// Hands out its bytes one at a time and counts how many it gave.
class CountingBuf : public std::streambuf {
 public:
  explicit CountingBuf(std::string s) : s_(std::move(s)) {}
  size_t served = 0;

 protected:
  int_type underflow() override {
    if (served >= s_.size()) return traits_type::eof();
    ch_ = s_[served++];
    setg(&ch_, &ch_, &ch_ + 1);
    return traits_type::to_int_type(ch_);
  }

 private:
  std::string s_;
  char ch_ = 0;
};

TEST(LexgenInput, InteractiveReadsNoMoreThanAMatchNeeds) {
  CountingBuf buf("ab\ncd\n");
  std::istream in(&buf);
  reflex::Matcher m(reflex::Pattern("(?m)([a-z]+)|(\\n)"), in);
  m.interactive();
  EXPECT_EQ(m.scan(), 1u);
  EXPECT_EQ(buf.served, 3u);  // "ab" is known to end only at the newline
  EXPECT_EQ(m.scan(), 2u);
  EXPECT_EQ(buf.served, 3u);  // the newline token needs nothing more
  CountingBuf all("ab\ncd\n");
  std::istream in2(&all);
  reflex::Matcher b(reflex::Pattern("(?m)([a-z]+)|(\\n)"), in2);
  EXPECT_EQ(b.scan(), 1u);
  EXPECT_EQ(all.served, 6u);
}

}  // namespace

namespace {

// The same large input read in big chunks and byte by byte: the buffer
// moves at different places, the tokens must not change.
TEST(LexgenInput, BufferingDoesNotChangeTokens) {
  const char* patterns[] = {
      "(?m)(a+(?=b+\\n))|(^[ab]+$)|([aA]+?b)|(\\n+)|(.)",
      "(?m)(/\\*(.|\\n)*?\\*/)|(a[^\\n]*$)|(b(?=a*A))|(.|\\n)",
      "(?mi)(ab+)|( +$)|(^ *a)|([^ab])",
      "(a$)|(^b)|([ab]+)",
  };
  std::mt19937 rng(7);
  const char alphabet[] = "abA \n/*";
  std::string text;
  for (int i = 0; i < 150000; ++i) text += alphabet[rng() % 7];
  text += std::string(70000, 'a') + "b\n";
  for (const char* re : patterns) {
    reflex::Pattern p(re);
    std::istringstream in(text);
    reflex::Matcher slow(p, in);
    slow.interactive();
    EXPECT_EQ(tokens(p, text), drain(slow)) << re;
  }
}

// A string is scanned where it lies until something writes (text(),
// unput()) or reads past it: every call must give what a stream gives, at
// every place near the end of the string, and the string shared by copies
// of one Input never changes.
TEST(LexgenInput, StringsScannedInPlaceBehaveAsStreams) {
  reflex::Pattern p("(?m)([a-z]+)|(\\n)|(.)");
  const std::string text = "ab cd\nef gh\nij kl mn op\nqr st";
  auto run = [&](reflex::Matcher& m, size_t when) {
    std::string log;
    for (size_t i = 0; i < 40; ++i) {
      size_t r = m.scan();
      if (r == 0 && m.at_end()) break;
      if (r == 0) {
        log += char(m.input());
        continue;
      }
      if (i == when) {
        m.unput('z');
        log += "|u";
      } else if (i == when + 1) {
        m.less(1);
        log += "|l";
      } else if (i == when + 2) {
        m.more();
        log += "|m";
      } else if (i == when + 3) {
        log += char(m.input());
      }
      if (i >= when) log += "|" + std::string(m.text());
      log += "|" + std::to_string(r) + ":" + std::to_string(m.size()) + "@" + std::to_string(m.lineno()) + "," +
             std::to_string(m.columno());
    }
    return log;
  };
  for (size_t when = 0; when < 24; ++when) {
    std::istringstream in(text);
    reflex::Matcher want(p, in);
    const reflex::Input shared(text);
    reflex::Matcher a(p, shared), b(p, shared);
    const std::string expected = run(want, when);
    EXPECT_EQ(run(a, when), expected) << when;
    EXPECT_EQ(run(b, 99), run(*std::make_unique<reflex::Matcher>(p, text), 99)) << when;
  }
}

// Bytes put back before the start of the match see the bytes before them,
// whether the string is scanned in place or read as a stream.
TEST(LexgenInput, UnputBeforeTheMatchInAStringSeesWhatCameBefore) {
  reflex::Pattern p("(?m)(^z)|([^\\n])|(\\n)");
  const std::string text = "a\nb" + std::string(30, 'c');
  auto run = [](reflex::Matcher& m) {
    for (int i = 0; i < 3; ++i) m.scan();
    m.unput('y');
    m.unput('z');
    const size_t r = m.scan();
    return std::to_string(r) + "@" + std::to_string(m.lineno()) + "," + std::to_string(m.columno());
  };
  std::istringstream in(text);
  reflex::Matcher stream(p, in), string(p, text);
  EXPECT_EQ(run(stream), "2@1,1");
  EXPECT_EQ(run(string), "2@1,1");
}

// Whether "$" in the trailing context holds after "abc" is known only once
// the byte after it is read, even when the rule's match is already decided.
TEST(LexgenInput, TrailingContextLooksPastTheBytesRead) {
  reflex::Pattern p("(?m)((?:a(?=bc)|ab(?=c$)))|(.)");
  std::istringstream in("abcz");
  reflex::Matcher m(p, in);
  m.interactive();
  EXPECT_EQ(drain(m), (Tokens{"1:a", "2:b", "2:c", "2:z"}));
  std::istringstream end("abc");
  reflex::Matcher e(p, end);
  e.interactive();
  EXPECT_EQ(drain(e), (Tokens{"1:ab", "2:c"}));
}

}  // namespace
