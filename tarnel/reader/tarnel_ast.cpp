#include "tarnel_ast.hpp"

namespace ast {

namespace {

int print_fields(std::ostream&, int) { return 0; }

template <typename F>
int print_fields(std::ostream& s, int i, const F& last) {
  return astprint(s, last, i, nullptr);
}

template <typename F, typename... Rest>
int print_fields(std::ostream& s, int i, const F& first, const Rest&... rest) {
  int r = astprint(s, first, i, ",");
  return r + print_fields(s, i, rest...);
}

// One node: a kind without fields as its name and "()" on the current line
// (result 0); otherwise a line break and `i` blanks, the name, "(", the fields
// one level deeper separated by commas, a line break before ")" when a field
// broke the line, and the fields' results plus one.
template <typename... F>
int print_node(std::ostream& s, int i, const char* name, const F&... fields) {
  if (sizeof...(fields) == 0) {
    s << name << "()";
    return 0;
  }
  print_indent(s, i);
  s << name << '(';
  int r = print_fields(s, i + 1, fields...);
  if (r) print_indent(s, i);
  s << ')';
  return r + 1;
}

// "nullptr" for a null node, then the suffix when one is given.
int finish(std::ostream& s, bool null, int r, const char* p) {
  if (null) s << "nullptr";
  if (p) s << p;
  return r;
}

}  // namespace

int astprint(std::ostream& s, Code v, int i, const char* p) {
  int r = 0;
  if (auto n = dynamic_cast<lexem_node*>(v))
    r = print_node(s, i, "lexem", n->f1_);
  else if (auto n = dynamic_cast<mcode_node*>(v))
    r = print_node(s, i, "mcode", n->f1_, n->f2_);
  else if (auto n = dynamic_cast<pcode_node*>(v))
    r = print_node(s, i, "pcode", n->f1_);
  else if (auto n = dynamic_cast<token_node*>(v))
    r = print_node(s, i, "token", n->f1_);
  else if (auto n = dynamic_cast<vcode_node*>(v))
    r = print_node(s, i, "vcode", n->f1_, n->f2_, n->f3_, n->f4_, n->f5_);
  return finish(s, !v, r, p);
}

int astprint(std::ostream& s, Decl v, int i, const char* p) {
  int r = 0;
  if (auto n = dynamic_cast<declcode_node*>(v))
    r = print_node(s, i, "declcode", n->f1_, n->f2_);
  else if (auto n = dynamic_cast<decloper_node*>(v))
    r = print_node(s, i, "decloper", n->f1_);
  else if (auto n = dynamic_cast<declre_node*>(v))
    r = print_node(s, i, "declre", n->f1_, n->f2_);
  else if (auto n = dynamic_cast<decltypes_node*>(v))
    r = print_node(s, i, "decltypes", n->f1_, n->f2_);
  return finish(s, !v, r, p);
}

int astprint(std::ostream& s, Gaction v, int i, const char* p) {
  int r = 0;
  if (auto n = dynamic_cast<gcode_node*>(v))
    r = print_node(s, i, "gcode", n->f1_);
  else if (dynamic_cast<gempty_node*>(v))
    r = print_node(s, i, "gempty");
  else if (auto n = dynamic_cast<gterm_node*>(v))
    r = print_node(s, i, "gterm", n->f1_);
  return finish(s, !v, r, p);
}

int astprint(std::ostream& s, Gelem v, int i, const char* p) {
  int r = 0;
  if (auto n = dynamic_cast<optelem_node*>(v))
    r = print_node(s, i, "optelem", n->f1_, n->f2_);
  else if (auto n = dynamic_cast<repelem0_node*>(v))
    r = print_node(s, i, "repelem0", n->f1_, n->f2_);
  else if (auto n = dynamic_cast<repelem1_node*>(v))
    r = print_node(s, i, "repelem1", n->f1_, n->f2_);
  else if (auto n = dynamic_cast<symelem_node*>(v))
    r = print_node(s, i, "symelem", n->f1_, n->f2_);
  else if (auto n = dynamic_cast<trmelem_node*>(v))
    r = print_node(s, i, "trmelem", n->f1_, n->f2_);
  else if (auto n = dynamic_cast<varelem_node*>(v))
    r = print_node(s, i, "varelem", n->f1_, n->f2_);
  return finish(s, !v, r, p);
}

int astprint(std::ostream& s, Grule v, int i, const char* p) {
  int r = 0;
  if (auto n = dynamic_cast<grmrule_node*>(v))
    r = print_node(s, i, "grmrule", n->f1_, n->f2_);
  return finish(s, !v, r, p);
}

int astprint(std::ostream& s, Laction v, int i, const char* p) {
  int r = 0;
  if (auto n = dynamic_cast<lcode_node*>(v))
    r = print_node(s, i, "lcode", n->f1_);
  else if (dynamic_cast<lnext_node*>(v))
    r = print_node(s, i, "lnext");
  else if (dynamic_cast<lskip_node*>(v))
    r = print_node(s, i, "lskip");
  else if (auto n = dynamic_cast<lterm_node*>(v))
    r = print_node(s, i, "lterm", n->f1_, n->f2_);
  return finish(s, !v, r, p);
}

int astprint(std::ostream& s, Lrule v, int i, const char* p) {
  int r = 0;
  if (auto n = dynamic_cast<lexinit_node*>(v))
    r = print_node(s, i, "lexinit", n->f1_);
  else if (auto n = dynamic_cast<lexrule_node*>(v))
    r = print_node(s, i, "lexrule", n->f1_, n->f2_, n->f3_);
  return finish(s, !v, r, p);
}

int astprint(std::ostream& s, Mrule v, int i, const char* p) {
  int r = 0;
  if (auto n = dynamic_cast<mrule_node*>(v))
    r = print_node(s, i, "mrule", n->f1_, n->f2_);
  return finish(s, !v, r, p);
}

int astprint(std::ostream& s, Node v, int i, const char* p) {
  int r = 0;
  if (auto n = dynamic_cast<node1_node*>(v))
    r = print_node(s, i, "node1", n->f1_);
  else if (auto n = dynamic_cast<node2_node*>(v))
    r = print_node(s, i, "node2", n->f1_, n->f2_);
  return finish(s, !v, r, p);
}

int astprint(std::ostream& s, Program v, int i, const char* p) {
  int r = 0;
  if (auto n = dynamic_cast<prog_node*>(v))
    r = print_node(s, i, "prog", n->f1_, n->f2_, n->f3_, n->f4_);
  return finish(s, !v, r, p);
}

int astprint(std::ostream& s, Symbol v, int i, const char* p) {
  int r = 0;
  if (auto n = dynamic_cast<ident_node*>(v))
    r = print_node(s, i, "ident", n->f1_);
  else if (auto n = dynamic_cast<node_node*>(v))
    r = print_node(s, i, "node", n->f1_, n->f2_, n->f3_);
  else if (auto n = dynamic_cast<terminal_node*>(v))
    r = print_node(s, i, "terminal", n->f1_);
  return finish(s, !v, r, p);
}

int astprint(std::ostream& s, Term v, int i, const char* p) {
  int r = 0;
  if (auto n = dynamic_cast<snode_node*>(v))
    r = print_node(s, i, "snode", n->f1_);
  else if (auto n = dynamic_cast<tnode_node*>(v))
    r = print_node(s, i, "tnode", n->f1_, n->f2_, n->f3_);
  return finish(s, !v, r, p);
}

int astprint(std::ostream& s, Vrule v, int i, const char* p) {
  int r = 0;
  if (auto n = dynamic_cast<vrule_node*>(v))
    r = print_node(s, i, "vrule", n->f1_, n->f2_);
  return finish(s, !v, r, p);
}

int astprint(std::ostream& s, Xrule v, int i, const char* p) {
  int r = 0;
  if (auto n = dynamic_cast<xrule_node*>(v))
    r = print_node(s, i, "xrule", n->f1_, n->f2_);
  return finish(s, !v, r, p);
}

}  // namespace ast
