#include "bnf.hpp"

#include <set>

#include "collect.hpp"
#include "elements.hpp"
#include "operators.hpp"
#include "tables.hpp"
#include "walk.hpp"

namespace {

// The value term cons($1) or cons($1,$2) of a list rule.
ast::Gaction_domain* cons_action(ast::List<std::string> args) {
  return ast::gterm(ast::tnode("cons", args, ast::Maybe<int>(nullptr)));
}

// Replaces the group at `place` by a reference to `name`; the group's
// alternatives have moved to the new rule and are cleared in it first.
void replace_group(ast::Gelem_domain*& place, ast::List<ast::Xrule_domain*>& alts,
                   const std::string& name) {
  alts = nullptr;
  ast::destroy(place);
  place = ast::symelem(name);
}

void add_rule(const std::string& name, ast::List<ast::Xrule_domain*> alts) {
  new_rules = ast::cons(new_rules, ast::grmrule(name, alts));
}

}  // namespace

void split_rules(ast::List<ast::Grule_domain*> grm) {
  for (ast::Grule_domain* g : grm)
    if (auto r = dynamic_cast<ast::grmrule_node*>(g)) split_rules(r->f2_, r->f1_);
}

namespace {

// Every group becomes a rule once the groups inside it have become theirs,
// so inner groups get their rules, and their names, first.
struct group_rules : alternatives_pass<> {
  explicit group_rules(const std::string& name) : name(name) {}
  ast::List<ast::Xrule_domain*>* element(ast::Gelem_domain*& place, int, alt_state&,
                                         const context&, context&) {
    return group_alts(place);
  }
  void group_done(ast::Gelem_domain*& place, alt_state&, const context&) {
    if (auto g = dynamic_cast<ast::varelem_node*>(place)) {
      const std::string v = new_symbol(name + "_var" + g->f2_);
      add_rule(v, g->f1_);
      replace_group(place, g->f1_, v);
    } else if (auto o = dynamic_cast<ast::optelem_node*>(place)) {
      const std::string v = new_symbol(name + "_opt" + o->f2_);
      ast::Xrule_domain* none = ast::xrule(nullptr, ast::gempty());
      add_rule(v, ast::cons(none, o->f1_));
      replace_group(place, o->f1_, v);
    } else if (auto r1 = dynamic_cast<ast::repelem1_node*>(place)) {
      make_rep(1, r1->f1_, place, r1->f2_, name);
    } else if (auto r0 = dynamic_cast<ast::repelem0_node*>(place)) {
      make_rep(0, r0->f1_, place, r0->f2_, name);
    }
  }
  const std::string& name;  // the rule the groups are in
};

}  // namespace

void split_rules(ast::List<ast::Xrule_domain*> alts, const std::string& name) {
  group_rules pass(name);
  walk_alternatives(alts, {}, pass);
}

void make_rep(int kind, ast::List<ast::Xrule_domain*>& alts, ast::Gelem_domain*& place,
              const std::string& label, const std::string& rule) {
  const std::string list = new_symbol(rule + "_rep" + label);
  const std::string elem = new_symbol(label.empty() ? rule + "_rep" : rule + "_repelem_" + label);
  ast::Gaction_domain* a0;
  ast::Gaction_domain* a1;
  if (!check_all_gempty(alts)) {
    a0 = kind == 0 ? ast::gempty() : cons_action({"$1"});
    a1 = cons_action({"$1", "$2"});
  } else {
    a0 = ast::gempty();
    a1 = ast::gempty();
  }
  add_rule(elem, alts);
  ast::List<ast::Gelem_domain*> first = nullptr;
  if (kind != 0) first = ast::cons(ast::symelem(elem));
  ast::List<ast::Gelem_domain*> recursive = {ast::symelem(list), ast::symelem(elem)};
  add_rule(list, {ast::xrule(first, a0), ast::xrule(recursive, a1)});
  replace_group(place, alts, list);
}

bool check_all_gempty(ast::List<ast::Xrule_domain*> alts) {
  for (ast::Xrule_domain* a : alts) {
    auto x = dynamic_cast<ast::xrule_node*>(a);
    if (!x) continue;
    if (dynamic_cast<ast::gterm_node*>(x->f2_)) return false;
    // Code that never sets "$$" is there for its effects: the alternative
    // has no value, as without an action.
    if (auto code = dynamic_cast<ast::gcode_node*>(x->f2_)) {
      std::set<int> refs;
      collect_refs(code->f1_, refs);
      if (refs.count(0)) return false;
    }
  }
  return true;
}
