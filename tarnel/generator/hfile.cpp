// The ".hpp" writer: the runtime templates, the AST classes of the described
// language, the value union, the prototypes that the other generated files
// define, the hook macros and the description's header code, inside an
// include guard.
#include "actions.hpp"
#include "names.hpp"
#include "options.hpp"
#include "rt_pieces.hpp"
#include "tables.hpp"
#include "writer_parts.hpp"
#include "writers.hpp"

// The guard name: the base name with ASCII lower-case letters made
// upper-case, every byte above 127 written as two hexadecimal digits (names
// in other scripts get guards of their own) and every other byte that
// cannot stand in an identifier made "_"; a leading digit gets a "_" in
// front.
std::string guard_name(const std::string& name) {
  static const char hex[] = "0123456789ABCDEF";
  std::string g;
  for (char ch : name) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') {
      g += static_cast<char>(c - 'a' + 'A');
    } else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      g += ch;
    } else if (c > 127) {
      g += hex[c >> 4];
      g += hex[c & 15];
    } else {
      g += '_';
    }
  }
  if (!g.empty() && g[0] >= '0' && g[0] <= '9') g.insert(0, "_");
  return g + "_H";
}

namespace {

const std::string& domain_of(const nodeinfo& info) {
  static const std::string none;
  return info.node_types.empty() ? none : info.node_types[0];
}

// The runtime pieces that the description's values need. A header written
// with option ast is there for others to include (%using), whose values it
// cannot know: it carries them all.
void write_runtime(std::ostream& out) {
  const bool strings = usestring_flag || ast_flag;
  const bool maybe = strings || usevalue_flag;
  const bool list = uselist_flag || ast_flag;
  out << rt_includes;
  if (locations_flag == 2) out << rt_location;
  out << rt_destroy;
  if (maybe) out << rt_maybe;
  if (strings) out << rt_maybe_string;
  if (list) out << rt_list_decl;
  if (list && maybe) out << rt_list_maybe_decl;
  if (list) out << rt_list_class;
  if (list && maybe) out << rt_list_maybe_friends;
  if (list) out << rt_list_body;
  if (list && maybe) out << rt_list_maybe_cons;
  if (list) out << rt_list_ops;
  out << rt_domain_head;
  if (node_locations()) out << rt_domain_location;
  out << rt_domain_tail;
}

void write_domain_classes(std::ostream& out) {
  for (const auto& d : domains) {
    if (!own_domain(d.second)) continue;
    const std::string& D = d.first;
    if (visitor_flag == 2) out << "struct " << D << "_visitor;\n";
    out << "struct " << D << "_domain : _domain {\n";
    if (node_locations()) out << "\t" << D << "_domain(const YYLTYPE *_loc):_domain(_loc) {}\n";
    if (visitor_flag == 2) out << "\tvirtual void accept(" << D << "_visitor*, void*)=0;\n";
    out << "};\n";
    out << "typedef " << D << "_domain *" << D << ";\n";
    if (astprint_flag) out << "int astprint(std::ostream&, " << D << ", int=0, const char* =nullptr);\n";
  }
}

// The parameters a1..ak of a node's constructor and factory.
void write_parameters(std::ostream& out, const nodeinfo& info) {
  for (std::size_t i = 1; i < info.node_types.size(); ++i) {
    if (i > 1) out << ", ";
    out << type_mark(info.node_types[i], 1) << " a" << i;
  }
}

void write_node_class(std::ostream& out, const std::string& N, const nodeinfo& info) {
  const std::string& D = domain_of(info);
  const std::size_t k = field_count(info);
  out << "struct " << N << "_node : " << D << "_domain {\n";
  for (std::size_t i = 1; i <= k; ++i)
    out << "\t" << type_mark(info.node_types[i], 0) << " f" << i << "_;\n";

  out << "\t" << N << "_node(";
  write_parameters(out, info);
  if (k >= 1) {
    if (node_locations())
      out << ", const YYLTYPE *_loc=nullptr):" << D << "_domain(_loc), ";
    else
      out << "):";
    for (std::size_t i = 1; i <= k; ++i) {
      if (i > 1) out << ", ";
      out << "f" << i << "_(a" << i << ")";
    }
  } else if (node_locations()) {
    out << "const YYLTYPE *_loc=nullptr):" << D << "_domain(_loc) ";
  } else {
    out << ")";
  }
  out << "{ }\n";

  std::vector<std::size_t> owned;
  for (std::size_t i = 1; i <= k; ++i) {
    const std::string& t = info.node_types[i];
    if (t != "std::string" && need_destroy(t)) owned.push_back(i);
  }
  if (!owned.empty()) {
    out << "\t~" << N << "_node() {\n";
    for (std::size_t i : owned) out << "\t  destroy(f" << i << "_);\n";
    out << "\t}\n";
  }
  if (visitor_flag == 2) out << "\tvoid accept(" << D << "_visitor*, void*);\n";
  out << "};\n";
}

void write_factory(std::ostream& out, const std::string& N, const nodeinfo& info) {
  const std::size_t k = field_count(info);
  if (!info.user_factory) out << "inline ";
  out << domain_of(info) << " " << N << "(";
  write_parameters(out, info);
  if (node_locations()) out << (k >= 1 ? ", " : "") << "const YYLTYPE *_loc=nullptr";
  out << ")";
  if (info.user_factory) {
    out << ";\n";
    return;
  }
  out << " {\n\treturn new " << N << "_node(";
  for (std::size_t i = 1; i <= k; ++i) {
    if (i > 1) out << ", ";
    out << "a" << i;
  }
  if (node_locations()) out << (k >= 1 ? ", " : "") << "_loc";
  out << ");\n}\n";
}

void write_visitor_classes(std::ostream& out) {
  for (const auto& d : domains) {
    if (!own_domain(d.second)) continue;
    const std::string& D = d.first;
    const std::set<std::string>& kinds = d.second.node_set;
    out << "struct " << D << "_visitor {\n\tvirtual ~" << D << "_visitor(){}\n";
    for (const std::string& n : kinds) out << "\tvirtual void visit(" << n << "_node*, void*) {}\n";
    out << "};\n";

    out << "template <typename T> struct " << D << "_Tvisitor: " << D << "_visitor {\n";
    out << "\tT operator()(" << D << " v){ T r; if(v) v->accept(this,&r); return r; }\n";
    for (const std::string& n : kinds) {
      out << "\tvirtual T visit(" << n << "_node*) { return T(); }\n";
      out << "\tvoid visit(" << n << "_node* n,void* r) { *static_cast<T*>(r)=visit(n); }\n";
    }
    out << "};\n";

    out << "template <> struct " << D << "_Tvisitor<void>: " << D << "_visitor {\n";
    out << "\tvoid operator()(" << D << " v){ if(v) v->accept(this,nullptr); }\n";
    for (const std::string& n : kinds) {
      out << "\tvirtual void visit(" << n << "_node*) {}\n";
      out << "\tvoid visit(" << n << "_node* n,void* r) { visit(n); }\n";
    }
    out << "};\n";
  }
  for (const auto& n : nodes) {
    if (!own_kind(n.second)) continue;
    out << "inline void " << n.first << "_node::accept(" << domain_of(n.second)
        << "_visitor* v, void* r) {\n\tv->visit(this, r);\n}\n";
  }
}

void write_scanner_parser_declarations(std::ostream& out) {
  if (locations_flag == 1) out << "extern int yylineno;\n";
  write_lines(out, {"int yyliteral(const std::string&);", "int yywrap();", "int yyparse(void*);"});
  if (main_flag) write_lines(out, {"extern const char* yyinputfile;", "extern int yydebug_flag;"});
  if (!union_fields.empty()) {
    out << "union YYSTYPE {\n";
    for (const auto& f : union_fields) out << "  " << to_field_type(f.first) << " f" << f.second << "_;\n";
    out << "};\n";
    out << "template <typename T> inline T& YYSTYPE_cast(YYSTYPE &v){ return "
           "*reinterpret_cast<T*>(&v); }\n";
  } else {
    out << "typedef int YYSTYPE;\n";
  }
  write_lines(out, {"inline void yyclear_attr(YYSTYPE&v) { memset(&v,0,sizeof(v)); }",
                    "#define YYSTYPE_IS_TRIVIAL 1", "#define YYSTYPE_IS_DECLARED 1",
                    "void yylex_destroy(void*);", "const char* yylex_filename(void*, int=-1);",
                    "void yylex_init(void**);", "void yylex_init(void**, const std::string&);",
                    "void yylex_init(void**, FILE*, const std::string&);",
                    "void yylex_init(void**, std::istream &, const std::string&);"});
  if (locations_flag == 2)
    out << "int yylex(YYSTYPE*, YYLTYPE*, void*);\n";
  else
    out << "int yylex(YYSTYPE*, void*);\n";
  if (lexprint_flag) out << "void lexprint(std::ostream&, int, YYSTYPE&);\n";
}

void write_error_prototypes(std::ostream& out) {
  out << "void yyerror(const std::string &);\n";
  if (locations_flag == 2)
    write_lines(out, {"void yyerror(YYLTYPE*, void*, const char*);",
                      "void yyerror(YYLTYPE*, const std::string &);"});
  else
    out << "void yyerror(void*, const char*);\n";
}

}  // namespace

bool own_kind(const nodeinfo& info) { return using_list.empty() || info.declared; }

bool own_domain(const domaininfo& domain) {
  if (using_list.empty()) return true;
  for (const std::string& kind : domain.node_set) {
    auto it = nodes.find(kind);
    if (it != nodes.end() && it->second.declared) return true;
  }
  return false;
}

bool node_locations() { return locations_flag == 2 && using_list.empty() && !ast_flag; }

std::string header_include(const std::string& name) {
  const std::string path = output_path(name, ".hpp");
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A text is held as an optional text: a std::string cannot be a union member.
std::string to_field_type(const std::string& type) {
  return type == "std::string" ? "ast::Maybe<std::string>" : type_mark(type, 0);
}

void create_hfile(std::ostream& target, const std::string& name) {
  line_counting_stream out(target);
  const std::string own = output_path(name, ".hpp");
  // Description code, then the lines that follow it numbered in this file.
  auto write_code = [&](ast::List<ast::Code_domain*> code) {
    gen_mode = 0;
    gen_code_section(out, code, true);
    if (code) show_own_line(out, own);
  };
  const std::string guard = guard_name(name);
  out << "#ifndef " << guard << "\n#define " << guard << " 1\n";

  if (!using_list.empty()) {
    for (const std::string& u : using_list) out << "#include \"" << u << ".hpp\"\n";
    // The used headers carry the runtime, but source ranges only when
    // written with them.
    if (locations_flag == 2) out << "#ifndef YYLTYPE_IS_DECLARED\n" << rt_location << "#endif\n";
  } else {
    write_runtime(out);
  }

  write_code(topcode);

  if (!domains.empty()) {
    out << "namespace ast {\n";
    write_domain_classes(out);
    for (const auto& n : nodes)
      if (own_kind(n.second)) write_node_class(out, n.first, n.second);
    for (const auto& n : nodes)
      if (own_kind(n.second)) write_factory(out, n.first, n.second);
    if (visitor_flag == 2) write_visitor_classes(out);
    out << "}\n";
  }
  out << "using namespace ast;\n";

  if (!ast_flag) write_scanner_parser_declarations(out);
  write_error_prototypes(out);

  // The used headers define the hook for a tree of their own.
  if (!using_list.empty()) out << "#undef YYINTERPRET\n";
  if (yyinterpret_flag && !root_tip.empty())
    out << "void yyinterpret(" << type_mark(root_tip, 1) << ");\n#define YYINTERPRET(ast) yyinterpret(ast)\n";
  else
    out << "#define YYINTERPRET(ast)\n";
  write_lines(out, {"#define YYONERROR exit(1)", "extern void* yyscanner;"});

  write_code(hcode);

  if ((astprint_flag || lexprint_flag) && using_list.empty()) {
    out << rt_astprint_builtin;
    // A reader may use several headers written with option ast, each with
    // all of the printing templates: the first one defines them.
    if (ast_flag) out << "#ifndef ASTPRINT_TEMPLATES\n#define ASTPRINT_TEMPLATES 1\n";
    if (usevalue_flag || usestring_flag || ast_flag) out << rt_astprint_maybe;
    out << rt_astprint_vector;
    if (uselist_flag || ast_flag) out << rt_astprint_list;
    if (ast_flag) out << "#endif\n";
    out << "}\n";
  }

  write_code(bottomcode);
  out << "#endif\n";
}
