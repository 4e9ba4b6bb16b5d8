// The ".lex" writer: the RE/flex description of the described language's
// scanner, driven by the Bison parser through the bison-bridge interface.
#include <cstdio>
#include <sstream>

#include "actions.hpp"
#include "driver.hpp"
#include "names.hpp"
#include "options.hpp"
#include "tables.hpp"
#include "walk.hpp"
#include "writer_parts.hpp"
#include "writers.hpp"


namespace {

// The token of a match that no rule names: the whole match, NUL bytes
// included, looked up among the literals (a NUL is then an undefined token
// rather than the end of the input).
const char* const literal_of_match = "yyliteral(std::string(yytext,yyleng))";

const symbolinfo& terminal_info(const std::string& text) {
  static const symbolinfo none;
  auto it = symbols.find(normalize_terminal(text));
  return it == symbols.end() ? none : it->second;
}

// The statement that stores the matched text in the token's value, for the
// types that take it as it stands ("" for the others).
std::string text_value(const std::string& type, int member) {
  const std::string field = "yylval.f" + std::to_string(member) + "_";
  if (type == "std::string" || type == "std::string?") return field + "=yytext; ";
  if (type == "char" || type == "char?") return field + "=yytext[0]; ";
  return "";
}

// The start states of a rule: "<", `lead` (when given) and the names,
// separated by ",", then ">".
template <typename Names>
void write_states_prefix(std::ostream& out, const Names& names, const char* lead = nullptr) {
  out << "<";
  bool first = true;
  if (lead) {
    out << lead;
    first = false;
  }
  for (const std::string& s : names) {
    if (!first) out << ",";
    first = false;
    out << s;
  }
  out << ">";
}

void write_terminal_action(std::ostream& out, ast::lterm_node* action) {
  out << "{";
  if (action->f1_) {
    const std::string terminal = action->f1_;
    const symbolinfo& info = terminal_info(terminal);
    const int member = member_of(info.type);
    if (ast::Term_domain* value = action->f2_) {
      // A node is the value of a terminal of its domain only.
      auto node = dynamic_cast<ast::tnode_node*>(value);
      if (node && nodes.count(node->f1_) && !is_domain_name(info.type))
        yyerror(&node->yyloc, "Type of node can't assign to " + info.type);
      // The value stands on its own line and in its own column of the
      // description, after the member it is stored in.
      const std::string field = "yylval.f" + std::to_string(member) + "_=";
      show_line(out, value->yyloc.first.line,
                value->yyloc.first.column - static_cast<int>(field.size()));
      out << field;
      gen_mode = 1;
      gen_code(out, value, 0);
      out << "; ";
    } else {
      const std::string store = text_value(info.type, member);
      if (!store.empty()) out << " " << store;
    }
    out << " return " << token_of(info);
  } else {
    out << " return " << literal_of_match;
  }
  out << "; }\n";
}

void write_code_action(std::ostream& out, ast::lcode_node* action) {
  return_field = 0;
  find_return_field(action->f1_);
  gen_mode = 1;
  out << "{";
  gen_code_line(out, action->f1_, 0, 0);
  out << "\t}\n";
}

// Whether the scan itself must zero the token value. The parser keeps the
// previous token's value, and a text member still shares its text with the
// copy on the parser's stack: assigning the new text would free it. With full
// source ranges the scanner entry of the ".lex" zeroes the value instead.
bool clears_value() { return locations_flag != 2; }

// The code block that runs at the start of every scan.
void write_init_block(std::ostream& out) {
  out << "%{\n";
  if (!lex_states.empty()) out << "default:";
  if (clears_value()) out << "\tyyclear_attr(yylval);\n";
  gen_mode = 0;
  // The scanner generator ends the block only at a "%}" that begins a line.
  gen_code_section(out, lexinitcode, true);
  out << "%}\n";
}

void write_literal_rules(std::ostream& out) {
  for (const auto& entry : symbols) {
    if (!isliteral(entry.first)) continue;
    const symbolinfo& info = entry.second;
    out << literal_to_re(entry.first) << "\t" << text_value(info.type, member_of(info.type))
        << "return " << token_of(info) << ";\n";
  }
}

void write_default_rule(std::ostream& out) {
  if (lexdefault_flag == 1) return;
  if (!lex_states.empty()) write_states_prefix(out, lex_states, "INITIAL");
  out << ".|\\n\t";
  if (lexdefault_flag == 0)
    out << "yyerror(\"No rules for char \"+std::to_string(yytext[0]&0xFF));\n";
  else if (lexdefault_flag == 2)
    out << ";\n";
  else
    out << "return " << literal_of_match << ";\n";
}

void write_lex_code(std::ostream& out) {
  for (const std::string& text : lex_code_blocks()) out << text;
}

// Bytes written as \xNN: the high half, the angle brackets (start-condition
// syntax) and control characters, which must not stand raw in the file.
bool is_hex_escaped(unsigned char c) { return c >= 127 || c == '<' || c == '>' || c < ' '; }

}  // namespace

std::vector<std::string> lex_code_blocks() {
  std::vector<std::string> texts;
  for (const ast::List<ast::Code_domain*>& block : lexcode_blocks) {
    std::ostringstream code;
    gen_code_section(code, block, false);
    std::string text = code.str();
    const std::size_t start = text.find_first_not_of(" \t");
    if (start != std::string::npos && text[start] != '\n') text.erase(0, start);
    texts.push_back(text);
  }
  return texts;
}

int member_of(const std::string& type) {
  if (empty_type(type)) return 0;
  auto it = union_fields.find(type);
  return it == union_fields.end() ? 0 : it->second;
}

void create_lexfile(std::ostream& out, const std::string& name, ast::List<ast::Lrule_domain*> lex) {
  if (case_flag) out << "%option case-insensitive\n";
  if (inter_flag) out << "%option interactive\n";
  if (!yywrap_flag) out << "%option noyywrap\n";
  out << "%option bison-bridge noline\n";

  out << "%top{\n#include \"" << header_include(name) << "\"\n";
  if (locations_flag != 0) out << "#define YY_USER_ACTION yysetloc();\n";
  if (locations_flag == 1) out << "int yylineno;\n";
  out << "%}\n";

  write_lines(out, {"", "%class {", "public:", "  std::vector<std::string> filenames;",
                    "  int activefile;", "%}"});
  write_lines(out, {"", "%init {", "  filenames.push_back(\"\");", "  activefile=0;", "%}"});
  if (locations_flag == 2) {
    write_lines(out, {"", "%class {", "public: YYLTYPE yylloc;", "  void yysetloc(){",
                      "    yylloc.first.line=lineno();", "    yylloc.first.file=activefile;",
                      "    yylloc.first.column=short(columno()+1);", "    yylloc.last.line=lineno();",
                      "    yylloc.last.file=activefile;",
                      "    yylloc.last.column=short(columno()+size());", "  }", "%}"});
  } else if (locations_flag == 1) {
    write_lines(out, {"", "%class {", "  void yysetloc(){", "#undef yylineno",
                      "    yylineno=lineno();", "  }", "%}"});
  }

  gen_mode = 0;
  write_lex_code(out);

  if (!lex_states.empty()) {
    out << "%x";
    for (const std::string& s : lex_states) out << " " << s;
    out << "\n";
  }
  for (const lexdefinfo& def : lexdefs) {
    out << def.name << "\t";
    print_re(out, def.re);
    out << "\n";
  }
  out << "%%\n";

  if (clears_value() || lexinitcode) write_init_block(out);
  if (literal_flag) write_literal_rules(out);
  gen_lexrules(out, lex);
  write_default_rule(out);
  out << "%%\n";

  if (locations_flag == 2) {
    write_lines(out, {"", "int yylex(YYSTYPE* lvalp, YYLTYPE* llocp, void* scanner) {",
                      "  yyscanner_t* scanp=static_cast<yyscanner_t*>(scanner);",
                      "  yyclear_attr(*lvalp);", "  int t=scanp->yylex(*lvalp);",
                      "  *llocp=scanp->yylloc;", "  return t;", "}"});
  }
  write_lines(out, {"", "const char *yylex_filename(void* scanner, int i)",
                    "{ if(!scanner) return \"\"; ",
                    "  yyscanner_t* scanp=static_cast<yyscanner_t*>(scanner);",
                    "  if(i<0) i=scanp->activefile;",
                    "  if(i>=scanp->filenames.size()) return \"\";",
                    "  return scanp->filenames[i].c_str();", "}",
                    "void yylex_init(yyscan_t *scanner, FILE *f, const std::string& n)",
                    "{ yyscanner_t* scanp=new yyscanner_t;",
                    "  *scanner = static_cast<yyscan_t>(scanp);",
                    "  scanp->in(reflex::Input(f));", "  scanp->filenames[0]=n;", "}",
                    "void yylex_init(yyscan_t *scanner, const std::string& s)",
                    "{ yyscanner_t* scanp=new yyscanner_t;",
                    "  *scanner = static_cast<yyscan_t>(scanp);", "  scanp->in(s);", "}",
                    "void yylex_init(yyscan_t *scanner, std::istream &s, const std::string& n)",
                    "{ yyscanner_t* scanp=new yyscanner_t;",
                    "  *scanner = static_cast<yyscan_t>(scanp);",
                    "  scanp->in(reflex::Input(s));", "  scanp->filenames[0]=n;", "}"});
}

void gen_lexrules(std::ostream& out, ast::List<ast::Lrule_domain*> lex) {
  for (ast::Lrule_domain* r : lex) {
    auto rule = dynamic_cast<ast::lexrule_node*>(r);
    if (!rule) continue;
    if (rule->f1_) write_states_prefix(out, rule->f1_);
    print_re(out, rule->f2_);
    out << "\t";
    ast::Laction_domain* action = rule->f3_;
    if (auto term = dynamic_cast<ast::lterm_node*>(action))
      write_terminal_action(out, term);
    else if (dynamic_cast<ast::lskip_node*>(action))
      out << ";\n";
    else if (dynamic_cast<ast::lnext_node*>(action))
      out << "|\n";
    else if (auto code = dynamic_cast<ast::lcode_node*>(action))
      write_code_action(out, code);
  }
}

void print_re(std::ostream& out, std::string pattern) {
  if (pattern.size() >= 2 && pattern[0] == 'R' && pattern[1] == '"') {
    const std::size_t p = pattern.find('(');
    const std::size_t q = pattern.rfind(')');
    // The closing delimiter (after the last ")") must be the opening one.
    const bool raw = p != std::string::npos && q != std::string::npos && q > p &&
                     p == pattern.size() - q &&
                     pattern.compare(2, p - 2, pattern, q + 1, p - 2) == 0;
    if (raw) {
      for (std::size_t i = p + 1; i < q; ++i) {
        // A blank or tab would end the pattern in the rule line.
        if (pattern[i] == ' ')
          out << "\\ ";
        else if (pattern[i] == '\t')
          out << "\\t";
        else
          out << pattern[i];
      }
      return;
    }
  }
  out << pattern;
}

bool is_empty_pattern(const std::string& pattern) {
  std::ostringstream out;
  print_re(out, pattern);
  return out.str().empty();
}

std::string literal_to_re(const std::string& literal) {
  const std::string text =
      decode_string(literal.size() >= 2 ? literal.substr(1, literal.size() - 2) : "");
  static const std::string specials = "\\'\"{}()*+.?[]/|$^ ";
  std::string re;
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '%' && re.empty()) {
      // A rule line that begins with "%" may be read as a directive ("%%",
      // "%{").
      re += "\\%";
    } else if (c == '\n') {
      re += "\\n";
    } else if (c == '\t') {
      re += "\\t";
    } else if (specials.find(ch) != std::string::npos) {
      re += '\\';
      re += ch;
    } else if (is_hex_escaped(c)) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      re += hex;
    } else {
      re += ch;
    }
  }
  return re;
}

void find_return_field(ast::List<ast::Code_domain*> code) {
  walk_code(code, [](ast::Code_domain* c) {
    auto token = dynamic_cast<ast::token_node*>(c);
    if (!token) return;
    const int member = member_of(code_terminal(token).type);
    if (return_field != 0 && member != 0 && member != return_field)
      yyerror(&token->yyloc, "Return terminals with different types");
    if (member != 0) return_field = member;
  });
}
