// The ".grm" writer: the Bison grammar of the described language, a pure
// parser with a `scanner` parameter, written from the rewritten rules and
// the typed symbol table.
#include <set>

#include "actions.hpp"
#include "collect.hpp"
#include "names.hpp"
#include "options.hpp"
#include "tables.hpp"
#include "writer_parts.hpp"
#include "writers.hpp"

namespace {

// The range of a rule's value: from the first symbol to the last, or the end
// of the previous symbol for an empty rule; the value is zeroed first.
void write_location_macro(std::ostream& out) {
  static const char* const lines[] = {
      "#define YYLLOC_DEFAULT(Current, Rhs, N)",
      "    do {",
      "      if (N)",
      "        {",
      "          (Current).first   = YYRHSLOC (Rhs, 1).first;",
      "          (Current).last  = YYRHSLOC (Rhs, N).last;",
      "        }",
      "      else",
      "        {",
      "          (Current).first = (Current).last = YYRHSLOC (Rhs, 0).last;",
      "        }",
      "      yyclear_attr(yyval);",
  };
  out << "\n";
  for (const char* line : lines) {
    std::string text = line;
    if (text.size() < 63) text.resize(63, ' ');
    else text += ' ';
    out << text << "\\\n";
  }
  out << "    } while (0)\n";
}

const symbolinfo& symbol_info(const std::string& key) {
  static const symbolinfo none;
  auto it = symbols.find(key);
  return it == symbols.end() ? none : it->second;
}

// The symbol record of a grammar element; null for an element kind that no
// longer occurs after rewriting.
const symbolinfo* element_info(ast::Gelem_domain* e) {
  if (auto t = dynamic_cast<ast::trmelem_node*>(e)) return &symbol_info(normalize_terminal(t->f1_));
  if (auto s = dynamic_cast<ast::symelem_node*>(e)) return &symbol_info(s->f1_);
  return nullptr;
}

bool is_string_type(const std::string& t) { return t == "std::string" || t == "std::string?"; }

// The call that releases a value of `type`. A text is freed only by the
// unqualified call, which finds the optional string's own form; the call
// qualified with the namespace is the generic form, which frees nothing.
const char* release_call(const std::string& type) {
  return is_string_type(type) ? "destroy" : "ast::destroy";
}

void write_declarations(std::ostream& out) {
  for (const auto& entry : symbols) {
    const symbolinfo& info = entry.second;
    if (isterminal(entry.first)) {
      if (info.uid == 0) continue;
      out << "%token ";
      if (!empty_type(info.type)) out << "<f" << member_of(info.type) << "_> ";
      out << "T_" << info.uid << " " << info.uid << " " << info.altname << "\n";
    } else if (!empty_type(info.type)) {
      out << "%type <f" << member_of(info.type) << "_> " << info.altname << "\n";
    }
  }
}

// The start symbol's value goes to the interpreter hook (or is printed at
// debug level 2) when Bison discards it after acceptance, then is freed.
void write_start_destructor(std::ostream& out, const std::string& start) {
  const symbolinfo& info = symbol_info(start);
  if (empty_type(info.type)) {
    root_tip = "";
    return;
  }
  root_tip = info.type;
  std::string owned = root_tip;
  if (owned.back() == '?') owned.pop_back();
  out << "%destructor { ";
  if (astprint_flag && main_flag) out << "if(yydebug_flag==2) ast::astprint(std::cout,$$); else ";
  out << "YYINTERPRET($$); ";
  if (need_destroy(owned)) out << release_call(owned) << "($$); ";
  out << "} " << info.altname << "\n";
}

// Frees the values of every type that owns something; the start symbol is
// left to its own destructor.
void write_type_destructors(std::ostream& out, const std::string& start) {
  for (const auto& field : union_fields) {
    const std::string& type = field.first;
    if (!need_destroy(type)) continue;
    if (!root_tip.empty() && type == root_tip) {
      std::string names;
      for (const auto& entry : symbols)
        if (entry.first != start && entry.second.type == type) names += " " + entry.second.altname;
      if (!names.empty()) out << "%destructor { " << release_call(type) << "($$); }" << names << "\n";
    } else {
      out << "%destructor { " << release_call(type) << "($$); } <f" << field.second << "_>\n";
    }
  }
}

// The symbol records of the elements of an alternative, position 1 first.
std::vector<const symbolinfo*> element_infos(ast::List<ast::Gelem_domain*> elems) {
  std::vector<const symbolinfo*> infos;
  for (ast::Gelem_domain* e : elems) infos.push_back(element_info(e));
  return infos;
}

bool owns_value(const symbolinfo* info) { return info && need_destroy(info->type); }

// The call that frees the value of element i, with a blank in front.
std::string release_of(const symbolinfo* info, int i) {
  return std::string(" ") + release_call(info->type) + "($" + std::to_string(i) + ");";
}

void write_code_action(std::ostream& out, ast::gcode_node* action,
                       const std::vector<const symbolinfo*>& elems) {
  const int m = static_cast<int>(elems.size());
  out << "\t{";
  if (locations_flag != 2) out << " yyclear_attr(yyval);";
  std::set<int> refs;
  collect_refs(action->f1_, refs);
  const bool sets_value = refs.count(0) != 0;
  gen_mode = 2;
  gen_code_line(out, action->f1_, 0, m);
  // An element the code refers to without setting "$$" may be kept by the
  // code: the generic call leaves its text alone.
  for (int i = 1; i <= m; ++i) {
    const symbolinfo* info = elems[i - 1];
    if (!owns_value(info) || (sets_value && refs.count(i))) continue;
    out << " " << (refs.count(i) ? "ast::destroy" : release_call(info->type)) << "($" << i << ");";
  }
  out << " }\n";
}

void write_term_action(std::ostream& out, ast::gterm_node* action,
                       const std::vector<const symbolinfo*>& elems) {
  const int m = static_cast<int>(elems.size());
  ast::Term_domain* term = action->f1_;
  out << "\t{";
  if (locations_flag != 2) out << " yyclear_attr(yyval);";
  // The term stands in its own column of the description, after "$$=".
  if (term) show_line(out, term->yyloc.first.line, term->yyloc.first.column - 3);
  out << "$$=";
  gen_mode = 2;
  gen_code(out, term, m);
  out << ";\n";
  const bool may_fail = node_flag != 0;
  std::set<int> refs;
  collect_refs(term, refs);
  const std::set<int> taken = string_uses(term);
  std::string releases;
  for (int i = 1; i <= m; ++i) {
    const symbolinfo* info = elems[i - 1];
    if (!owns_value(info)) continue;
    if (!refs.count(i) || (is_string_type(info->type) && !taken.count(i)))
      releases += release_of(info, i);
  }
  // A factory of the user's may refuse its node. Bison then drops the
  // elements without their destructors, so what the action owns is freed
  // first (what the factory was given is the factory's).
  if (may_fail && releases.empty())
    out << " if(!$$) YYERROR;\n";
  else if (may_fail)
    out << " if(!$$) {" << releases << " YYERROR; }\n";
  out << releases << " }\n";
}

void write_rule(std::ostream& out, ast::grmrule_node* rule) {
  out << symbol_info(rule->f1_).altname << "\t:";
  bool first = true;
  for (ast::Xrule_domain* x : rule->f2_) {
    auto alt = dynamic_cast<ast::xrule_node*>(x);
    if (!alt) continue;
    if (!first) out << "\t|";
    first = false;
    const std::vector<const symbolinfo*> elems = element_infos(alt->f1_);
    for (const symbolinfo* info : elems)
      if (info) out << " " << info->altname;
    ast::Gaction_domain* action = alt->f2_;
    if (dynamic_cast<ast::gempty_node*>(action)) {
      // No value is passed on ($$ starts zeroed): the elements' values are
      // freed.
      std::string releases;
      for (std::size_t i = 0; i < elems.size(); ++i)
        if (owns_value(elems[i])) releases += release_of(elems[i], static_cast<int>(i) + 1);
      if (locations_flag != 2)
        out << "\t{ yyclear_attr(yyval);" << releases << " }\n";
      else if (!releases.empty())
        out << "\t{" << releases << " }\n";
      else
        out << "\n";
    } else if (auto code = dynamic_cast<ast::gcode_node*>(action)) {
      write_code_action(out, code, elems);
    } else if (auto term = dynamic_cast<ast::gterm_node*>(action)) {
      write_term_action(out, term, elems);
    }
  }
  out << "\t;\n";
}

}  // namespace

bool need_destroy(const std::string& type) {
  if (empty_type(type)) return false;
  if (is_string_type(type)) return true;
  if (type.back() == '?' || is_builtin_type(type)) return false;
  return true;
}

void create_grmfile(std::ostream& out, const std::string& name, ast::List<ast::Grule_domain*> grm) {
  if (locations_flag == 2) out << "%locations\n";
  out << "%define parse.error verbose\n%define api.pure full\n%param { void *scanner }\n%no-lines\n";
  if (expect_flag >= 0) out << "%expect " << expect_flag << "\n";

  out << "%{\n#include \"" << header_include(name) << "\"\n";
  if (locations_flag == 2) write_location_macro(out);
  out << "%}\n";

  gen_code_section(out, grmcode, false);

  write_declarations(out);
  std::string start;
  for (ast::Grule_domain* r : grm) {
    if (auto rule = dynamic_cast<ast::grmrule_node*>(r)) {
      start = rule->f1_;
      break;
    }
  }
  write_start_destructor(out, start);
  write_type_destructors(out, start);
  out << "%%\n";
  for (ast::Grule_domain* r : grm)
    if (auto rule = dynamic_cast<ast::grmrule_node*>(r)) write_rule(out, rule);
  out << "%%\n";
}
