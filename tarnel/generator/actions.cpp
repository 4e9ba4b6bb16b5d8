#include "actions.hpp"

#include <optional>
#include <sstream>

#include "collect.hpp"
#include "driver.hpp"
#include "names.hpp"
#include "options.hpp"
#include "tables.hpp"
#include "walk.hpp"
#include "writer_parts.hpp"


unsigned char node_flag = 0;
bool visitor_allowed = false;

namespace {

// The description file's name as the text of a C++ string literal: a name
// holding quotes, backslashes or line breaks must not break the generated
// code.
std::string quoted_input_name() {
  return encode_string(yyinputfile ? yyinputfile : "", 0);
}

// "$" followed by a digit from 1 to 9 (and whatever comes after).
bool is_numbered_ref(const std::string& s) {
  return s.size() >= 2 && s[0] == '$' && s[1] >= '1' && s[1] <= '9';
}

void need_locations(YYLTYPE* loc) {
  if (locations_flag != 2) yyerror(loc, "Can't use @$ without rule or locations option");
}

// A numbered reference "$m" is valid when 1 <= m <= n. A number too large
// for an int names no element either.
void check_numbered(const std::string& ref, int n, YYLTYPE* loc) {
  std::optional<int> m = read_decimal(ref, 1);
  if (!m || *m < 1 || *m > n) yyerror(loc, ref + " don't exist");
}

// The pattern of a "match" rule or a visit rule once it is checked.
struct rule_pattern {
  std::string name;                  // "" for the default branch
  bool binding = false;              // written with an argument list
  ast::List<std::string> args = nullptr;
  int fields = 0;                    // numbered references valid in the body
};

// Classifies a rule pattern: none (the default branch), a name with an
// argument list (the binding form) or a bare name.
rule_pattern classify(ast::Node_domain* node) {
  rule_pattern p;
  if (auto n2 = dynamic_cast<ast::node2_node*>(node)) {
    p.name = n2->f1_;
    p.binding = true;
    p.args = n2->f2_;
  } else if (auto n1 = dynamic_cast<ast::node1_node*>(node)) {
    p.name = n1->f1_;
  }
  return p;
}

// Checks a pattern naming a node kind. A kind this description does not
// declare is accepted only when other descriptions are used; a bare name of
// such a kind allows numbered references up to 100.
void check_node_pattern(rule_pattern& p, YYLTYPE* loc) {
  auto it = nodes.find(p.name);
  if (it == nodes.end() && using_list.empty()) yyerror(loc, "Node " + p.name + " don't exist");
  if (p.binding) {
    if (it != nodes.end() && p.args.size() != field_count(it->second))
      yyerror(loc, "Node " + p.name + "' args can't matched");
    p.fields = 0;
  } else {
    p.fields = it != nodes.end() ? static_cast<int>(field_count(it->second)) : 100;
  }
}

// One line per argument name of a binding pattern: a reference to the field.
void write_bindings(std::ostream& out, const rule_pattern& p, int j) {
  if (!p.binding) return;
  int i = 1;
  for (const std::string& v : p.args) out << "  auto &" << v << "=_node" << j << "->f" << i++ << "_;\n";
}

// Sets gen_mode for a scope and gives the old value back when it ends.
class mode_scope {
 public:
  explicit mode_scope(int mode) : saved_(gen_mode) { gen_mode = mode; }
  ~mode_scope() { gen_mode = saved_; }
  mode_scope(const mode_scope&) = delete;
  mode_scope& operator=(const mode_scope&) = delete;

 private:
  int saved_;
};

// A "match": binds the subject once, then tests the rules in order with
// dynamic_cast to the node classes; the bodies run at node number k+1.
void gen_match(std::ostream& out, ast::mcode_node* m, int k, int n) {
  const int j = k + 1;
  // The subject belongs to the enclosing code: "$1" in a grammar action is
  // still Bison's element there.
  out << "{ auto &_match" << j << "=";
  for (const std::string& piece : m->f1_) gen_coderef(out, piece, k, n, &m->yyloc);
  out << ";\n";
  mode_scope mode(0);
  bool written = false;
  bool default_seen = false;
  for (ast::Mrule_domain* r : m->f2_) {
    auto rule = dynamic_cast<ast::mrule_node*>(r);
    if (!rule) continue;
    rule_pattern p = classify(rule->f1_);
    if (p.name == "nullptr") {
      if (written) yyerror(&rule->yyloc, "rule nullptr should be first in match");
    } else if (p.name.empty()) {
      default_seen = true;
    } else {
      check_node_pattern(p, &rule->yyloc);
    }
    if (written) out << "else ";
    if (p.name == "nullptr")
      out << "if(_match" << j << "==nullptr) {\n";
    else if (p.name.empty())
      out << " {\n";
    else
      out << "if(auto _node" << j << "=dynamic_cast<" << p.name << "_node *>(_match" << j << ")) {\n";
    write_bindings(out, p, j);
    gen_code_line(out, rule->f2_, j, p.fields);
    out << "}\n";
    written = true;
  }
  if (!default_seen && matcherr_flag) {
    if (written) out << "else ";
    out << "{ yyerror(\"" << quoted_input_name() << ":" << m->yyloc.last.line << ":"
        << m->yyloc.last.column << ": Match error\"); }\n";
  }
  out << "}\n";
  show_line(out, m->yyloc.last.line, m->yyloc.last.column);
}

// A visitor: a struct over the domain's template visitor with one visit
// method per rule; the method bodies go to vout for the driver source.
void gen_visitor(std::ostream& out, ast::vcode_node* v, int k) {
  if (gen_mode != 0 || k > 0 || !visitor_allowed)
    yyerror(&v->yyloc, "Can't define visitor at this point");
  if (visitor_flag == 0) yyerror(&v->yyloc, "Visitor is disabled");
  visitor_flag = 2;
  mode_scope mode(0);
  const int j = k + 1;
  const std::string& name = v->f1_;
  const std::string& domain = v->f2_;
  const std::string& result = v->f3_;
  // The visitor classes are written for the domains of the description (or
  // of the descriptions it uses).
  if (using_list.empty() && !domains.count(domain)) yyerror(&v->yyloc, "Domain " + domain + " don't exist");
  out << "struct " << name << "_visitor:" << domain << "_Tvisitor<" << result << "> {\n";
  gen_code_line(out, v->f4_, j, 0);
  out << "\n";
  for (ast::Vrule_domain* r : v->f5_) {
    auto rule = dynamic_cast<ast::vrule_node*>(r);
    if (!rule) continue;
    rule_pattern p = classify(rule->f1_);
    check_node_pattern(p, &rule->yyloc);
    out << result << " visit(" << p.name << "_node*);\n";
    vout << result << " " << name << "_visitor::visit(" << p.name << "_node* _node" << j << ") {\n";
    write_bindings(vout, p, j);
    gen_code_line(vout, rule->f2_, j, p.fields);
    vout << "}\n";
  }
  out << "} " << name << ";\n";
  show_line(out, v->yyloc.last.line, v->yyloc.last.column);
}

}  // namespace

const symbolinfo& code_terminal(ast::token_node* token) {
  static const symbolinfo none;
  const std::string key = terminal_key(token->f1_, &token->yyloc);
  auto it = symbols.find(key);
  if (it == symbols.end()) {
    yyerror(&token->yyloc, key + " isn't used in rules");
    return none;
  }
  return it->second;
}

void gen_coderef(std::ostream& out, const std::string& ref, int k, int n, YYLTYPE* loc) {
  if (ref == "$$") {
    if (gen_mode == 0) {
      if (k == 0) yyerror(loc, "Can't use $$ without rule");
      out << "(*_node" << k << ")";
      return;
    }
    if (gen_mode == 1) {
      // The value belongs to the terminal the action returns.
      if (return_field == 0) yyerror(loc, "Can't use $$ without typed return terminal");
      out << "yylval.f" << return_field << "_";
      return;
    }
  } else if (ref == "@$") {
    if (gen_mode == 0) {
      // The matched node's range, which the nodes of a used tree lack.
      if (k == 0 || !node_locations()) yyerror(loc, "Can't use @$ without rule or locations option");
      out << "(_node" << k << "->yyloc)";
      return;
    }
    if (gen_mode == 1) {
      need_locations(loc);
      out << "(yylloc)";
      return;
    }
    if (gen_mode == 2) need_locations(loc);
  } else if (is_numbered_ref(ref)) {
    if (gen_mode >= 0 && gen_mode <= 2) check_numbered(ref, n, loc);
    if (gen_mode == 0) {
      out << "_node" << k << "->f" << ref.substr(1) << "_";
      return;
    }
  }
  out << ref;
}

void show_line(std::ostream& out, int line, int column) {
  if (!line_flag || line < 2) return;
  out << "\n\t#line " << line << " \"" << quoted_input_name() << "\"\n";
  out << std::string(column >= 1 ? column - 1 : 1, ' ');
}

void gen_code(std::ostream& out, ast::List<ast::Code_domain*> code, int k, int n) {
  // Brace blocks are walked in place; only "match" and visitor bodies, which
  // nest far less deeply, are written by calls.
  walk_code(
      code,
      [&](ast::Code_domain* c) {
        if (auto lexem = dynamic_cast<ast::lexem_node*>(c)) {
          gen_coderef(out, lexem->f1_, k, n, &lexem->yyloc);
        } else if (auto token = dynamic_cast<ast::token_node*>(c)) {
          out << "(" << token_of(code_terminal(token)) << ")";
        } else if (auto match = dynamic_cast<ast::mcode_node*>(c)) {
          gen_match(out, match, k, n);
        } else if (auto visitor = dynamic_cast<ast::vcode_node*>(c)) {
          gen_visitor(out, visitor, k);
        }
      },
      [&out](ast::pcode_node*) { out << "{"; }, [&out](ast::pcode_node*) { out << "}"; });
}

void gen_code_line(std::ostream& out, ast::List<ast::Code_domain*> code, int k, int n) {
  if (code.size() == 0) return;
  ast::Code_domain* first = *code;
  if (first) show_line(out, first->yyloc.first.line, first->yyloc.first.column);
  gen_code(out, code, k, n);
}

void gen_code_section(std::ostream& out, ast::List<ast::Code_domain*> code, bool line) {
  std::ostringstream text;
  if (line)
    gen_code_line(text, code, 0, 0);
  else
    gen_code(text, code, 0, 0);
  const std::string written = text.str();
  out << written;
  if (!written.empty() && written.back() != '\n') out << "\n";
}

void gen_code(std::ostream& out, ast::Term_domain* term, int n) {
  node_flag = 0;
  if (auto t = dynamic_cast<ast::tnode_node*>(term)) {
    auto it = nodes.find(t->f1_);
    const bool is_node = it != nodes.end();
    if (is_node) {
      node_flag = it->second.user_factory ? 1 : 0;
      out << "ast::";
    } else if (t->f1_ == "cons") {
      out << "ast::";
    }
    out << t->f1_ << "(";
    bool first = true;
    for (const std::string& arg : t->f2_) {
      if (!first) out << ",";
      first = false;
      gen_coderef(out, arg, 0, n, &t->yyloc);
    }
    if (gen_mode > 0 && is_node && node_locations()) {
      if (!first) out << ",";
      out << (gen_mode == 2 ? "&@$" : "&yylloc");
    }
    out << ")";
  } else if (auto s = dynamic_cast<ast::snode_node*>(term)) {
    gen_coderef(out, s->f1_, 0, n, &s->yyloc);
  }
}

line_counting_stream::line_counting_stream(std::ostream& target)
    : std::ostream(nullptr), buf_(target) {
  rdbuf(&buf_);
}

line_counting_stream::counting_buf::int_type line_counting_stream::counting_buf::overflow(
    int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char ch = traits_type::to_char_type(c);
  xsputn(&ch, 1);
  return c;
}

std::streamsize line_counting_stream::counting_buf::xsputn(const char* s, std::streamsize n) {
  target.write(s, n);
  for (std::streamsize i = 0; i < n; ++i)
    if (s[i] == '\n') ++newlines;
  if (n > 0) last = s[n - 1];
  return n;
}

int line_counting_stream::counting_buf::sync() {
  target.flush();
  return target ? 0 : -1;
}

void show_own_line(line_counting_stream& out, const std::string& file) {
  if (!line_flag) return;
  if (!out.at_line_start()) out << "\n";
  out << "#line " << out.line() + 1 << " \"" << encode_string(file, 0) << "\"\n";
}
