#include "refs.hpp"

#include <cstddef>

#include "driver.hpp"
#include "elements.hpp"
#include "tables.hpp"
#include "walk.hpp"

void replace_refs(ast::List<ast::Grule_domain*> grm) {
  for (ast::Grule_domain* g : grm)
    if (auto r = dynamic_cast<ast::grmrule_node*>(g)) replace_refs(r->f2_, r->f1_);
}

namespace {

// The names of an alternative are entered as its elements are walked; its
// action is resolved after them (and after the groups inside it). The
// context of a list of alternatives is the name of their own value.
struct named_references : alternatives_pass<std::string, altid_map> {
  altid_map begin(ast::xrule_node*, const std::string& name) {
    altid_map ids;
    if (!name.empty()) add_altid(ids, name, 0);
    return ids;
  }
  ast::List<ast::Xrule_domain*>* element(ast::Gelem_domain*& e, int k, altid_map& ids,
                                         const std::string&, std::string& inner) {
    if (auto t = dynamic_cast<ast::trmelem_node*>(e)) {
      add_altid(ids, t->f2_.empty() ? t->f1_ : t->f2_, k);
    } else if (auto s = dynamic_cast<ast::symelem_node*>(e)) {
      add_altid(ids, s->f2_.empty() ? s->f1_ : s->f2_, k);
    } else if (auto g = group_alts(e)) {
      const std::string& label = *label_of(e);
      if (!label.empty()) add_altid(ids, label, k);
      // The group's alternatives see only their own elements, and the
      // group's label as their own value.
      inner = label;
      return g;
    }
    return nullptr;
  }
  void end(ast::xrule_node* x, altid_map& ids, const std::string&) {
    if (auto t = dynamic_cast<ast::gterm_node*>(x->f2_))
      replace_refs(t->f1_, ids);
    else if (auto c = dynamic_cast<ast::gcode_node*>(x->f2_))
      replace_refs(c->f1_, ids);
  }
};

}  // namespace

void replace_refs(ast::List<ast::Xrule_domain*> alts, const std::string& name) {
  named_references pass;
  walk_alternatives(alts, name, pass);
}

void add_altid(altid_map& ids, const std::string& name, int pos) {
  auto inserted = ids.emplace(name, pos);
  if (!inserted.second) inserted.first->second = -1;
}

void replace_refs(ast::Term_domain* term, altid_map& ids) {
  if (auto t = dynamic_cast<ast::tnode_node*>(term)) {
    for (std::string& arg : t->f2_) replace_ref(arg, ids, &t->yyloc);
  } else if (auto s = dynamic_cast<ast::snode_node*>(term)) {
    replace_ref(s->f1_, ids, &s->yyloc);
  }
}

void replace_refs(ast::List<ast::Code_domain*> code, altid_map& ids) {
  walk_code(code, [&ids](ast::Code_domain* c) {
    if (auto l = dynamic_cast<ast::lexem_node*>(c); l && !l->f1_.empty() && l->f1_[0] == '$')
      replace_ref(l->f1_, ids, &l->yyloc);
  });
}

void replace_ref(std::string& text, altid_map& ids, YYLTYPE* loc) {
  std::string result;
  std::size_t from = 0;
  ref_match m;
  xref_finder finder(text);
  while (finder.find(from, m)) {
    result.append(text, from, m.pos - from);
    const std::string key =
        m.bracketed ? text.substr(m.pos + 2, m.len - 3) : text.substr(m.pos + 1, m.len - 1);
    auto found = ids.find(key);
    if (found == ids.end()) {
      yyerror(loc, "Unknown ref to " + key);
      return;
    }
    if (found->second < 0) {
      yyerror(loc, "Ambiguous ref to " + key);
      return;
    }
    result += found->second == 0 ? std::string("$$") : "$" + std::to_string(found->second);
    from = m.pos + m.len;
  }
  result.append(text, from, std::string::npos);
  text = result;
}
