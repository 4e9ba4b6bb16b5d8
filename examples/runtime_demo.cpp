// A small AST built with the runtime's lists and optional values, printed
// with ast::astprint and freed with ast::destroy.
#include "ast_runtime.hpp"

namespace ast {
struct Stmt_domain : _domain {
  Stmt_domain(const YYLTYPE *_loc) : _domain(_loc) {}
};
typedef Stmt_domain *Stmt;
int astprint(std::ostream &, Stmt, int = 0, const char * = nullptr);

// assign(name, value, comment?)
struct assign_node : Stmt_domain {
  std::string f1_;
  int f2_;
  Maybe<std::string> f3_;
  assign_node(const std::string &a1, int a2, Maybe<std::string> a3, const YYLTYPE *_loc = nullptr)
      : Stmt_domain(_loc), f1_(a1), f2_(a2), f3_(a3) {}
  ~assign_node() { destroy(f3_); }
};
// block(statements, label?)
struct block_node : Stmt_domain {
  List<Stmt> f1_;
  Maybe<int> f2_;
  block_node(List<Stmt> a1, Maybe<int> a2, const YYLTYPE *_loc = nullptr)
      : Stmt_domain(_loc), f1_(a1), f2_(a2) {}
  ~block_node() { destroy(f1_); }
};

int astprint(std::ostream &s, Stmt v, int i, const char *p) {
  if (!v) {
    s << "nullptr";
  } else if (auto *a = dynamic_cast<assign_node *>(v)) {
    print_indent(s, i);
    s << "assign(";
    astprint(s, a->f1_, i + 2, ",");
    astprint(s, a->f2_, i + 2, ",");
    astprint(s, a->f3_, i + 2, ")");
  } else if (auto *b = dynamic_cast<block_node *>(v)) {
    print_indent(s, i);
    s << "block(";
    astprint(s, b->f1_, i + 2, ",");
    astprint(s, b->f2_, i + 2, ")");
  }
  if (p) s << p;
  return v != nullptr;
}
} // namespace ast

int main() {
  using namespace ast;
  YYLTYPE where(1, 1, 3, 12);
  List<Stmt> body = cons(static_cast<Stmt>(new assign_node("x", 1, Maybe<std::string>("first"))));
  body = cons(body, static_cast<Stmt>(new assign_node("y", 2, nullptr)));
  Stmt inner = new block_node(cons(static_cast<Stmt>(new assign_node("z", 3, nullptr))), nullptr);
  body = cons(body, inner);
  Stmt root = new block_node(body, Maybe<int>(7), &where);

  astprint(std::cout, root);
  std::cout << "\n";
  List<std::string> words{"lists", "and", "optional values"};
  astprint(std::cout, words);
  std::cout << "\n";
  destroy(words);
  destroy(root);
  return 0;
}
