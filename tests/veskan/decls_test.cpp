// The declaration recogniser: source texts and the summaries they give.
#include "source_scan.hpp"

#include <gtest/gtest.h>

namespace {

class Decls : public ::testing::Test {
protected:
  void SetUp() override { reset_tables(); }
  void TearDown() override { reset_tables(); }

  std::string summary_of(const std::string &src, const std::string &name = "t.hpp") {
    scan_text(name, src);
    return summary_text();
  }
};

TEST_F(Decls, ClassHeadBasesAndMembers) {
  EXPECT_EQ(summary_of("class A : public B, private virtual C<int> { public: int x; static int n;"
                       " void f() const; A(int a); ~A(); typedef int T; struct In { }; };"),
            "# t.hpp\n"
            "A _type_ #<t.hpp>\n"
            "A(int a) #<t.hpp>\n"
            "\tA::x : int #<t.hpp>\n"
            "\tA$:n : int #<t.hpp>\n"
            "\tA$:T _type_ #<t.hpp>\n"
            "\tA$:In _type_ #<t.hpp>\n"
            "\tA=:f() -> void #<t.hpp>\n");
  EXPECT_EQ(classes["A"].parents,
            (std::vector<std::pair<int, std::string>>{{ACS_PUBLIC, "B"}, {ACS_PRIVATE, "C"}}));
  EXPECT_EQ(classes.count("A::In"), 1u);
  EXPECT_EQ(alltypes_set(), (std::unordered_set<std::string>{"A", "A::In", "A::T"}));
}

TEST_F(Decls, AccessSections) {
  EXPECT_EQ(summary_of("struct S { int a; }; class K { int b; };"
                       "class A { int a; protected: int b; public: int c; private: static int d; };"),
            "# t.hpp\nA _type_ #<t.hpp>\nK _type_ #<t.hpp>\nS _type_ #<t.hpp>\n"
            "\tA:%a : int #<t.hpp>\n\tA:%b : int #<t.hpp>\n\tA::c : int #<t.hpp>\n"
            "\tA$%d : int #<t.hpp>\n"
            "\tK:%b : int #<t.hpp>\n"
            "\tS::a : int #<t.hpp>\n");
}

TEST_F(Decls, MemberFunctionsOfEveryKind) {
  EXPECT_EQ(summary_of("struct S { int g() const { return 1; } constexpr int h() { return 2; }"
                       " static void s(); bool operator==(const S& o) const;"
                       " S& operator()(int i); virtual ~S(); void X::out(); };"),
            "# t.hpp\n"
            "S _type_ #<t.hpp>\n"
            "S() -> virtual~ #<t.hpp>\n"
            "\tS::h() -> constexpr int #<t.hpp>\n"
            "\tS::operator()(int i) -> S& #<t.hpp>\n"
            "\tS$:s() -> void #<t.hpp>\n"
            "\tS=:g() -> int #<t.hpp>\n"
            "\tS=:operator==(const S& o) -> bool #<t.hpp>\n");
}

TEST_F(Decls, VariablesAndDeclarators) {
  EXPECT_EQ(summary_of("int a, *b, c[4][2]; int d, e = 5, f; char *p, q; std::vector<int> v;"
                       " const char* const s = \"x\"; int X::n = 0; unsigned long"),
            "# t.hpp\n"
            "a : int #<t.hpp>\nb : int* #<t.hpp>\nc : int[][] #<t.hpp>\nd : int #<t.hpp>\n"
            "e : int #<t.hpp>\nf : int #<t.hpp>\np : char* #<t.hpp>\nq : char #<t.hpp>\n"
            "s : const char* const #<t.hpp>\nv : std::vector #<t.hpp>\n");
}

TEST_F(Decls, FunctionsAndTheKnownTypeTest) {
  EXPECT_EQ(summary_of("void f(int); void g(int n); void h(); typedef int I; void k(I);"
                       " int main(int argc, char** argv) { return 0; };"
                       " void X::def() { int z; } static int sf(long l);"),
            "# t.hpp\n"
            "I _type_ #<t.hpp>\n"
            "f : void #<t.hpp>\n"
            "g(int n) -> void #<t.hpp>\n"
            "h() -> void #<t.hpp>\n"
            "k(I) -> void #<t.hpp>\n"
            "main(int argc, char** argv) -> int #<t.hpp>\n"
            "sf(long l) -> int #<t.hpp>\n");
}

TEST_F(Decls, CStructsAndTypedefs) {
  const char *src = "struct S { int x; } s; typedef struct T { int y; } TT; typedef struct U *PU;";
  EXPECT_EQ(summary_of(src, "c.h"), "# c.h\n"
                                    " struct@S _type_ #<c.h>\n"
                                    " struct@T _type_ #<c.h>\n"
                                    " struct@U _type_ #<c.h>\n"
                                    "T _type_ #<c.h>\n"
                                    "U _type_ #<c.h>\n"
                                    "s : S #<c.h>\n"
                                    "\tS::x : int #<c.h>\n"
                                    "\tT::y : int #<c.h>\n");
  reset_tables();
  EXPECT_EQ(summary_of(src, "c.hpp"), "# c.hpp\n"
                                      "S _type_ #<c.hpp>\n"
                                      "T _type_ #<c.hpp>\n"
                                      "U _type_ #<c.hpp>\n"
                                      "s : S #<c.hpp>\n"
                                      "\tS::x : int #<c.hpp>\n"
                                      "\tT::y : int #<c.hpp>\n");
}

TEST_F(Decls, MisreadingsKeptAsTheyAre) {
  EXPECT_EQ(summary_of("struct S : B { int x; }; int after; struct { int x; } s; enum E { A, B };"
                       " class Q : ns::B { int y; }; int z;"),
            "# t.hpp\n"
            "B : struct S: #<t.hpp>\n"
            "E : enum #<t.hpp>\n"
            "Q _type_ #<t.hpp>\n"
            "after : int #<t.hpp>\n"
            "struct :  #<t.hpp>\n"
            "z : int #<t.hpp>\n");
  EXPECT_EQ(classes["Q"].parents, (std::vector<std::pair<int, std::string>>{{ACS_PRIVATE, "ns"}}));
}

TEST_F(Decls, NamespacesExternAndUsing) {
  EXPECT_EQ(summary_of("namespace N { int x; } namespace { int y; } int z; int w;"
                       " extern \"C\" { void f(); } extern int v; extern \"C\" int g(int n);"
                       " using namespace std; using T = int; namespace M { class C { int m; }; }"),
            "# t.hpp\n"
            "C _type_ #<t.hpp>\n"
            "f() -> void #<t.hpp>\n"
            "g(int n) -> int #<t.hpp>\n"
            "v : int #<t.hpp>\n"
            "w : int #<t.hpp>\n"
            "x : int #<t.hpp>\n"
            "\tC:%m : int #<t.hpp>\n");
}

TEST_F(Decls, FriendsAndTemplates) {
  EXPECT_EQ(summary_of("class A { friend class F; friend void g(A& a); int m; };"
                       " template <typename T> class V { T v; }; template class V<int>;"
                       " template <class T> T max(T a, T b); typedef void (*handler)(int);"),
            "# t.hpp\n"
            "A _type_ #<t.hpp>\n"
            "V _type_ #<t.hpp>\n"
            "g(A& a) -> void #<t.hpp>\n"
            "handler _type_ #<t.hpp>\n"
            "max(T a, T b) -> T #<t.hpp>\n"
            "\tA:%m : int #<t.hpp>\n"
            "\tV:%v : T #<t.hpp>\n");
  EXPECT_EQ(alltypes.count("F"), 1u);
  EXPECT_EQ(alltypes.count("A::F"), 0u);
}

// Class heads with decoration in front of the name: export macros,
// attribute groups and "final"; the name is the last identifier before the
// head's "{", ":", "<" or ";".
TEST_F(Decls, DecoratedClassHeads) {
  EXPECT_EQ(summary_of("class GTEST_API_ TestInfo { public: int a; };"
                       " class LLVM_GSL_POINTER LLVM_NODISCARD StringRef : public B { int b; };"
                       " struct alignas(16) S { int c; }; class [[nodiscard]] X { int d; };"
                       " class __attribute__((visibility(\"default\"))) __declspec(dllexport) V"
                       " { int e; }; class F final : public B { int f; }; struct API G final"
                       " { int g; }; template <> class API T<int> { int t; }; class API Fwd;"
                       " class A *p; struct API H : B { int h; };"),
            "# t.hpp\n"
            "A _type_ #<t.hpp>\n"
            "B : struct API H: #<t.hpp>\n"
            "F _type_ #<t.hpp>\n"
            "Fwd _type_ #<t.hpp>\n"
            "G _type_ #<t.hpp>\n"
            "S _type_ #<t.hpp>\n"
            "StringRef _type_ #<t.hpp>\n"
            "T _type_ #<t.hpp>\n"
            "TestInfo _type_ #<t.hpp>\n"
            "V _type_ #<t.hpp>\n"
            "X _type_ #<t.hpp>\n"
            "\tF:%f : int #<t.hpp>\n"
            "\tG::g : int #<t.hpp>\n"
            "\tS::c : int #<t.hpp>\n"
            "\tStringRef:%b : int #<t.hpp>\n"
            "\tT:%t : int #<t.hpp>\n"
            "\tTestInfo::a : int #<t.hpp>\n"
            "\tV:%e : int #<t.hpp>\n"
            "\tX:%d : int #<t.hpp>\n");
  EXPECT_EQ(classes["StringRef"].parents,
            (std::vector<std::pair<int, std::string>>{{ACS_PUBLIC, "B"}}));
  EXPECT_EQ(classes["F"].parents, (std::vector<std::pair<int, std::string>>{{ACS_PUBLIC, "B"}}));
  // In C, a typedef of a decorated struct takes the tag, and one of an
  // undecorated tag stays as it was.
  reset_tables();
  EXPECT_EQ(summary_of("typedef struct __attribute__((packed)) P { int p; } PT;"
                       " typedef struct foo foo_t;", "c.h"),
            "# c.h\n"
            " struct@P _type_ #<c.h>\n"
            " struct@foo _type_ #<c.h>\n"
            "P _type_ #<c.h>\n"
            "foo _type_ #<c.h>\n"
            "\tP::p : int #<c.h>\n");
}

// Namespaces with decoration after the name, and inline ones, are scanned
// like plain named ones; unnamed ones are still skipped with the statement
// after them.
TEST_F(Decls, DecoratedAndInlineNamespaces) {
  EXPECT_EQ(summary_of("namespace std _GLIBCXX_VISIBILITY(default) { int x;"
                       " inline namespace __cxx11 { int y; } } namespace N ATTR(a) B { int z; }"
                       " inline namespace { int u; } int w; namespace { int v; } int after;"
                       " int last;"),
            "# t.hpp\n"
            "last : int #<t.hpp>\n"
            "x : int #<t.hpp>\n"
            "y : int #<t.hpp>\n"
            "z : int #<t.hpp>\n");
}

// A misread statement does not run over an access label or a namespace:
// the skip stops there and the scope reads it.
TEST_F(Decls, SkipsStopAtAccessLabelsAndNamespaces) {
  EXPECT_EQ(summary_of("class A { DECLARE(A) public: int a; Q_OBJECT protected: int b;"
                       " using T = int private: int c; typedef int U public: int d;"
                       " int e = f(1) public: int g; };"
                       " struct S { MACRO(x) private: int h; };"
                       " PUSH_WARNINGS(4251) namespace testing { class C { public: int m; }; }"),
            "# t.hpp\n"
            "A _type_ #<t.hpp>\n"
            "C _type_ #<t.hpp>\n"
            "PUSH_WARNINGS :  #<t.hpp>\n"
            "S _type_ #<t.hpp>\n"
            "\tA:%DECLARE(A) #<t.hpp>\n"
            "\tA:%c : int #<t.hpp>\n"
            "\tA:%b : int #<t.hpp>\n"
            "\tA::a : int #<t.hpp>\n"
            "\tA::d : int #<t.hpp>\n"
            "\tA::e : int #<t.hpp>\n"
            "\tA::g : int #<t.hpp>\n"
            "\tA$%U _type_ #<t.hpp>\n"
            "\tC::m : int #<t.hpp>\n"
            "\tS:%h : int #<t.hpp>\n"
            "\tS::MACRO :  #<t.hpp>\n");
}

// A function definition whose parameter list is not recognised is read as
// a variable, and ends with its body.
TEST_F(Decls, MisreadDefinitionsEndWithTheirBody) {
  EXPECT_EQ(summary_of("StringRef toStringRef(ArrayRef<uint8_t> Input) { return x; } int after;"
                       " class C { void f(Foo<int> a) const LOCKS(m) { } int m; };"),
            "# t.hpp\n"
            "C _type_ #<t.hpp>\n"
            "after : int #<t.hpp>\n"
            "toStringRef : StringRef #<t.hpp>\n"
            "\tC:%f : void #<t.hpp>\n"
            "\tC:%m : int #<t.hpp>\n");
}

// A constructor's member initialisers, in parentheses or braces, lie between
// its parameters and its body: the statement ends with the body, whether
// the constructor was recognised or read as a variable.
TEST_F(Decls, ConstructorInitialiserLists) {
  EXPECT_EQ(summary_of("class S { public: S(Foo *p) : a(p), b{0}, Base<int>(1) {} int m;"
                       " S(int n) : a{n}, b{1} {} int k; };"),
            "# t.hpp\n"
            "S _type_ #<t.hpp>\n"
            "S(int n) #<t.hpp>\n"
            "\tS::S :  #<t.hpp>\n"
            "\tS::m : int #<t.hpp>\n"
            "\tS::k : int #<t.hpp>\n");
}

// Inside template arguments "<=" compares: it opens no group, so the
// statement ends where it does and the class goes on after it.
TEST_F(Decls, ComparisonInTemplateArguments) {
  EXPECT_EQ(summary_of("class A { template <class T> struct Small<T, If<sizeof(T) <= 8>> : Yes {};"
                       " int m; }; int g;"),
            "# t.hpp\n"
            "A _type_ #<t.hpp>\n"
            "g : int #<t.hpp>\n"
            "\tA:%Yes : struct Small: #<t.hpp>\n"
            "\tA:%m : int #<t.hpp>\n");
}

// A struct specialisation whose body follows its argument list is a class
// head like a plain struct; with a base list it still is not one.
TEST_F(Decls, StructSpecialisations) {
  EXPECT_EQ(summary_of("template <typename T> struct Info<T *> { static T *empty(); };"
                       " template <> struct API Info<char> final { int c; };"
                       " template <> struct Info<int> : B { int i; }; int after;"),
            "# t.hpp\n"
            "B : struct Info: #<t.hpp>\n"
            "Info _type_ #<t.hpp>\n"
            "after : int #<t.hpp>\n"
            "\tInfo::c : int #<t.hpp>\n"
            "\tInfo$:empty() -> T* #<t.hpp>\n");
}

// Attribute groups in front of a declaration are stepped over, also after
// a template head.
TEST_F(Decls, AttributesInFrontOfDeclarations) {
  EXPECT_EQ(summary_of("class C { public: [[nodiscard]] bool empty() const; [[deprecated(\"x\")]]"
                       " int n; alignas(8) char buf[8]; template <class T> [[nodiscard]] T get(); };"
                       " [[noreturn]] void die(int code);"),
            "# t.hpp\n"
            "C _type_ #<t.hpp>\n"
            "die(int code) -> void #<t.hpp>\n"
            "\tC::n : int #<t.hpp>\n"
            "\tC::buf : char[] #<t.hpp>\n"
            "\tC::get() -> T #<t.hpp>\n"
            "\tC=:empty() -> bool #<t.hpp>\n");
}

// A typedef of a braced type skips the braces whole: the ";" inside them
// does not end it, and the "}" does not end the file's scan.
TEST_F(Decls, TypedefOfBracedTypes) {
  EXPECT_EQ(summary_of("typedef union { char a[4]; int b; } T; typedef enum {A,B} E; int after;"
                       " class C { typedef struct { int q; } Q; int m; };"),
            "# t.hpp\n"
            "C _type_ #<t.hpp>\n"
            "E _type_ #<t.hpp>\n"
            "T _type_ #<t.hpp>\n"
            "after : int #<t.hpp>\n"
            "\tC:%m : int #<t.hpp>\n");
}

// The search for a declared name stops at ";" and "}" of its own depth.
TEST_F(Decls, DeclaredNameSearchStaysInItsStatement) {
  EXPECT_EQ(summary_of("class A { Q_OBJECT }; int g; class B { MACRO(x) ; int h; int i }; int j;"),
            "# t.hpp\n"
            "A _type_ #<t.hpp>\n"
            "B _type_ #<t.hpp>\n"
            "g : int #<t.hpp>\n"
            "j : int #<t.hpp>\n"
            "\tB:%MACRO :  #<t.hpp>\n"
            "\tB:%h : int #<t.hpp>\n");
}

// A macro call without ";" that is read as a function declaration ends at
// the "}" of its scope and leaves it to close the scope.
TEST_F(Decls, FunctionEndStopsAtTheClosingBrace) {
  EXPECT_EQ(summary_of("class A { DECLARE(A) }; int g; namespace N { USE() } class B { };"),
            "# t.hpp\n"
            "A _type_ #<t.hpp>\n"
            "B _type_ #<t.hpp>\n"
            "USE() #<t.hpp>\n"
            "g : int #<t.hpp>\n"
            "\tA:%DECLARE(A) #<t.hpp>\n");
}

// Statements cut short by the end of the file end the scan; nothing with
// an empty name is recorded.
TEST_F(Decls, EndOfInputInsideStatements) {
  for (const char *src : {"void f()", "void f() const", "int", "unsigned long", "typedef int",
                          "struct S { int x;", "struct S { int x; }", "class A : B",
                          "template <class T", "namespace N { int x;", "extern \"C\" { int e;",
                          "int a, ", "int a = ", "struct S { int x; } s, *"}) {
    for (bool with_eof : {false, true}) {
      reset_tables();
      inpname = "t.hpp";
      lex_text(src);
      if (with_eof) push_eof(material({"\n"}));
      trace_decl();
      for (const auto &g : globals) EXPECT_NE(g.first.substr(0, 2), " :") << src;
    }
  }
  reset_tables();
  inpname = "t.hpp";
  lex_text("void f() struct S { int x; } s");
  push_eof(material({"\n"}));
  trace_decl();
  EXPECT_EQ(globals_map(), (std::unordered_map<std::string, std::string>{
                         {"f() -> void", "t.hpp"}}));
}

// The group ends worked out in advance are those a walk over the list finds.
TEST_F(Decls, GroupEndsMatchAWalk) {
  std::string alphabet[] = {"(", ")", "<", ">", "x", "{", "}", "="};
  unsigned seed = 12345;
  // Without "=" first, then with it ("<=" inside a group opens none).
  for (int round = 0; round < 100; ++round) {
    std::string src;
    for (int k = 0; k < 120; ++k) {
      seed = seed * 1103515245u + 12345u;
      src += alphabet[(seed >> 16) % (round < 50 ? 7 : 8)] + " ";
    }
    lex_text(src);
    std::vector<int> walked;
    for (int i = -1; i <= static_cast<int>(lex_list.size()); ++i)
      for (const char *open : {"(", "<"})
        walked.push_back(find_par(i, open, open[0] == '(' ? ")" : ">"));
    find_group_ends();
    size_t k = 0;
    for (int i = -1; i <= static_cast<int>(lex_list.size()); ++i)
      for (const char *open : {"(", "<"})
        EXPECT_EQ(find_par(i, open, open[0] == '(' ? ")" : ">"), walked[k++]) << src << " at " << i;
    forget_group_ends();
  }
}

// Unclosed angle brackets and deep nesting stay cheap and safe.
TEST_F(Decls, PathologicalInputs) {
  std::string ops = "struct S {", lts, nest;
  for (int i = 0; i < 3000; ++i) {
    ops += " bool operator<(int a" + std::to_string(i) + ");";
    lts += "int f" + std::to_string(i) + "(int a = b < c);";
  }
  scan_text("o.hpp", ops + " };");
  EXPECT_EQ(classes["S"].elems[ACS_PUBLIC].size(), 3000u);
  scan_text("l.hpp", lts);
  EXPECT_EQ(globals.count("f2999(int a = b<c) -> int"), 0u);
  EXPECT_EQ(globals.size(), 3001u);
  for (int i = 0; i < 2000; ++i) nest += "struct A { ";
  for (int i = 0; i < 2000; ++i) nest += "}; ";
  scan_text("n.hpp", nest + "int after;");
  EXPECT_EQ(globals.count("after : int"), 1u);
}

} // namespace
