#include "collect.hpp"

#include <cstddef>
#include <optional>

#include "driver.hpp"
#include "elements.hpp"
#include "names.hpp"
#include "options.hpp"
#include "tables.hpp"
#include "walk.hpp"
#include "writer_parts.hpp"

std::string terminal_key(const std::string& written, YYLTYPE* loc) {
  const std::string key = normalize_terminal(written);
  // The grammar file would carry the character itself, which Bison refuses,
  // and a one-character literal would have the token code of the end of the
  // input.
  if (isliteral(key) && key.find('\0') != std::string::npos)
    yyerror(loc, "Null character in terminal " + written);
  return key;
}

namespace {

// A node kind declared in a "%type" line of type `type`.
void declare_node(ast::node_node* n, const std::string& type) {
  const std::string& name = n->f1_;
  if (!is_domain_name(type)) yyerror(&n->yyloc, "Type of node can't assign to " + type);
  auto found = nodes.find(name);
  if (found != nodes.end()) {
    const auto& types = found->second.node_types;
    yyerror(&n->yyloc,
            "Node " + name + " is assigned to domain " + (types.empty() ? "" : types[0]));
  }
  nodeinfo& info = nodes[name];
  info.declared = true;
  if (n->f3_) info.user_factory = static_cast<int>(n->f3_) != 0;
  info.node_types.push_back(type);
  for (const std::string& field : n->f2_) {
    if (ends_with_mark(field) && !is_builtin_type(without_mark(field)))
      yyerror(&n->yyloc, "Wrong type " + field);
    info.node_types.push_back(field);
  }
  domains[type].node_set.insert(name);
}

void collect_types(ast::decltypes_node* d) {
  const std::string& type = d->f1_;
  if (is_domain_name(type)) domains.try_emplace(type);
  if (!d->f2_) default_tip = type;
  for (ast::Symbol_domain* s : d->f2_) {
    if (auto t = dynamic_cast<ast::terminal_node*>(s)) {
      add_symbol(terminal_key(t->f1_, &t->yyloc), type);
    } else if (auto i = dynamic_cast<ast::ident_node*>(s)) {
      if (defined_symbols.count(i->f1_))
        add_symbol(i->f1_, type);
      else
        add_constant(i->f1_, type);
    } else if (auto n = dynamic_cast<ast::node_node*>(s)) {
      declare_node(n, type);
    }
  }
}

// The code list a "%code" destination collects into; null for an unknown one.
ast::List<ast::Code_domain*>* code_destination(const ast::Maybe<std::string>& dest) {
  if (!dest) return &hcode;
  const std::string d = dest;
  if (d == "h") return &hcode;
  if (d == "grm") return &grmcode;
  if (d == "top") return &topcode;
  if (d == "bottom") return &bottomcode;
  if (d == "lex") return &lexcode;
  return nullptr;
}

}  // namespace

void collect_decls(ast::List<ast::Decl_domain*> decls) {
  int priority = 0;
  std::string kind;
  for (ast::Decl_domain* d : decls) {
    if (auto o = dynamic_cast<ast::decloper_node*>(d)) {
      ++priority;
      for (const std::string& word : o->f1_) {
        if (isterminal(word))
          opers.emplace_back(terminal_key(word, &o->yyloc), kind, priority);
        else
          kind = word;
      }
    } else if (auto t = dynamic_cast<ast::decltypes_node*>(d)) {
      collect_types(t);
    } else if (auto c = dynamic_cast<ast::declcode_node*>(d)) {
      if (auto dest = code_destination(c->f1_)) {
        *dest = ast::cons(*dest, c->f2_);
        if (dest == &lexcode) lexcode_blocks.push_back(c->f2_);
      }
      collect_terminals(c->f2_);
    } else if (auto r = dynamic_cast<ast::declre_node*>(d)) {
      if (is_empty_pattern(r->f2_)) yyerror(&r->yyloc, "Empty pattern");
      lexdefs.emplace_back(r->f1_, r->f2_);
    }
  }
}

void collect_terminals(ast::List<ast::Code_domain*> code) {
  walk_code(code, [](ast::Code_domain* c) {
    if (auto t = dynamic_cast<ast::token_node*>(c)) add_symbol(terminal_key(t->f1_, &t->yyloc), "");
  });
}

void collect_terminals(ast::List<ast::Lrule_domain*> lex) {
  for (ast::Lrule_domain* l : lex) {
    auto rule = dynamic_cast<ast::lexrule_node*>(l);
    if (!rule) continue;
    auto action = dynamic_cast<ast::lterm_node*>(rule->f3_);
    if (action && action->f1_) add_symbol(terminal_key(action->f1_, &action->yyloc), "");
  }
}

namespace {

// The terminals of alternatives, and the rules whose values their actions
// refer to; the state of an alternative is the set of positions referred to.
struct alternative_terminals : alternatives_pass<no_state, std::set<int>> {
  std::set<int> begin(ast::xrule_node* x, const context&) {
    std::set<int> refs;
    if (auto t = dynamic_cast<ast::gterm_node*>(x->f2_)) {
      collect_refs(t->f1_, refs);
    } else if (auto c = dynamic_cast<ast::gcode_node*>(x->f2_)) {
      collect_terminals(c->f1_);
      collect_refs(c->f1_, refs);
    }
    return refs;
  }
  ast::List<ast::Xrule_domain*>* element(ast::Gelem_domain*& e, int k, std::set<int>& refs,
                                         const context&, context&) {
    if (auto t = dynamic_cast<ast::trmelem_node*>(e)) {
      add_symbol(terminal_key(t->f1_, &t->yyloc), "");
    } else if (auto s = dynamic_cast<ast::symelem_node*>(e)) {
      if (refs.count(k)) symbols[s->f1_].has_value = 1;
    } else {
      return group_alts(e);
    }
    return nullptr;
  }
};

}  // namespace

void collect_terminals(ast::List<ast::Xrule_domain*> alts) {
  alternative_terminals pass;
  walk_alternatives(alts, {}, pass);
}

void collect_terminals(ast::List<ast::Grule_domain*> grm) {
  for (ast::Grule_domain* g : grm)
    if (auto r = dynamic_cast<ast::grmrule_node*>(g)) collect_terminals(r->f2_);
}

void collect_ref(const std::string& text, std::set<int>& refs) {
  ref_match m;
  for (std::size_t from = 0; find_ref(text, from, m); from = m.pos + m.len) {
    if (text[m.pos + 1] == '$')
      refs.insert(0);
    else if (auto k = read_decimal(text, m.pos + 1))
      refs.insert(*k);
  }
}

void collect_refs(ast::Term_domain* term, std::set<int>& refs) {
  if (auto t = dynamic_cast<ast::tnode_node*>(term)) {
    for (const std::string& arg : t->f2_) collect_ref(arg, refs);
  } else if (auto s = dynamic_cast<ast::snode_node*>(term)) {
    collect_ref(s->f1_, refs);
  }
}

void collect_refs(ast::List<ast::Code_domain*> code, std::set<int>& refs) {
  walk_code(code, [&refs](ast::Code_domain* c) {
    if (auto l = dynamic_cast<ast::lexem_node*>(c)) collect_ref(l->f1_, refs);
  });
}

namespace {

// k when `text` is exactly "$" followed by the decimal k.
std::optional<int> exact_ref(const std::string& text) {
  if (text.size() < 2 || text[0] != '$') return std::nullopt;
  std::optional<int> k = read_decimal(text, 1);
  if (k && text.compare(1, std::string::npos, std::to_string(*k)) == 0) return k;
  return std::nullopt;
}

}  // namespace

std::set<int> string_uses(ast::Term_domain* term) {
  std::set<int> uses;
  if (auto s = dynamic_cast<ast::snode_node*>(term)) {
    if (auto k = exact_ref(s->f1_)) uses.insert(*k);
    return uses;
  }
  auto t = dynamic_cast<ast::tnode_node*>(term);
  if (!t) return uses;
  auto found = nodes.find(t->f1_);
  if (found == nodes.end()) return uses;
  const auto& types = found->second.node_types;
  std::size_t i = 0;
  for (const std::string& arg : t->f2_) {
    ++i;
    if (i < types.size() && types[i] == "std::string?")
      if (auto k = exact_ref(arg)) uses.insert(*k);
  }
  return uses;
}

