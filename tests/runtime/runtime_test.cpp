// Behaviour of the AST runtime: ranges, the node root, lists, optional
// values, freeing and printing.
#include "ast_runtime.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <type_traits>
#include <vector>

static_assert(std::is_trivially_default_constructible<ast::List<int>>::value, "");
static_assert(std::is_trivially_copyable<ast::List<int>>::value, "");
static_assert(std::is_trivially_default_constructible<ast::Maybe<int>>::value, "");
static_assert(std::is_trivially_copyable<ast::Maybe<int>>::value, "");
static_assert(std::is_trivially_default_constructible<ast::Maybe<std::string>>::value, "");
static_assert(std::is_trivially_copyable<ast::Maybe<std::string>>::value, "");

namespace ast {
// A small AST of the shape generated headers declare: a domain with two
// node kinds, one holding fields.
struct Expr_domain : _domain {
  Expr_domain(const YYLTYPE *_loc) : _domain(_loc) {}
};
typedef Expr_domain *Expr;
int astprint(std::ostream &, Expr, int = 0, const char * = nullptr);

static int live_nodes = 0;
struct leaf_node : Expr_domain {
  int f1_;
  leaf_node(int a1, const YYLTYPE *_loc = nullptr) : Expr_domain(_loc), f1_(a1) { ++live_nodes; }
  ~leaf_node() { --live_nodes; }
};
struct pair_node : Expr_domain {
  Expr f1_;
  List<Expr> f2_;
  Maybe<std::string> f3_;
  pair_node(Expr a1, List<Expr> a2, Maybe<std::string> a3, const YYLTYPE *_loc = nullptr)
      : Expr_domain(_loc), f1_(a1), f2_(a2), f3_(a3) { ++live_nodes; }
  ~pair_node() {
    destroy(f1_);
    destroy(f2_);
    destroy(f3_);
    --live_nodes;
  }
};

// Per-domain printer written the way the generated ones are: a node with
// fields opens a new line and reports the break.
int astprint(std::ostream &s, Expr v, int i, const char *p) {
  int r = 0;
  if (!v) {
    s << "nullptr";
  } else if (auto *l = dynamic_cast<leaf_node *>(v)) {
    print_indent(s, i);
    s << "leaf(";
    astprint(s, l->f1_, i + 2, ")");
    r = 1;
  } else if (auto *n = dynamic_cast<pair_node *>(v)) {
    print_indent(s, i);
    s << "pair(";
    astprint(s, n->f1_, i + 2, ",");
    astprint(s, n->f2_, i + 2, ",");
    astprint(s, n->f3_, i + 2, ")");
    r = 1;
  }
  if (p) s << p;
  return r;
}
} // namespace ast

using namespace ast;

template <typename T> static std::vector<T> items(List<T> l) {
  std::vector<T> v;
  for (auto x : l) v.push_back(x);
  return v;
}

template <typename T> static std::string printed(const T &v, int *result = nullptr) {
  std::ostringstream s;
  int r = astprint(s, v);
  if (result) *result = r;
  return s.str();
}

TEST(Location, RangeConstructorAndNarrowing) {
  YYLTYPE z;
  EXPECT_EQ(0, z.first.line);
  EXPECT_EQ(0, z.first.column);
  EXPECT_EQ(0, z.first.file);
  EXPECT_EQ(0, z.last.line);
  EXPECT_EQ(0, z.last.column);
  EXPECT_EQ(0, z.last.file);

  YYLTYPE a(3, 5);
  EXPECT_EQ(3, a.first.line);
  EXPECT_EQ(5, a.first.column);
  EXPECT_EQ(0, a.last.line);
  EXPECT_EQ(0, a.last.column);

  YYLTYPE b(1, 2, 3, 4, 7);
  EXPECT_EQ(7, b.first.file);
  EXPECT_EQ(7, b.last.file);
  EXPECT_EQ(3, b.last.line);
  EXPECT_EQ(4, b.last.column);

  YYLTYPE c(1, 32768 + 5);
  EXPECT_EQ(static_cast<short>(32768 + 5), c.first.column);
}

TEST(Location, DomainCopiesOrClearsTheRange) {
  YYLTYPE loc(1, 2, 3, 4, 9);
  leaf_node with(1, &loc);
  EXPECT_EQ(0, memcmp(&loc, &with.yyloc, sizeof loc));
  leaf_node without(2);
  YYLTYPE zero;
  EXPECT_EQ(0, memcmp(&zero, &without.yyloc, sizeof zero));
}

TEST(List, ConsFormsAndWalking) {
  List<int> l = cons(1);
  l = cons(l, 2);
  l = cons(0, l);
  EXPECT_EQ(3u, l.size());
  EXPECT_EQ((std::vector<int>{0, 1, 2}), items(l));
  EXPECT_EQ(l, cons(l));

  List<int> empty = nullptr;
  EXPECT_TRUE(!empty);
  EXPECT_EQ(0u, empty.size());
  EXPECT_TRUE(begin(empty) == end(empty));
  List<int> seven = cons(empty, 7), eight = cons(8, empty);
  EXPECT_EQ((std::vector<int>{7}), items(seven));
  EXPECT_EQ((std::vector<int>{8}), items(eight));
  destroy(seven);
  destroy(eight);

  List<int> e = end(l);
  EXPECT_EQ(0u, e.size());
  EXPECT_TRUE(!e);
  EXPECT_TRUE(begin(l) != e);

  List<int> cursor = begin(l);
  List<int> before = cursor++;
  EXPECT_EQ(0, *before);
  EXPECT_EQ(1, *cursor);
  destroy(l);
}

TEST(List, AppendingLeavesEarlierViewsAlone) {
  List<int> l1 = cons(cons(1), 2);
  List<int> l2 = cons(l1, 3);
  EXPECT_EQ(2u, l1.size());
  EXPECT_EQ((std::vector<int>{1, 2}), items(l1));
  EXPECT_EQ((std::vector<int>{1, 2, 3}), items(l2));
  // A cursor on the node of 3, to free it once it is no longer linked.
  List<int> node3 = l2;
  ++node3;
  ++node3;
  // A second append to the same view relinks its last node: the earlier
  // result no longer reaches its own appended node.
  List<int> l3 = cons(l1, 4);
  EXPECT_EQ((std::vector<int>{1, 2, 4}), items(l3));
  EXPECT_EQ((std::vector<int>{1, 2, 4}), items(l2));
  destroy(l3);
  destroy(node3);
}

TEST(List, NullPointersAndUnassignedValuesAreSkipped) {
  int live_before = live_nodes;
  Expr none = nullptr;
  List<Expr> l = cons(none);
  EXPECT_TRUE(!l);
  l = cons(l, static_cast<Expr>(new leaf_node(1)));
  l = cons(l, none);
  l = cons(none, l);
  EXPECT_EQ(1u, l.size());

  List<int> m = cons(Maybe<int>(nullptr));
  EXPECT_TRUE(!m);
  m = cons(m, Maybe<int>(4));
  m = cons(m, Maybe<int>(nullptr));
  m = cons(Maybe<int>(3), m);
  m = cons(Maybe<int>(nullptr), m);
  EXPECT_EQ((std::vector<int>{3, 4}), items(m));
  destroy(m);
  destroy(l);
  EXPECT_EQ(live_before, live_nodes);
}

TEST(List, Concatenation) {
  List<int> a = cons(cons(1), 2);
  List<int> b = cons(cons(3), 4);
  List<int> none = nullptr;
  EXPECT_EQ(a, cons(a, none));
  EXPECT_EQ(b, cons(none, b));
  List<int> c = cons(a, b);
  EXPECT_EQ(4u, c.size());
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), items(c));
  destroy(c);
}

TEST(List, InitializerListHasOneNodePerElement) {
  List<std::string> l{"a", "b"};
  EXPECT_EQ(2u, l.size());
  EXPECT_EQ("a", l[0]);
  EXPECT_EQ("b", l[1]);
  EXPECT_THROW(l[2], std::out_of_range);
  destroy(l);
}

TEST(List, Indexing) {
  List<int> l{10, 20, 30};
  EXPECT_EQ(10, l[0]);
  EXPECT_EQ(20, l[1]);
  EXPECT_EQ(30, l[2]);
  try {
    l[3];
    FAIL() << "no exception";
  } catch (const std::out_of_range &e) {
    EXPECT_STREQ("index 3 is out List's size 3", e.what());
  }
  l[1] = 21;
  List<int> second = begin(l);
  EXPECT_EQ(21, *++second);
  destroy(l);
  EXPECT_EQ(0u, l.size());
  EXPECT_TRUE(!l);
  EXPECT_TRUE(items(l).empty());
}

TEST(List, SplitMovesNodesAndKeepsOrder) {
  List<int> l{1, 2, 3, 4, 5};
  List<int> odd = l.split([](int x) { return x % 2 == 1; });
  EXPECT_EQ((std::vector<int>{1, 3, 5}), items(odd));
  EXPECT_EQ(3u, odd.size());
  EXPECT_EQ((std::vector<int>{2, 4}), items(l));
  EXPECT_EQ(2u, l.size());

  List<int> all = l.split([](int) { return true; });
  EXPECT_EQ((std::vector<int>{2, 4}), items(all));
  EXPECT_TRUE(!l);
  List<int> none = all.split([](int) { return false; });
  EXPECT_TRUE(!none);
  EXPECT_EQ((std::vector<int>{2, 4}), items(all));
  destroy(odd);
  destroy(all);
}

TEST(Maybe, ComparisonOrder) {
  Maybe<int> u1(nullptr), u2(nullptr), two(2), three(3);
  EXPECT_TRUE(u1 == u2);
  EXPECT_FALSE(u1 < u2);
  EXPECT_TRUE(u1 < two);
  EXPECT_FALSE(two < u1);
  EXPECT_TRUE(two < three);
  EXPECT_TRUE(three > two);
  EXPECT_TRUE(u1 <= u2);
  EXPECT_TRUE(u1 != two);
  EXPECT_TRUE(two >= u1);
  // Mixed with plain values: unassigned equals nothing and sorts first.
  EXPECT_FALSE(u1 == 0);
  EXPECT_FALSE(0 == u1);
  EXPECT_TRUE(u1 != 0);
  EXPECT_TRUE(u1 < 0);
  EXPECT_FALSE(0 < u1);
  EXPECT_TRUE(0 > u1);
  EXPECT_TRUE(two == 2);
  EXPECT_TRUE(2 <= two);
  EXPECT_TRUE(two < 3);
}

TEST(Maybe, ReadingUnassignedValuesThrows) {
  Maybe<int> u(nullptr), two(2);
  try {
    (void)(two + u);
    FAIL() << "no exception";
  } catch (const std::logic_error &e) {
    EXPECT_STREQ("value isn't assigned", e.what());
  }
  EXPECT_THROW((void)static_cast<int>(u), std::logic_error);
  EXPECT_THROW(u += 1, std::logic_error);
  EXPECT_THROW(++u, std::logic_error);
  EXPECT_THROW((void)-u, std::logic_error);
  std::ostringstream out;
  EXPECT_THROW(out << u, std::logic_error);
  EXPECT_EQ(5, static_cast<int>(two + Maybe<int>(3)));
  EXPECT_EQ(-2, static_cast<int>(-two));
  Maybe<int> c = two;
  EXPECT_EQ(2, static_cast<int>(c++));
  EXPECT_EQ(3, static_cast<int>(c));
  c = nullptr;
  EXPECT_TRUE(!c);
}

TEST(Maybe, AddressOfMarksAssignedAndStreamsFill) {
  Maybe<int> m(nullptr);
  int *p = &m;
  *p = 7;
  EXPECT_TRUE(m);
  EXPECT_EQ(7, static_cast<int>(m));
  std::istringstream in("41");
  Maybe<int> r(nullptr);
  in >> r;
  EXPECT_EQ(41, static_cast<int>(r));
}

TEST(MaybeString, TextLengthAndBounds) {
  Maybe<std::string> s("abc");
  EXPECT_EQ(3u, s.size());
  EXPECT_EQ('c', s.at(2));
  try {
    s.at(3);
    FAIL() << "no exception";
  } catch (const std::out_of_range &e) {
    EXPECT_STREQ("index out of range", e.what());
  }
  EXPECT_EQ("bc", s.substr(1));
  EXPECT_THROW(s.substr(4), std::out_of_range);

  Maybe<std::string> shorter("abcdef", 2);
  EXPECT_EQ(2u, shorter.length());
  EXPECT_THROW(shorter.at(2), std::out_of_range);
  EXPECT_EQ("abcdef", static_cast<std::string>(shorter));
  EXPECT_EQ("abcdef", shorter.substr(0));
  EXPECT_EQ("ef", shorter.substr(4));
  EXPECT_EQ("", shorter.substr(6));
  EXPECT_THROW(shorter.substr(7), std::out_of_range);
  destroy(s);
  destroy(shorter);
}

TEST(MaybeString, LengthNeverExceedsTheCopiedText) {
  const char token[] = {'a', '\0', 'b'};
  Maybe<std::string> nul(token, 3);  // a NUL inside a token
  EXPECT_EQ(1u, nul.size());
  EXPECT_THROW(nul.at(1), std::out_of_range);
  EXPECT_EQ("", nul.substr(1));
  Maybe<std::string> negative("xyz", -4);
  EXPECT_TRUE(negative);
  EXPECT_EQ(0u, negative.size());
  EXPECT_THROW(negative.at(0), std::out_of_range);
  Maybe<std::string> from_string(std::string("p\0q", 3));
  EXPECT_EQ(1u, from_string.size());
  destroy(nul);
  destroy(negative);
  destroy(from_string);
}

TEST(MaybeString, NullPointerGivesUnassigned) {
  const char *none = nullptr;
  Maybe<std::string> a(none);
  EXPECT_TRUE(!a);
  Maybe<std::string> b(none, 5);
  EXPECT_TRUE(!b);
  Maybe<std::string> c("x");
  c = none;
  EXPECT_TRUE(!c);
  c = nullptr;
  EXPECT_THROW(c.size(), std::logic_error);
  EXPECT_THROW(c.c_str(), std::logic_error);
}

TEST(MaybeString, AssigningItsOwnTextIsSafe) {
  Maybe<std::string> m("hello");
  m = m.c_str();
  EXPECT_EQ("hello", static_cast<std::string>(m));
  m = m.c_str() + 2;
  EXPECT_EQ("llo", static_cast<std::string>(m));
  EXPECT_EQ(3u, m.size());
  destroy(m);
}

TEST(MaybeString, AppendingConcatenationAndComparison) {
  Maybe<std::string> m("ab");
  m += std::string("c");
  m += "d";
  m += 'e';
  EXPECT_EQ("abcde", static_cast<std::string>(m));
  EXPECT_EQ(5u, m.size());
  EXPECT_EQ("<abcde", std::string("<") + m);
  EXPECT_EQ("abcde>", m + std::string(">"));
  EXPECT_TRUE(m == std::string("abcde"));
  EXPECT_TRUE(std::string("abcde") == m);
  EXPECT_TRUE(m < std::string("b"));
  Maybe<std::string> u(nullptr);
  EXPECT_TRUE(u != std::string(""));
  EXPECT_TRUE(u < std::string(""));
  EXPECT_TRUE(u < m);
  EXPECT_THROW(u += "x", std::logic_error);
  EXPECT_THROW((void)(std::string("x") + u), std::logic_error);
  destroy(m);
}

TEST(MaybeString, ReadingAWord) {
  std::istringstream in("  word rest");
  Maybe<std::string> m(nullptr);
  in >> m;
  EXPECT_EQ("word", static_cast<std::string>(m));
  std::istringstream empty("");
  Maybe<std::string> e(nullptr);
  empty >> e;
  EXPECT_TRUE(e);
  EXPECT_EQ(0u, e.size());
  destroy(m);
  destroy(e);
}

TEST(Destroy, QualifiedCallSelectsTheGenericForm) {
  Maybe<std::string> m("kept");
  ast::destroy(m);  // the generic form: frees nothing
  EXPECT_TRUE(m);
  EXPECT_EQ("kept", static_cast<std::string>(m));
  destroy(m);  // found by argument-dependent lookup: frees the text
  EXPECT_TRUE(!m);
  EXPECT_THROW(m.size(), std::logic_error);
}

TEST(Destroy, PointersListsAndTrees) {
  int before = live_nodes;
  Expr none = nullptr;
  destroy(none);
  EXPECT_EQ(nullptr, none);
  Expr one = new leaf_node(1);
  destroy(one);
  EXPECT_EQ(nullptr, one);
  EXPECT_EQ(before, live_nodes);

  Expr tree = new pair_node(new leaf_node(1),
                            cons(cons(static_cast<Expr>(new leaf_node(2))),
                                 static_cast<Expr>(new leaf_node(3))),
                            Maybe<std::string>("name"));
  EXPECT_EQ(before + 4, live_nodes);
  destroy(tree);
  EXPECT_EQ(before, live_nodes);

  void *opaque = &before;
  destroy(opaque);
  EXPECT_EQ(nullptr, opaque);

  // The Maybe forms of cons unwrap the value; a list of optional texts is
  // built from its elements.
  List<Maybe<std::string>> texts{Maybe<std::string>("a"), Maybe<std::string>("b")};
  destroy(texts);  // frees the texts too
  EXPECT_TRUE(!texts);
}

TEST(Print, BuiltinValues) {
  EXPECT_EQ("'\\n'", printed('\n'));
  EXPECT_EQ("'\\''", printed('\''));
  EXPECT_EQ("\"a\\\"b\"", printed(std::string("a\"b")));
  EXPECT_EQ("42", printed(42));
  EXPECT_EQ("nullptr", printed(Maybe<int>(nullptr)));
  EXPECT_EQ("5", printed(Maybe<int>(5)));
  Maybe<std::string> s("x\\");
  EXPECT_EQ("\"x\\\\\"", printed(s));
  destroy(s);
  std::ostringstream out;
  EXPECT_EQ(0, astprint(out, 'c', 4, ";"));
  EXPECT_EQ("'c';", out.str());
}

TEST(Print, SequencesOnOneLine) {
  int r = -1;
  List<std::string> empty = nullptr;
  EXPECT_EQ("[]", printed(empty, &r));
  EXPECT_EQ(0, r);
  List<std::string> two{"a", "b"};
  EXPECT_EQ("[\"a\",\"b\"]", printed(two, &r));
  EXPECT_EQ(0, r);
  destroy(two);
  EXPECT_EQ("{1,2}", printed(std::vector<int>{1, 2}, &r));
  EXPECT_EQ(0, r);
}

TEST(Print, NodesBreakLines) {
  List<Expr> l = cons(cons(static_cast<Expr>(new leaf_node(1))), static_cast<Expr>(new leaf_node(2)));
  std::ostringstream s;
  EXPECT_EQ(1, astprint(s, l, 2, "."));
  EXPECT_EQ("[\n    leaf(1),\n    leaf(2)\n  ].", s.str());

  Expr tree = new pair_node(new leaf_node(7), nullptr, Maybe<std::string>(nullptr));
  std::ostringstream t;
  EXPECT_EQ(1, astprint(t, tree));
  EXPECT_EQ("\npair(\n  leaf(7),[],nullptr)", t.str());
  destroy(tree);
  destroy(l);
}
