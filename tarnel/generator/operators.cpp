#include "operators.hpp"

#include "driver.hpp"
#include "names.hpp"
#include "tables.hpp"

namespace {

bool kind_has_arity(const std::string& kind, int arity) {
  if (arity == 2) return kind == "xfx" || kind == "xfy" || kind == "yfx";
  if (arity == 1) return kind == "fx" || kind == "fy";
  return kind == "xf" || kind == "yf";
}

// The first operator entry for the terminal at the arity, or null.
const operinfo* find_oper(const std::string& name, int arity) {
  const std::string norm = normalize_terminal(name);
  for (const operinfo& o : opers)
    if (o.name == norm && kind_has_arity(o.kind, arity)) return &o;
  return nullptr;
}

// Letter i of an operator kind ("x" or "y" marks an operand, "f" the
// operator), or 0 when the kind is shorter.
char kind_letter(const std::string& kind, std::size_t i) { return i < kind.size() ? kind[i] : 0; }

// Frees the cells of a list whose elements have moved to other lists.
template <typename T>
void release_cells(ast::List<T*>& l) {
  for (T*& p : l) p = nullptr;
  ast::destroy(l);
}

// The shape of an alternative at the level `cur`: where its operator and
// operands are (positions from 0), or arity -1 when it has no operator shape.
struct shape {
  int arity = -1;      // 2 infix, 1 prefix, 0 postfix
  std::size_t op = 0;  // position of the operator element
  std::size_t left = 0, right = 0;  // operand positions (prefix: right; postfix: left)
};

shape shape_of(ast::xrule_node* x, const std::string& cur) {
  ast::List<ast::Gelem_domain*>& e = x->f1_;
  if (e.size() == 3 && is_symelem(e[0], cur) && is_symelem(e[2], cur)) return {2, 1, 0, 2};
  if (e.size() == 2 && is_symelem(e[1], cur)) return {1, 0, 1, 1};
  if (e.size() == 2 && is_symelem(e[0], cur)) return {0, 1, 0, 0};
  return {};
}

void set_operand(ast::xrule_node* x, std::size_t pos, const std::string& name) {
  ast::Gelem_domain*& place = x->f1_[pos];
  ast::destroy(place);
  place = ast::symelem(name);
}

// One operator kind and the operands it lets name the next level (the others
// keep the level's own name).
struct kind_operands {
  const char* kind;
  bool left_next, right_next;  // the operand names the next level
};

const kind_operands infix_kinds[] = {{"xfx", true, true}, {"xfy", true, false}, {"yfx", false, true}};
const kind_operands prefix_kinds[] = {{"fx", false, true}, {"fy", false, false}};
const kind_operands postfix_kinds[] = {{"xf", true, false}, {"yf", false, false}};

struct level {
  const std::string& cur;  // name of this level
  const std::string& next; // name of the next, tighter level
  int m;                   // this level's priority
  ast::List<ast::Xrule_domain*> kept = nullptr;
  ast::List<ast::Xrule_domain*> rest = nullptr;

  const std::string& name_for(bool to_next) const { return to_next ? next : cur; }

  // Lets the chosen operands name the next level: for an infix alternative
  // the left and right one, for a prefix one its operand (on the right), for
  // a postfix one its operand (on the left).
  void set_operands(ast::xrule_node* x, const shape& s, bool left_next, bool right_next) {
    if (left_next && s.arity != 1) set_operand(x, s.left, next);
    if (right_next && s.arity != 0) set_operand(x, s.right, next);
  }

  // The operator element is a group: its operators of this level's priority
  // are split off by kind; a part that leaves operators behind becomes a copy
  // of the alternative, a part that empties the group stays in it.
  void split_group(ast::xrule_node* x, const shape& s, ast::varelem_node* group,
                   const kind_operands* kinds, std::size_t nkinds) {
    for (std::size_t i = 0; i < nkinds; ++i) {
      const kind_operands& k = kinds[i];
      const std::string kind = k.kind;
      const int prior = m, arity = s.arity;
      ast::List<ast::Xrule_domain*> part = group->f1_.split(
          [&](ast::Xrule_domain* a) { return is_operrule(a, prior, arity, kind); });
      if (!group->f1_) {
        group->f1_ = part;
        set_operands(x, s, k.left_next, k.right_next);
        kept = ast::cons(kept, static_cast<ast::Xrule_domain*>(x));
        return;
      }
      if (!part) continue;
      ast::List<ast::Gelem_domain*> elems = nullptr;
      if (s.arity == 2)
        elems = {ast::symelem(name_for(k.left_next)), ast::varelem(part),
                 ast::symelem(name_for(k.right_next))};
      else if (s.arity == 1)
        elems = {ast::varelem(part), ast::symelem(name_for(k.right_next))};
      else
        elems = {ast::symelem(name_for(k.left_next)), ast::varelem(part)};
      kept = ast::cons(kept, copy_xrule(elems, x->f2_));
    }
    set_operands(x, s, true, true);
    rest = ast::cons(rest, static_cast<ast::Xrule_domain*>(x));
  }

  void place(ast::Xrule_domain* a) {
    auto x = dynamic_cast<ast::xrule_node*>(a);
    const shape s = x ? shape_of(x, cur) : shape{};
    if (s.arity < 0) {
      rest = ast::cons(rest, a);
      return;
    }
    ast::Gelem_domain* o = x->f1_[s.op];
    const int p = prior_elem(o, s.arity);
    if (p == 0 || p > m) {
      // Not an operator of this level: on to the next one, operands there
      // naming it (an element without priority keeps its operand).
      if (p > m) set_operands(x, s, true, true);
      rest = ast::cons(rest, a);
      return;
    }
    if (is_trmelem(o)) {
      const std::string t = type_elem(o, s.arity);
      if (s.arity == 2)
        set_operands(x, s, kind_letter(t, 0) == 'x', kind_letter(t, 2) == 'x');
      else if (s.arity == 1)
        set_operands(x, s, false, kind_letter(t, 1) == 'x');
      else
        set_operands(x, s, kind_letter(t, 0) == 'x', false);
      kept = ast::cons(kept, a);
      return;
    }
    auto group = dynamic_cast<ast::varelem_node*>(o);
    if (s.arity == 2)
      split_group(x, s, group, infix_kinds, 3);
    else if (s.arity == 1)
      split_group(x, s, group, prefix_kinds, 2);
    else
      split_group(x, s, group, postfix_kinds, 2);
  }
};

}  // namespace

int oper_prior(const std::string& name, int arity) {
  const operinfo* o = find_oper(name, arity);
  return o ? o->priority : 0;
}

std::string oper_type(const std::string& name, int arity) {
  const operinfo* o = find_oper(name, arity);
  return o ? o->kind : std::string();
}

bool is_symelem(ast::Gelem_domain* e, const std::string& name) {
  auto s = dynamic_cast<ast::symelem_node*>(e);
  return s && s->f1_ == name;
}

bool is_trmelem(ast::Gelem_domain* e) { return dynamic_cast<ast::trmelem_node*>(e) != nullptr; }

int prior_elem(ast::Gelem_domain* e, int arity) {
  if (auto t = dynamic_cast<ast::trmelem_node*>(e)) return oper_prior(t->f1_, arity);
  auto g = dynamic_cast<ast::varelem_node*>(e);
  if (!g) return 0;
  int best = 100;
  for (ast::Xrule_domain* a : g->f1_) {
    auto x = dynamic_cast<ast::xrule_node*>(a);
    if (!x) continue;
    if (x->f1_.size() != 1 || !is_trmelem(x->f1_[0])) return 0;
    const int p = prior_elem(x->f1_[0], arity);
    if (p == 0 && arity == 2) return 0;
    if (p > 0 && p < best) best = p;
  }
  return best;
}

std::string type_elem(ast::Gelem_domain* e, int arity) {
  if (auto t = dynamic_cast<ast::trmelem_node*>(e)) return oper_type(t->f1_, arity);
  return "";
}

bool is_operrule(ast::Xrule_domain* a, int prior, int arity, const std::string& kind) {
  auto x = dynamic_cast<ast::xrule_node*>(a);
  if (!x || x->f1_.size() != 1 || !is_trmelem(x->f1_[0])) return false;
  return prior_elem(x->f1_[0], arity) == prior && type_elem(x->f1_[0], arity) == kind;
}

void reorder_rules(ast::List<ast::Grule_domain*> grm) {
  for (ast::Grule_domain* g : grm)
    if (auto r = dynamic_cast<ast::grmrule_node*>(g)) reorder_body(r->f1_, r->f1_, r->f2_, &r->yyloc);
}

void reorder_body(const std::string& base, const std::string& cur,
                  ast::List<ast::Xrule_domain*>& alts, YYLTYPE* loc) {
  // The loosest priority among this level's operator alternatives.
  int m = 100;
  for (ast::Xrule_domain* a : alts) {
    auto x = dynamic_cast<ast::xrule_node*>(a);
    if (!x) continue;
    const shape s = shape_of(x, cur);
    if (s.arity < 0) continue;
    ast::Gelem_domain* o = x->f1_[s.op];
    const int p = prior_elem(o, s.arity);
    if (s.arity == 2 && p == 0) yyerror(&x->yyloc, "Wrong rule for " + base);
    if (s.arity == 1 && p == 0 && is_symelem(o, cur)) yyerror(&x->yyloc, "Wrong rule for " + base);
    if (p > 0 && p < m) m = p;
  }
  if (m == 100) return;

  const std::string next = new_symbol(base);
  level lv{cur, next, m};
  for (ast::Xrule_domain* a : alts) lv.place(a);
  if (!lv.rest) yyerror(loc, "Wrong rule for " + base);

  ast::List<ast::Gelem_domain*> chain = {ast::symelem(next)};
  lv.kept = ast::cons(lv.kept, ast::xrule(chain, ast::gterm(ast::snode("$1"))));
  release_cells(alts);
  alts = lv.kept;
  reorder_body(base, next, lv.rest, loc);
  new_rules = ast::cons(new_rules, ast::grmrule(next, lv.rest));
}

std::string new_symbol(const std::string& base) {
  const std::string encoded = encode_symbol(base);
  // Searching from "_1" every time would make a rule with many groups cost
  // time quadratic in their number.
  int& k = new_symbol_suffixes[encoded];
  std::string candidate = k == 0 ? encoded : encoded + "_" + std::to_string(k);
  while (symbols.count(candidate)) candidate = encoded + "_" + std::to_string(++k);
  add_symbol(candidate, "");
  return candidate;
}

namespace ast {

Gelem_domain* symelem(const std::string& name) { return new symelem_node(name, "", nullptr); }

Gelem_domain* varelem(List<Xrule_domain*> alts) { return new varelem_node(alts, "", nullptr); }

}  // namespace ast

ast::Xrule_domain* copy_xrule(ast::List<ast::Gelem_domain*> elems, ast::Gaction_domain* action) {
  return new copy_xrule_node(elems, action);
}
