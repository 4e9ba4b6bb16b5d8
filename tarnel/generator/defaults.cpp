#include "defaults.hpp"

#include <iostream>
#include <set>
#include <vector>

#include "collect.hpp"
#include "elements.hpp"
#include "names.hpp"
#include "tables.hpp"

namespace {

bool typed_terminal(const std::string& text) {
  return !empty_type(symbols[normalize_terminal(text)].type);
}

bool is_repetition(ast::Gelem_domain* e) {
  return dynamic_cast<ast::repelem0_node*>(e) || dynamic_cast<ast::repelem1_node*>(e);
}

std::string ref_text(int k) { return "$" + std::to_string(k); }

// Chooses the action of an alternative without one whose rule must deliver a
// value; the positions it refers to go into `refs`.
void choose_default(ast::xrule_node* x, const std::string& rule, std::set<int>& refs) {
  std::vector<int> values;
  bool group = false, repetition = false;
  int k = 0;
  for (ast::Gelem_domain* e : x->f1_) {
    ++k;
    bool value = false;
    if (auto t = dynamic_cast<ast::trmelem_node*>(e)) {
      value = typed_terminal(t->f1_);
    } else if (dynamic_cast<ast::symelem_node*>(e)) {
      value = true;
    } else if (auto g = group_alts(e)) {
      value = !is_empty_rule(*g);
      if (value) (is_repetition(e) ? repetition : group) = true;
    }
    if (value) values.push_back(k);
  }
  if (values.size() == 1) {
    ast::destroy(x->f2_);
    x->f2_ = ast::gterm(ast::snode(ref_text(values[0])));
    refs.insert(values[0]);
  } else if (values.size() == 2 && (repetition || group)) {
    const int i = values[0], j = values[1];
    const std::string first = repetition ? ref_text(i) : "cons(" + ref_text(i) + ")";
    ast::destroy(x->f2_);
    x->f2_ = ast::gterm(ast::tnode("cons", {first, ref_text(j)}, ast::Maybe<int>(nullptr)));
    refs.insert(i);
    refs.insert(j);
    // A list built from a repetition is shown, so that the author sees which
    // action was chosen.
    if (repetition) ast::astprint(std::cout, x->f2_, 0, nullptr);
  } else if (values.size() >= 2) {
    std::cerr << "Warning: ambiguity rule for " << rule
              << " to select value by default, write direct action" << std::endl;
  }
}

}  // namespace

void setup_default(ast::List<ast::Grule_domain*> grm) {
  for (ast::Grule_domain* g : grm) {
    auto r = dynamic_cast<ast::grmrule_node*>(g);
    if (!r) continue;
    symbolinfo& info = symbols[r->f1_];
    if (!empty_type(info.type)) info.has_value = 1;
    setup_default(r->f2_, info.has_value != 0, r->f1_);
  }
}

void setup_default(ast::List<ast::Xrule_domain*> alts, bool value, const std::string& rule) {
  for (ast::Xrule_domain* a : alts) {
    auto x = dynamic_cast<ast::xrule_node*>(a);
    if (!x) continue;
    std::set<int> refs;
    if (dynamic_cast<ast::gempty_node*>(x->f2_)) {
      if (value) choose_default(x, rule, refs);
    } else if (auto t = dynamic_cast<ast::gterm_node*>(x->f2_)) {
      collect_refs(t->f1_, refs);
    } else if (auto c = dynamic_cast<ast::gcode_node*>(x->f2_)) {
      collect_refs(c->f1_, refs);
    }
    int k = 0;
    for (ast::Gelem_domain* e : x->f1_) {
      const bool used = refs.count(++k) != 0;
      if (auto t = dynamic_cast<ast::trmelem_node*>(e)) {
        if (used && !typed_terminal(t->f1_))
          std::cerr << "Warning: ref to terminal " << t->f1_ << " with undefined type" << std::endl;
      } else if (auto s = dynamic_cast<ast::symelem_node*>(e)) {
        if (used) symbols[s->f1_].has_value = 1;
      } else if (auto g = group_alts(e)) {
        setup_default(*g, used, rule);
      }
    }
  }
}

bool is_empty_rule(ast::List<ast::Xrule_domain*> alts) {
  for (ast::Xrule_domain* a : alts) {
    auto x = dynamic_cast<ast::xrule_node*>(a);
    if (!x) continue;
    if (!dynamic_cast<ast::gempty_node*>(x->f2_)) return false;
    for (ast::Gelem_domain* e : x->f1_) {
      if (auto t = dynamic_cast<ast::trmelem_node*>(e)) {
        if (typed_terminal(t->f1_)) return false;
      } else if (auto g = group_alts(e)) {
        if (!is_empty_rule(*g)) return false;
      } else {
        return false;
      }
    }
  }
  return true;
}
