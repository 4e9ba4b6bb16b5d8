// The description's syntax tree: construction, ownership, printing, and the
// labels the parser sets on grammar elements.
#include <gtest/gtest.h>

#include <sstream>

#include "collect.hpp"
#include "tarnel.hpp"

using namespace ast;

namespace {

int deleted = 0;

// Node kinds that count their deletions.
struct counted_gempty : gempty_node {
  ~counted_gempty() override { ++deleted; }
};
struct counted_symelem : symelem_node {
  using symelem_node::symelem_node;
  ~counted_symelem() override { ++deleted; }
};

std::string print(Grule v, int i = 0, const char* p = nullptr, int* r = nullptr) {
  std::ostringstream s;
  int res = astprint(s, v, i, p);
  if (r) *r = res;
  return s.str();
}

TEST(Ast, RangeComesFromTheFactoryOrIsZero) {
  YYLTYPE loc(3, 1, 3, 5);
  Symbol a = ident("x", &loc);
  Symbol b = ident("y");
  EXPECT_EQ(a->yyloc.first.line, 3);
  EXPECT_EQ(a->yyloc.last.column, 5);
  EXPECT_EQ(b->yyloc.first.line, 0);
  EXPECT_EQ(b->yyloc.last.column, 0);
  destroy(a);
  destroy(b);
  EXPECT_EQ(b, nullptr);
}

TEST(Ast, DeletingANodeFreesItsSubtree) {
  deleted = 0;
  List<Gelem> elems = cons(cons(static_cast<Gelem>(new counted_symelem("a", ""))),
                           static_cast<Gelem>(new counted_symelem("b", "l")));
  Xrule x = xrule(elems, new counted_gempty);
  delete x;
  EXPECT_EQ(deleted, 3);

  // A group owns its alternatives; the optional text of a code block is freed.
  deleted = 0;
  Gelem g = optelem(cons(xrule(nullptr, new counted_gempty)), "g");
  Decl d = declcode(Maybe<std::string>("top"), nullptr);
  destroy(g);
  destroy(d);
  EXPECT_EQ(deleted, 1);
}

TEST(Ast, KindsAreToldApartByType) {
  Gaction a = gempty();
  Gaction b = gterm(snode("$1"));
  EXPECT_NE(dynamic_cast<gempty_node*>(a), nullptr);
  EXPECT_EQ(dynamic_cast<gempty_node*>(b), nullptr);
  destroy(a);
  destroy(b);
}

TEST(AstPrint, RuleWithOneAlternative) {
  Grule r = grmrule("r", cons(xrule(cons(symelem("a", "")), gempty())));
  int res = 0;
  EXPECT_EQ(print(r, 0, nullptr, &res),
            "\ngrmrule(\"r\",[\n"
            "   xrule([\n"
            "      symelem(\"a\",\"\")\n"
            "    ],gempty()\n"
            "   )\n"
            " ]\n"
            ")");
  EXPECT_EQ(res, 2);
  destroy(r);
}

TEST(AstPrint, NullFieldlessAndFlatNodes) {
  std::ostringstream s;
  EXPECT_EQ(astprint(s, static_cast<Term>(nullptr), 0, ";"), 0);
  Laction skip = lskip();
  EXPECT_EQ(astprint(s, skip, 4, ","), 0);
  Node n = node1("x");
  EXPECT_EQ(astprint(s, n, 2, "!"), 1);
  Symbol sym = node("n", cons(std::string("int")), Maybe<int>(1));
  EXPECT_EQ(astprint(s, sym, 0), 1);
  EXPECT_EQ(s.str(), "nullptr;lskip(),\n  node1(\"x\")!\nnode(\"n\",[\"int\"],1)");
  destroy(skip);
  destroy(n);
  destroy(sym);
}

TEST(AstPrint, DerivedNodeIsPrintedAsItsKind) {
  std::ostringstream s;
  Gaction g = new counted_gempty;
  astprint(s, g);
  EXPECT_EQ(s.str(), "gempty()");
  deleted = 0;
  destroy(g);
  EXPECT_EQ(deleted, 1);
}

TEST(AstPrint, MatchWithDefaultBranch) {
  Code m = mcode(cons(std::string("x")),
                 cons(cons(mrule(node1("a"), nullptr)), mrule(nullptr, cons(lexem(";")))));
  std::ostringstream s;
  astprint(s, m);
  EXPECT_EQ(s.str(),
            "\nmcode([\"x\"],[\n"
            "   mrule(\n"
            "    node1(\"a\"),[]\n"
            "   ),\n"
            "   mrule(nullptr,[\n"
            "      lexem(\";\")\n"
            "    ]\n"
            "   )\n"
            " ]\n"
            ")");
  destroy(m);
}

TEST(ReplaceAltid, LabelsElementsThatCarryOne) {
  Gelem kinds[] = {trmelem("'+'", ""), symelem("a", ""),
                   varelem(nullptr, ""), optelem(nullptr, ""),
                   repelem0(nullptr, ""), repelem1(nullptr, "")};
  for (Gelem e : kinds) {
    Gelem held = e;
    Gelem r = replace_altid(held, "lbl");
    EXPECT_EQ(r, e);
    EXPECT_EQ(held, nullptr);
    std::ostringstream s;
    astprint(s, r);
    EXPECT_NE(s.str().find(",\"lbl\")"), std::string::npos) << s.str();
    destroy(r);
  }
}

TEST(ReplaceAltid, OtherElementsStayAsTheyAre) {
  Gelem held = nullptr;
  EXPECT_EQ(replace_altid(held, "x"), nullptr);
}

}  // namespace
