// Walks over the two nested structures of a description, groups inside
// alternatives and brace blocks inside action code, in the order a recursive
// walk would take, but keeping their place on a heap stack: a description
// nested as deeply as the reader accepts costs the passes no call depth.
#pragma once

#include <utility>
#include <vector>

#include "elements.hpp"
#include "tarnel.hpp"

// Walks the code list `code`, entering each nested brace block where it
// stands: `open(block)` before the block's contents, `close(block)` after
// them, and `visit(c)` for every other element.
template <typename Visit, typename Open, typename Close>
void walk_code(ast::List<ast::Code_domain*> code, Visit visit, Open open, Close close) {
  ast::List<ast::Code_domain*> rest = code;  // what is left at this depth
  // The blocks entered, each with what is left after it at its own depth.
  std::vector<std::pair<ast::pcode_node*, ast::List<ast::Code_domain*>>> blocks;
  for (;;) {
    if (!rest) {
      if (blocks.empty()) return;
      close(blocks.back().first);
      rest = blocks.back().second;
      blocks.pop_back();
      continue;
    }
    ast::Code_domain* c = *rest;
    ++rest;
    if (auto block = dynamic_cast<ast::pcode_node*>(c)) {
      open(block);
      blocks.emplace_back(block, rest);
      rest = block->f1_;
    } else {
      visit(c);
    }
  }
}

// The same, for passes that only look at the elements outside blocks.
template <typename Visit>
void walk_code(ast::List<ast::Code_domain*> code, Visit visit) {
  walk_code(code, visit, [](ast::pcode_node*) {}, [](ast::pcode_node*) {});
}

// Walks the alternatives `alts` and, where a group element stands in one of
// them, the group's alternatives, depth first. The pass `p` gives the steps;
// `Pass::alt_state` is what it keeps while it walks one alternative (say, the
// positions the action refers to) and `Pass::context` what it hands to the
// alternatives of one list (say, whether they must deliver a value):
//
//   alt_state begin(ast::xrule_node* x, const context& c)
//       before the elements of alternative x of a list walked with c;
//   ast::List<ast::Xrule_domain*>* element(ast::Gelem_domain*& place, int k,
//                                          alt_state& a, const context& c,
//                                          context& inner)
//       for element k (from 1); a group's alternatives to walk next, with
//       `inner`, or null;
//   void group_done(ast::Gelem_domain*& place, alt_state& a, const context& c)
//       after the alternatives of the group at `place` have been walked;
//   void end(ast::xrule_node* x, alt_state& a, const context& c)
//       after the last element of x and everything inside it.
//
// Entries of a list that are no xrule_node are skipped.
template <typename Pass>
void walk_alternatives(ast::List<ast::Xrule_domain*> alts, const typename Pass::context& c,
                       Pass& p) {
  struct frame {
    frame(ast::List<ast::Xrule_domain*> alts, const typename Pass::context& c)
        : alts(alts), c(c) {}
    ast::List<ast::Xrule_domain*> alts;            // alternatives left
    typename Pass::context c;
    ast::xrule_node* x = nullptr;                  // the alternative being walked
    ast::List<ast::Gelem_domain*> elems = nullptr;  // its elements left
    int k = 0;                                     // position of the element taken last
    ast::Gelem_domain** group = nullptr;           // the group walked in the frame above
    typename Pass::alt_state a{};
  };
  std::vector<frame> stack;
  stack.emplace_back(alts, c);
  while (!stack.empty()) {
    frame& f = stack.back();
    if (!f.x) {
      if (!f.alts) {
        stack.pop_back();
        if (!stack.empty()) {
          frame& up = stack.back();
          p.group_done(*up.group, up.a, up.c);
        }
        continue;
      }
      ast::Xrule_domain* entry = *f.alts;
      ++f.alts;
      if ((f.x = dynamic_cast<ast::xrule_node*>(entry))) {
        f.elems = f.x->f1_;
        f.k = 0;
        f.a = p.begin(f.x, f.c);
      }
      continue;
    }
    if (!f.elems) {
      p.end(f.x, f.a, f.c);
      f.x = nullptr;
      continue;
    }
    ast::Gelem_domain*& place = *f.elems;
    ++f.elems;
    typename Pass::context inner{};
    if (ast::List<ast::Xrule_domain*>* group = p.element(place, ++f.k, f.a, f.c, inner)) {
      f.group = &place;
      stack.emplace_back(*group, inner);  // f is not used after this
    }
  }
}

// Steps of walk_alternatives that do nothing, for passes to build on: a pass
// derives from it and declares the steps it needs (always `element`).
struct no_state {};
template <typename Context = no_state, typename AltState = no_state>
struct alternatives_pass {
  using context = Context;
  using alt_state = AltState;
  alt_state begin(ast::xrule_node*, const context&) { return alt_state{}; }
  void group_done(ast::Gelem_domain*&, alt_state&, const context&) {}
  void end(ast::xrule_node*, alt_state&, const context&) {}
};
