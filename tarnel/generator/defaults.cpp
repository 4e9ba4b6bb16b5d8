#include "defaults.hpp"

#include <iostream>
#include <map>
#include <set>
#include <vector>

#include "collect.hpp"
#include "elements.hpp"
#include "names.hpp"
#include "tables.hpp"
#include "walk.hpp"

namespace {

bool typed_terminal(const std::string& text) {
  return !empty_type(symbols[normalize_terminal(text)].type);
}

bool is_repetition(ast::Gelem_domain* e) {
  return dynamic_cast<ast::repelem0_node*>(e) || dynamic_cast<ast::repelem1_node*>(e);
}

std::string ref_text(int k) { return "$" + std::to_string(k); }

// Whether a group's alternatives carry no value (no action, no rule name,
// only untyped terminals or groups that carry none themselves), for the
// alternative lists of groups, by the
// address of the list in its group. An answer stays right while the pass
// walks the alternatives that enclose the group: it changes only when an
// alternative inside the group gets a default action, and those are walked
// after every alternative that asks about the group.
using empty_answers = std::map<const ast::List<ast::Xrule_domain*>*, bool>;

// Whether `alts` carry no value, walked on a heap stack; every list of a group met
// on the way whose answer is decided is entered into `known`, so a group
// inside many enclosing groups is walked once, not once for each of them.
bool carries_no_value(const ast::List<ast::Xrule_domain*>* alts, empty_answers& known) {
  auto found = known.find(alts);
  if (found != known.end()) return found->second;
  struct frame {
    const ast::List<ast::Xrule_domain*>* list;
    ast::List<ast::Xrule_domain*> alts;   // alternatives left
    ast::List<ast::Gelem_domain*> elems;  // elements left of the alternative walked
  };
  std::vector<frame> stack{{alts, *alts, nullptr}};
  for (;;) {
    frame& f = stack.back();
    bool offends = false;
    if (f.elems) {
      ast::Gelem_domain* e = *f.elems;
      ++f.elems;
      if (auto t = dynamic_cast<ast::trmelem_node*>(e)) {
        offends = typed_terminal(t->f1_);
      } else if (auto g = group_alts(e)) {
        auto answer = known.find(g);
        if (answer == known.end()) {
          stack.push_back({g, *g, nullptr});
          continue;
        }
        offends = !answer->second;
      } else {
        offends = true;  // a rule name carries a value
      }
    } else if (f.alts) {
      auto x = dynamic_cast<ast::xrule_node*>(*f.alts);
      ++f.alts;
      if (x && !dynamic_cast<ast::gempty_node*>(x->f2_)) offends = true;
      if (x) f.elems = x->f1_;
    } else {
      // Every alternative passed: this list carries no value, and the list
      // below goes on after the group.
      known[f.list] = true;
      stack.pop_back();
      if (stack.empty()) return true;
      continue;
    }
    if (offends) {
      // The first offending element answers for this list and for every
      // list that encloses it here.
      for (const frame& open : stack) known[open.list] = false;
      return false;
    }
  }
}

// Chooses the action of an alternative without one whose rule must deliver a
// value; the positions it refers to go into `refs`.
void choose_default(ast::xrule_node* x, const std::string& rule, std::set<int>& refs,
                    empty_answers& known) {
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
      value = !carries_no_value(g, known);
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

// The alternatives step: the context of a list of alternatives is whether
// they must deliver a value; the state of an alternative, the positions its
// action refers to.
struct default_actions : alternatives_pass<bool, std::set<int>> {
  explicit default_actions(const std::string& rule) : rule(rule) {}
  std::set<int> begin(ast::xrule_node* x, const bool& value) {
    std::set<int> refs;
    if (dynamic_cast<ast::gempty_node*>(x->f2_)) {
      if (value) choose_default(x, rule, refs, known);
    } else if (auto t = dynamic_cast<ast::gterm_node*>(x->f2_)) {
      collect_refs(t->f1_, refs);
    } else if (auto c = dynamic_cast<ast::gcode_node*>(x->f2_)) {
      collect_refs(c->f1_, refs);
    }
    return refs;
  }
  ast::List<ast::Xrule_domain*>* element(ast::Gelem_domain*& e, int k, std::set<int>& refs,
                                         const bool&, bool& inner) {
    const bool used = refs.count(k) != 0;
    if (auto t = dynamic_cast<ast::trmelem_node*>(e)) {
      if (used && !typed_terminal(t->f1_))
        std::cerr << "Warning: ref to terminal " << t->f1_ << " with undefined type" << std::endl;
    } else if (auto s = dynamic_cast<ast::symelem_node*>(e)) {
      if (used) symbols[s->f1_].has_value = 1;
    } else if (auto g = group_alts(e)) {
      inner = used;
      return g;
    }
    return nullptr;
  }
  const std::string& rule;
  empty_answers known;
};

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
  default_actions pass(rule);
  walk_alternatives(alts, value, pass);
}
