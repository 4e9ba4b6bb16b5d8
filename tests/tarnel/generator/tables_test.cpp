#include <iterator>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "options.hpp"
#include "tables.hpp"

using namespace std::string_literals;

namespace {

class Tables : public ::testing::Test {
 protected:
  void SetUp() override { set_input(""); }
  void TearDown() override { set_input(""); }
};

TEST_F(Tables, InsertionKeepsTheFirstType) {
  add_symbol("expr", "Expr");
  add_symbol("expr", "int");
  EXPECT_EQ(symbols["expr"].type, "Expr");
  add_symbol("error", "int");
  EXPECT_EQ(symbols["error"].type, "");
  add_constant("PI", "double");
  add_constant("PI", "int");
  EXPECT_EQ(consts["PI"].type, "double");
  EXPECT_EQ(symbols.count("PI"), 0u);
}

TEST_F(Tables, NodeRecordsAndBuiltinTypes) {
  nodeinfo n(3);
  EXPECT_EQ(n.node_types, std::vector<std::string>(3));
  EXPECT_TRUE(n.node_names.empty());
  EXPECT_FALSE(n.user_factory);
  EXPECT_TRUE(nodeinfo().node_types.empty());
  EXPECT_EQ(builtin_types, (std::set<std::string>{"int", "std::string", "long", "double",
                                                  "int64_t", "char"}));
}

// Every match of `re` in `s`, as found by repeated searches.
std::vector<ref_match> regex_matches(const std::string& s, const std::regex& re) {
  std::vector<ref_match> out;
  std::size_t from = 0;
  std::smatch m;
  while (from < s.size() && std::regex_search(s.begin() + from, s.end(), m, re)) {
    ref_match r;
    r.pos = from + m.position(0);
    r.len = m.length(0);
    r.bracketed = m.size() > 2 && m[2].matched;
    if (r.bracketed) {
      EXPECT_EQ(std::size_t(m.position(2)) + from, r.pos + 2) << s;
      EXPECT_EQ(std::size_t(m.length(2)), r.len - 3) << s;
    }
    out.push_back(r);
    from = r.pos + r.len;
  }
  return out;
}

std::vector<ref_match> finder_matches(const std::string& s,
                                      bool (*find)(const std::string&, std::size_t,
                                                   ref_match&)) {
  std::vector<ref_match> out;
  ref_match m;
  for (std::size_t from = 0; find(s, from, m); from = m.pos + m.len) out.push_back(m);
  return out;
}

// The same searches through one xref_finder, which carries what it learnt
// from one search to the next.
std::vector<ref_match> one_finder_matches(const std::string& s) {
  std::vector<ref_match> out;
  ref_match m;
  xref_finder finder(s);
  for (std::size_t from = 0; finder.find(from, m); from = m.pos + m.len) out.push_back(m);
  return out;
}

std::string show(const std::vector<ref_match>& v) {
  std::string s;
  for (const auto& m : v)
    s += "[" + std::to_string(m.pos) + "," + std::to_string(m.len) +
         (m.bracketed ? ",b" : "") + "]";
  return s;
}

void expect_agree(const std::string& s) {
  EXPECT_EQ(show(finder_matches(s, find_xref)), show(regex_matches(s, xref_re)))
      << "xref in \"" << s << "\"";
  EXPECT_EQ(show(one_finder_matches(s)), show(regex_matches(s, xref_re)))
      << "one xref finder in \"" << s << "\"";
  EXPECT_EQ(show(finder_matches(s, find_ref)), show(regex_matches(s, ref_re)))
      << "ref in \"" << s << "\"";
}

// Whole text is one reference of the pattern.
bool whole_match(const std::string& s, const std::regex& re) {
  return std::regex_match(s, re);
}

TEST_F(Tables, ReferencePatterns) {
  for (const char* s : {"$name", "$[name]", "$['+']", "$[\"==\"]", "$[?id?]", "$[a-b.c_d]",
                        "$x_1", "$['']", "$['a']b']"})
    EXPECT_TRUE(whole_match(s, xref_re)) << s;
  for (const char* s : {"$1", "$$", "$", "$_x", "$[1]", "$[]", "$[a b]", "$a-b", "@$"})
    EXPECT_FALSE(whole_match(s, xref_re)) << s;
  for (const char* s : {"$1", "$12", "$$"}) EXPECT_TRUE(whole_match(s, ref_re)) << s;
  for (const char* s : {"$", "$x", "$-1"}) EXPECT_FALSE(whole_match(s, ref_re)) << s;

  // Code page 1251 letters: 0xC0..0xFF, 0xA8 and 0xB8.
  EXPECT_TRUE(whole_match("$\xC0\xFF\xA8\xB8x1", xref_re));
  EXPECT_TRUE(whole_match("$[\xE0-\xB8]", xref_re));
  EXPECT_FALSE(whole_match("$\xB7", xref_re));

  std::smatch m;
  std::string text = "f($[\"==\"],$b)";
  ASSERT_TRUE(std::regex_search(text, m, xref_re));
  EXPECT_EQ(m.str(1), "[\"==\"]");
  EXPECT_EQ(m.str(2), "\"==\"");
}

TEST_F(Tables, FindersAgreeWithThePatterns) {
  const char* cases[] = {
      "$name", "$[name]", "$['+']", "$[\"==\"]", "$[?id?]", "$1", "$12", "$$", "$$1",
      "a+$1*$b-$[c.d]", "$['a\nb']", "$['a\rb']x$['c']", "$['x'y']", "$[?a?b?]", "$[",
      "$[a", "$['a", "$[a-]$", "$$$x", "$[$[a]]", "$\xC0\xE0\xB8\xA8_9", "$[\xD0-\xB8.]",
      "@$ $0 $x.size()", "$1abc", "$[''']", "text without refs", "", "$", "$$[x]"};
  for (const char* s : cases) expect_agree(s);
  expect_agree("$['\0']$[a\0]$b\0c"s);
}

TEST_F(Tables, FindersAgreeOnGeneratedTexts) {
  // Texts glued from pieces of references, so that most of them come close
  // to one and differ from it in one or two places.
  const std::string pieces[] = {
      "$", "$", "$[", "$[", "]", "]", "'", "\"", "?", "a", "Z9", "-", "_", ".", " ", "\n",
      "\r", "\0"s, "$$", "1", "[", "\xC0", "\xFF", "\xB8", "\xA8", "\xB7", "\x80",
      "$['", "$[\"", "$[?", "']", "\"]", "?]"};
  std::mt19937 rng(12345);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  std::uniform_int_distribution<int> length(0, 10);
  for (int i = 0; i < 20000; ++i) {
    std::string s;
    for (int n = length(rng); n > 0; --n) s += pieces[pick(rng)];
    expect_agree(s);
    if (HasFailure()) break;
  }
}

TEST_F(Tables, FindersHandleLongReferences) {
  // Texts on which the regex engine overflows the stack.
  const std::string word(200000, 'a');
  ref_match m;
  ASSERT_TRUE(find_xref("x $" + word + "+", 0, m));
  EXPECT_EQ(m.pos, 2u);
  EXPECT_EQ(m.len, word.size() + 1);
  ASSERT_TRUE(find_xref("$['" + word + "']", 0, m));
  EXPECT_TRUE(m.bracketed);
  EXPECT_EQ(m.len, word.size() + 5);
  const std::string digits(200000, '7');
  ASSERT_TRUE(find_ref("$" + digits, 0, m));
  EXPECT_EQ(m.len, digits.size() + 1);
  EXPECT_FALSE(find_xref("$['" + word, 0, m));
}

}  // namespace
