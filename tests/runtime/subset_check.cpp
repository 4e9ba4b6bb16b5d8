// Compiles one subset of the runtime pieces the way a generated header lays
// them out (runtime, AST classes, printing functions) and uses what it has.
#include "subset_head.hpp"

#include <sstream>

namespace ast {
struct Expr_domain : _domain {
#if HAS_LOCATIONS
  Expr_domain(const YYLTYPE *_loc) : _domain(_loc) {}
#endif
};
typedef Expr_domain *Expr;
int astprint(std::ostream &, Expr, int = 0, const char * = nullptr);
struct num_node : Expr_domain {
  int f1_;
#if HAS_LOCATIONS
  num_node(int a1, const YYLTYPE *_loc = nullptr) : Expr_domain(_loc), f1_(a1) {}
#else
  num_node(int a1) : f1_(a1) {}
#endif
};
} // namespace ast
using namespace ast;

#include "subset_print.hpp"

int ast::astprint(std::ostream &s, Expr v, int i, const char *p) {
  print_indent(s, i);
  s << "num(" << static_cast<num_node *>(v)->f1_ << ")";
  if (p) s << p;
  return 1;
}

static int failures = 0;
static void expect(bool ok, const char *what) {
  if (!ok) {
    std::cerr << "failed: " << what << "\n";
    ++failures;
  }
}

int main() {
  std::ostringstream out;
  Expr e = new num_node(3);
  astprint(out, e);
  astprint(out, std::string("s"));
  astprint(out, std::vector<int>{1, 2});
  expect(out.str() == "\nnum(3)\"s\"{1,2}", "printing builtin values and nodes");
#if HAS_LOCATIONS
  YYLTYPE loc(1, 2, 3, 4);
  Expr located = new num_node(4, &loc);
  expect(located->yyloc.last.column == 4, "node range");
  destroy(located);
#endif
#if HAS_VALUES
  Maybe<int> m(nullptr);
  expect(!m && Maybe<int>(2) > m, "optional values");
#endif
#if HAS_STRINGS
  Maybe<std::string> s("text");
  expect(s == std::string("text"), "optional strings");
  destroy(s);
#endif
#if HAS_LISTS
  List<Expr> l = cons(cons(e), static_cast<Expr>(new num_node(5)));
  std::ostringstream lo;
  expect(astprint(lo, l) == 1 && l.size() == 2, "list of nodes");
#if HAS_VALUES
  List<int> li = cons(cons(Maybe<int>(1)), Maybe<int>(nullptr));
  expect(li.size() == 1, "list of optional values");
  destroy(li);
#endif
  destroy(l);
#else
  destroy(e);
#endif
  return failures ? 1 : 0;
}
