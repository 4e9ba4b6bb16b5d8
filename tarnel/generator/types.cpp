#include "types.hpp"

#include <cctype>
#include <cstddef>
#include <iostream>
#include <set>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "collect.hpp"
#include "driver.hpp"
#include "names.hpp"
#include "options.hpp"
#include "tables.hpp"
#include "walk.hpp"

std::string linked_symbol;

namespace {

// Set when "$$" occurs in the code being typed; cleared by the callers
// before they type an action.
int ref_assigned = 0;

bool tracing() { return yydebug_flag == 3; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_word_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || is_digit(c) || c == '_' || c == ':';
}

bool begins_with(const std::string& t, const char* prefix) {
  return t.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// "N(i)", the name of field i of node kind N in traces and messages.
std::string field_name(const std::string& node, std::size_t i) {
  return node + "(" + std::to_string(i) + ")";
}

// Type of a numeric literal whose digits run to `end`.
std::string number_type(const std::string& text, std::size_t end) {
  const char c = end < text.size() ? text[end] : '\0';
  if (c == '.' || c == 'e' || c == 'E') return "double";
  if (text.compare(end, 2, "ll") == 0) return "int64_t";
  if (c == 'l') return "long";
  return "int";
}

// The elements of one alternative by position, for the references of its
// action: the list is walked once, not once for every reference.
class alt_elements {
 public:
  explicit alt_elements(ast::List<ast::Gelem_domain*> elems) : elems_(elems) {}
  std::size_t size() const { return elems_.size(); }
  // Element k, counted from 1 (1 <= k <= size()).
  ast::Gelem_domain* at(std::size_t k) {
    if (by_position_.empty())
      for (ast::Gelem_domain* e : elems_) by_position_.push_back(e);
    return by_position_[k - 1];
  }

 private:
  ast::List<ast::Gelem_domain*> elems_;
  std::vector<ast::Gelem_domain*> by_position_;
};

std::string type_text(const std::string& text, alt_elements& elems, const std::string& owner,
                      int index, YYLTYPE* loc, bool record);

// The type of the value element k (from 1) of an alternative that "$k" in
// `text` refers to, recording the dependencies on a referenced rule.
std::string reference_type(const std::string& text, alt_elements& elems,
                           const std::string& owner, int index, YYLTYPE* loc, bool record) {
  const std::optional<int> k = read_decimal(text, 1);
  if (!k || *k < 1 || static_cast<std::size_t>(*k) > elems.size()) {
    yyerror(loc, "Reference " + text + " to unknown element");
    return "";
  }
  ast::Gelem_domain* e = elems.at(static_cast<std::size_t>(*k));
  if (auto t = dynamic_cast<ast::trmelem_node*>(e)) {
    const std::string& type = symbols[normalize_terminal(t->f1_)].type;
    if (empty_type(type)) yyerror(loc, "Terminal " + t->f1_ + " don't have a type");
    return type;
  }
  auto s = dynamic_cast<ast::symelem_node*>(e);
  if (!s) return "";
  const std::string& rule = s->f1_;
  symbolinfo& info = symbols[rule];
  if (!record) {
    if (index > 0) {
      // A "cons" inside argument `index` of a constructor of node kind owner.
      info.uses.emplace_back(owner, -index);
    } else if (rule != owner) {
      // A "cons" inside a "cons" value term of the rule owner: the rule's
      // value becomes an element of owner's list, as for a plain argument.
      symbols[owner].links.emplace_back(rule, 1);
      info.links.emplace_back(owner, -1);
    }
    return info.type;
  }
  if (index > 0) {
    info.uses.emplace_back(owner, index);
  } else if (rule != owner) {
    linked_symbol = rule;
    symbols[owner].links.emplace_back(rule, -index);
    info.links.emplace_back(owner, index);
  }
  return "";
}

// The entry of node kind `name` for a constructor term with `n` arguments;
// created when missing, "Wrong number of node ..." when it has other fields.
nodeinfo& constructed_node(ast::tnode_node* t) {
  const std::string& name = t->f1_;
  const std::size_t n = t->f2_.size();
  auto found = nodes.try_emplace(name, static_cast<int>(n + 1)).first;
  nodeinfo& info = found->second;
  if (t->f3_) info.user_factory = static_cast<int>(t->f3_) != 0;
  if (info.node_types.size() != n + 1)
    yyerror(&t->yyloc, "Wrong number of node " + name + " arguments");
  return info;
}

// Types the arguments of a constructor term of a node kind, element
// references of an alternative `elems` included.
void type_node_arguments(ast::tnode_node* t, nodeinfo& info, alt_elements& elems) {
  std::size_t i = 0;
  for (const std::string& arg : t->f2_) {
    ++i;
    const std::string type = type_text(arg, elems, t->f1_, static_cast<int>(i), &t->yyloc, true);
    assign_type(info.node_types[i], type, field_name(t->f1_, i));
  }
}

std::string type_text(const std::string& text, alt_elements& elems, const std::string& owner,
                      int index, YYLTYPE* loc, bool record) {
  linked_symbol.clear();
  if (text.empty()) return "";
  if (text[0] == '\'') return "char";
  if (text[0] == '"') return "std::string";
  if (text.size() >= 2 && text[0] == '$' && is_digit(text[1]))
    return reference_type(text, elems, owner, index, loc, record);

  std::size_t p = 0;
  while (p < text.size() && (is_digit(text[p]) || text[p] == '\'')) ++p;
  if (p > 0) return number_type(text, p);

  while (p < text.size() && is_word_char(text[p])) ++p;
  const std::string word = text.substr(0, p);
  const char next = p < text.size() ? text[p] : '\0';
  if (is_builtin_type(word) || is_domain(word)) return word;
  if (word == "yytext" || word == "text" || word == "YYText") return next == '[' ? "char" : "std::string";
  if (word == "nullptr") return "?";
  if (next == '(' && word == "cons") {
    // Only the first argument decides. Nested "cons(" prefixes add nothing
    // (a list stays a list), so they are skipped rather than recursed into.
    std::size_t inner = p + 1;
    while (text.compare(inner, 5, "cons(") == 0) inner += 5;
    const std::string r = type_text(text.substr(inner), elems, owner, index, loc, false);
    return !r.empty() && !is_list_type(r) ? "List<" + r + ">" : r;
  }
  if (next == '(') {
    auto found = nodes.find(word);
    if (found == nodes.end() || found->second.node_types.empty()) return "";
    return found->second.node_types[0];
  }
  auto c = consts.find(word);
  return c == consts.end() ? "" : c->second.type;
}

}  // namespace

void assign_type(std::string& cur, const std::string& add, const std::string& what) {
  if (tracing()) std::cout << what << ": " << cur << " <- " << add << '\n';
  if (add.empty()) return;
  if (add == "?") {
    if (cur.empty())
      cur = "?";
    else if (is_builtin_type(cur))
      cur += "?";
    return;
  }
  if (cur.empty()) {
    cur = add;
    return;
  }
  if (cur == "?") {
    cur = is_builtin_type(add) ? add + "?" : add;
    return;
  }
  if (cur == add) return;
  if (without_mark(cur) != without_mark(add)) {
    yyerror("Types attributes " + what + " is different: " + cur + " <- " + add);
    return;
  }
  if (ends_with_mark(add)) cur = add;
}

std::string type_arg(const std::string& text, ast::List<ast::Gelem_domain*> elems,
                     const std::string& owner, int index, YYLTYPE* loc, bool record) {
  alt_elements by_position(elems);
  return type_text(text, by_position, owner, index, loc, record);
}

void calc_types(ast::List<ast::Code_domain*> code, int returns) {
  walk_code(code, [returns](ast::Code_domain* c) {
    if (auto l = dynamic_cast<ast::lexem_node*>(c)) {
      if (l->f1_ == "$$") ref_assigned = 1;
    } else if (auto t = dynamic_cast<ast::token_node*>(c); t && returns != 0) {
      const std::string name = terminal_key(t->f1_, &t->yyloc);
      std::string& type = symbols[name].type;
      if (!ref_assigned)
        assign_type(type, "?", name);
      else if (empty_type(type))
        assign_type(type, default_tip, name);
    }
  });
}

void calc_types(ast::List<ast::Lrule_domain*> lex) {
  for (ast::Lrule_domain* l : lex) {
    auto rule = dynamic_cast<ast::lexrule_node*>(l);
    if (!rule) continue;
    if (auto c = dynamic_cast<ast::lcode_node*>(rule->f3_)) {
      ref_assigned = 0;
      calc_types(c->f1_, 1);
      continue;
    }
    auto action = dynamic_cast<ast::lterm_node*>(rule->f3_);
    if (!action || !action->f1_ || !action->f2_) continue;
    const std::string written = action->f1_;
    const std::string name = normalize_terminal(written);
    std::string& type = symbols[name].type;
    if (empty_type(type)) assign_type(type, default_tip, name);
    auto node = dynamic_cast<ast::tnode_node*>(action->f2_);
    if (is_domain(type)) {
      if (!node) continue;
      nodeinfo& info = constructed_node(node);
      assign_type(info.node_types[0], type, field_name(node->f1_, 0));
      domains[type].node_set.insert(node->f1_);
      alt_elements none(nullptr);
      type_node_arguments(node, info, none);
    } else if (node) {
      if (is_builtin_type(node->f1_)) assign_type(type, node->f1_, written);
    } else if (auto s = dynamic_cast<ast::snode_node*>(action->f2_)) {
      assign_type(type, type_arg(s->f1_, nullptr, written, 0, &s->yyloc, true), written);
    }
  }
}

namespace {

// The value type of a "cons" value term of rule `rule` over the elements
// `elems`; records how the rules behind its arguments depend on each other.
std::string cons_type(ast::tnode_node* t, alt_elements& elems, const std::string& rule) {
  YYLTYPE* loc = &t->yyloc;
  if (t->f2_.size() == 1) {
    const std::string r = type_text(t->f2_[0], elems, rule, -1, loc, true);
    return !empty_type(r) && !is_list_type(r) ? list_of_type(r) : r;
  }
  if (t->f2_.size() != 2) {
    yyerror(loc, "Number of cons' arguments should be 1 or 2");
    return "";
  }
  std::string t1 = type_text(t->f2_[0], elems, rule, -1, loc, true);
  std::string l1 = linked_symbol;
  std::string t2 = type_text(t->f2_[1], elems, rule, -1, loc, true);
  std::string l2 = linked_symbol;
  const bool e1 = empty_type(t1), e2 = empty_type(t2);
  std::string r;
  if (!e1 && !e2 && !is_list_type(t1) && !is_list_type(t2)) {
    yyerror(loc, "Using cons for " + t1 + " and " + t2);
  } else if (is_list_type(t1) && is_list_type(t2)) {
    if (type_of_list(t1) != type_of_list(t2)) yyerror(loc, "Using cons() for " + t1 + " and " + t2);
    r = t1;
  } else {
    // After the exchange t1 is the element's type and t2 the list's, when
    // they are known; l1 and l2 follow them.
    if (e1 || is_list_type(t1)) {
      std::swap(t1, t2);
      std::swap(l1, l2);
    }
    if (is_list_type(t1)) {
      // An untyped element put in front of a typed list: the list's type,
      // and the element's rule gets the list's element type.
      r = t1;
      if (!l2.empty()) assign_type(symbols[l2].type, type_of_list(t1), l2);
    } else if (!empty_type(t1)) {
      r = list_of_type(t1);
      if (!empty_type(t2) && t2 != r) yyerror(loc, "Using cons() for " + t1 + " and " + t2);
      if (!l2.empty()) assign_type(symbols[l2].type, r, l2);
    } else if (!empty_type(t2)) {
      r = t2;
    }
  }
  if (!l1.empty() && !l2.empty() && l1 != l2) {
    symbols[l1].links.emplace_back(l2, -2);
    symbols[l2].links.emplace_back(l1, -2);
  }
  return r;
}

// Phase 1 for one alternative of rule `rule` (entry `info`): types what can
// be typed at once, records dependencies, fills the worklist.
void read_alternative(ast::xrule_node* x, const std::string& rule, symbolinfo& info,
                      std::set<std::string>& work) {
  alt_elements elems(x->f1_);
  if (dynamic_cast<ast::gempty_node*>(x->f2_)) {
    assign_type(info.type, "?", rule);
  } else if (auto c = dynamic_cast<ast::gcode_node*>(x->f2_)) {
    ref_assigned = 0;
    const bool was_empty = empty_type(info.type);
    calc_types(c->f1_, 0);
    if (was_empty) {
      if (ref_assigned) {
        assign_type(info.type, default_tip, rule);
        work.insert(rule);
      } else {
        info.type = "?";
      }
    } else if (!ref_assigned) {
      assign_type(info.type, "?", rule);
    }
  } else if (auto g = dynamic_cast<ast::gterm_node*>(x->f2_)) {
    if (auto s = dynamic_cast<ast::snode_node*>(g->f1_)) {
      const std::string r = type_text(s->f1_, elems, rule, 0, &s->yyloc, true);
      assign_type(info.type, r, rule);
      if (!empty_type(r)) work.insert(rule);
    } else if (auto t = dynamic_cast<ast::tnode_node*>(g->f1_)) {
      const std::string& name = t->f1_;
      if (name == "cons") {
        const std::string r = cons_type(t, elems, rule);
        assign_type(info.type, r, rule);
        if (!empty_type(r)) work.insert(rule);
      } else if (is_builtin_type(name) || is_domain(name)) {
        assign_type(info.type, name, rule);
        work.insert(rule);
      } else {
        nodeinfo& node = constructed_node(t);
        type_node_arguments(t, node, elems);
        info.uses.emplace_back(name, 0);
        node.node_names.push_back(rule);
      }
    }
  }
}

// The range of the first value term of rule `rule` that builds node kind
// `node`; null when there is none.
YYLTYPE* constructor_range(const std::string& rule, const std::string& node) {
  auto r = dynamic_cast<ast::grmrule_node*>(symbols[rule].rule);
  if (!r) return nullptr;
  for (ast::Xrule_domain* a : r->f2_) {
    auto x = dynamic_cast<ast::xrule_node*>(a);
    auto g = x ? dynamic_cast<ast::gterm_node*>(x->f2_) : nullptr;
    auto t = g ? dynamic_cast<ast::tnode_node*>(g->f1_) : nullptr;
    if (t && t->f1_ == node) return &t->yyloc;
  }
  return nullptr;
}

// A node is built only as the value of a domain: fatal for a rule `rule`
// of type `t` (a built-in, list, optional or other type) that builds
// node kind `node`.
void check_node_result(const std::string& rule, const std::string& node, const std::string& t) {
  if (is_domain_name(t)) return;
  const std::string msg = "Type of node can't assign to " + t;
  if (YYLTYPE* loc = constructor_range(rule, node))
    yyerror(loc, msg);
  else
    yyerror(msg);
}

// The dependencies propagation has followed with a type: which list (uses
// or links), the pair's name and number, and the type that flowed. The texts
// are views: of the pairs, which do not change while types propagate, and of
// the entries of `flowed_types`.
using followed_pair = std::tuple<bool, std::string_view, int, std::string_view>;
struct followed_pairs {
  std::set<followed_pair> pairs;
  std::set<std::string> flowed_types;
};

// Phase 2 for one name `s` of type `t` of the current step. Following a
// pair a second time with the same type changes nothing (types only grow,
// and a name whose type is no longer empty never enters the worklist again),
// so without the trace, which shows every merge, repeated pairs are skipped:
// many alternatives building the same node kind would otherwise cost their
// number squared.
void propagate(const std::string& s, const std::string t, std::set<std::string>& work,
               followed_pairs& followed) {
  if (tracing()) std::cout << "@ " << s << ' ' << t << '\n';
  const bool skip_repeats = !tracing();
  const std::string_view flowed = *followed.flowed_types.insert(t).first;
  auto repeated = [&](bool link, const std::pair<std::string, int>& pair) {
    return skip_repeats && !followed.pairs.emplace(link, pair.first, pair.second, flowed).second;
  };
  const symbolinfo& info = symbols[s];
  for (const auto& use : info.uses) {
    if (repeated(false, use)) continue;
    auto found = nodes.find(use.first);
    if (found == nodes.end()) continue;
    nodeinfo& node = found->second;
    std::string f = t;
    std::size_t i = static_cast<std::size_t>(use.second < 0 ? -use.second : use.second);
    if (use.second < 0 && !is_list_type(f)) f = list_of_type(f);
    if (i >= node.node_types.size()) continue;
    if (i == 0) check_node_result(s, use.first, t);
    assign_type(node.node_types[i], f, field_name(use.first, i));
    if (i != 0) continue;
    domains[t].node_set.insert(use.first);
    for (const std::string& r : node.node_names) {
      std::string& type = symbols[r].type;
      if (empty_type(type)) work.insert(r);
      assign_type(type, t, r);
    }
  }
  for (const auto& link : info.links) {
    if (repeated(true, link)) continue;
    std::string& type = symbols[link.first].type;
    bool grows = empty_type(type);
    switch (link.second) {
      case 0:
        assign_type(type, t, link.first);
        break;
      case -1:
        assign_type(type, is_list_type(t) ? t : list_of_type(t), link.first);
        break;
      case -2:
        if (is_list_type(t))
          grows = false;
        else
          assign_type(type, list_of_type(t), link.first);
        break;
      default:
        grows = false;
    }
    if (grows) work.insert(link.first);
  }
}

// Phase 3: use flags, union members and the first node kind left untyped.
void collect_results() {
  std::string undefined;
  if (tracing()) std::cout << "Assigned types:\n";
  for (const auto& entry : nodes) {
    const std::vector<std::string>& types = entry.second.node_types;
    for (const std::string& u : types) {
      if (empty_type(u)) {
        if (undefined.empty()) undefined = entry.first;
        continue;
      }
      if (ends_with_mark(u)) usevalue_flag = 1;
      if (u == "std::string?") usestring_flag = 1;
      if (is_list_type(u)) uselist_flag = 1;
    }
    if (tracing()) {
      std::cout << entry.first << '(';
      for (std::size_t i = 1; i < types.size(); ++i) std::cout << (i > 1 ? ", " : "") << types[i];
      std::cout << "): " << (types.empty() ? "" : types[0]) << '\n';
    }
  }
  for (const auto& entry : symbols) {
    const std::string& u = entry.second.type;
    if (tracing()) std::cout << entry.first << ": " << u << '\n';
    if (empty_type(u)) continue;
    if (ends_with_mark(u)) usevalue_flag = 1;
    if (begins_with(u, "std::string")) usestring_flag = 1;
    if (is_list_type(u)) uselist_flag = 1;
    if (!union_fields.count(u)) {
      const int number = static_cast<int>(union_fields.size()) + 1;
      union_fields[u] = number;
    }
  }
  if (tracing()) {
    std::cout << "Union:\n";
    for (const auto& field : union_fields) std::cout << field.first << ' ' << field.second << '\n';
  }
  if (!undefined.empty()) yyerror("Type of " + undefined + " is undefined");
}

// After inference, the value terms of rules left without a value type. A
// term the rewriting passes made (it has no range: a list over a repetition
// whose elements have no value, a default value) is dropped, so the rule
// has no value. A term of the description is fatal where the parser's
// values are typed (a value of no declared type) and wherever it builds a
// list or a node (there are none without types).
void check_untyped_values(ast::List<ast::Grule_domain*> grm) {
  for (ast::Grule_domain* g : grm) {
    auto r = dynamic_cast<ast::grmrule_node*>(g);
    if (!r || !empty_type(symbols[r->f1_].type)) continue;
    for (ast::Xrule_domain* a : r->f2_) {
      auto x = dynamic_cast<ast::xrule_node*>(a);
      auto term = x ? dynamic_cast<ast::gterm_node*>(x->f2_) : nullptr;
      if (!term || !term->f1_) continue;
      if (term->f1_->yyloc.first.line == 0) {
        ast::destroy(x->f2_);
        x->f2_ = ast::gempty();
        continue;
      }
      auto t = dynamic_cast<ast::tnode_node*>(term->f1_);
      if (!union_fields.empty() || (t && (t->f1_ == "cons" || nodes.count(t->f1_))))
        yyerror(&term->f1_->yyloc, "Type of " + r->f1_ + " is undefined");
    }
  }
}

}  // namespace

void calc_types(ast::List<ast::Grule_domain*> grm) {
  std::set<std::string> work;
  followed_pairs followed;
  for (ast::Grule_domain* g : grm) {
    auto r = dynamic_cast<ast::grmrule_node*>(g);
    if (!r) continue;
    const std::string& name = r->f1_;
    symbolinfo& info = symbols[name];
    if (info.rule) yyerror(&r->yyloc, "Redefined symbol " + name);
    info.rule = r;
    if (!empty_type(info.type)) work.insert(name);
    for (ast::Xrule_domain* a : r->f2_)
      if (auto x = dynamic_cast<ast::xrule_node*>(a)) read_alternative(x, name, info, work);
  }
  for (int step = 1; !work.empty(); ++step) {
    if (tracing()) {
      std::cout << "Step " << step << ":\n";
      for (const std::string& s : work) std::cout << s << ": " << symbols[s].type << '\n';
    }
    const std::set<std::string> current = std::move(work);
    work.clear();
    for (const std::string& s : current) propagate(s, symbols[s].type, work, followed);
  }
  collect_results();
  check_untyped_values(grm);
}
