// The ".cpp" writer: the description's code section and visitor bodies, and
// the driver: literal token table, error functions, token dump, per-file
// parse, main, token printer and AST printers.
#include <cstdint>
#include <map>

#include "actions.hpp"
#include "names.hpp"
#include "options.hpp"
#include "tables.hpp"
#include "writer_parts.hpp"
#include "writers.hpp"

namespace {

// The text between a terminal's first and last character.
std::string inner_text(const std::string& written) {
  return written.size() >= 2 ? written.substr(1, written.size() - 2) : "";
}

// yyliterals maps the literal texts with token numbers; the one-character
// literals without value are the bits of yyliteral1.
void write_literal_table(std::ostream& out) {
  std::uint32_t chars[8] = {0, 0, 0, 0, 0, 0, 0, 0};
  out << "#include <map>\n";
  out << "static std::map<std::string,int> yyliterals{";
  bool first = true;
  for (const auto& entry : symbols) {
    if (!isliteral(entry.first)) continue;
    const std::string text = decode_string(inner_text(entry.first));
    if (entry.second.uid <= 0) {
      if (text.empty()) continue;
      const unsigned c = static_cast<unsigned char>(text[0]);
      chars[c / 32] |= std::uint32_t(1) << (c % 32);
      continue;
    }
    if (!first) out << ",\n";
    first = false;
    out << "\t{\"" << encode_string(text, 0) << "\"," << entry.second.uid << "}";
  }
  out << "};\n";
  out << "static unsigned yyliteral1[8]={";
  for (int i = 0; i < 8; ++i) out << (i ? "," : "") << chars[i] << "u";
  out << "};\n";
  write_lines(out, {"int yyliteral(const std::string&s) {", "  if(s.length()==0) return 0;",
                    "  if(s.length()==1)", "  { int c=s[0]&0xFF;",
                    "    if(yyliteral1[c>>5]&(1<<(c&31))) return c; else return 1;", "  }",
                    "  auto it=yyliterals.find(s);", "  if(it==yyliterals.end()) return 1;",
                    "  return it->second;", "}"});
}

void write_error_functions(std::ostream& out) {
  if (locations_flag == 2) {
    write_lines(out, {"void yyerror(YYLTYPE *yyloc, void *scanner, const char* msg) {",
                      "  std::cerr<<yylex_filename(scanner,yyloc->last.file)<<':'<<yyloc->last.line"
                      "<<':'<<yyloc->last.column<<\": \";",
                      "  yyerror(msg);", "}",
                      "void yyerror(YYLTYPE *yyloc, const std::string &msg) {",
                      "  yyerror(yyloc,yyscanner,msg.c_str());", "}"});
  } else if (locations_flag == 1) {
    write_lines(out, {"void yyerror(void *scanner, const char* msg) {",
                      "  std::cerr<<yylex_filename(scanner,-1)<<':'<<yylineno<<\": \";",
                      "  yyerror(msg);", "}"});
  } else {
    write_lines(out, {"void yyerror(void *, const char* msg)", "{ yyerror(msg); }"});
  }
  write_lines(out, {"void yyerror(const std::string& msg)", "{ std::cerr<<msg<<std::endl;",
                    "  YYONERROR;", "}"});
}

// The statement that frees the value of each token that owns one (a text, a
// node or a list), by token number; "" when no token owns a value.
std::string token_release() {
  std::map<int, std::string> cases;  // union member -> its "case N:" labels
  for (const auto& entry : symbols) {
    const symbolinfo& info = entry.second;
    if (!isterminal(entry.first) || info.uid <= 0 || !need_destroy(info.type)) continue;
    cases[member_of(info.type)] += "case " + std::to_string(info.uid) + ": ";
  }
  if (cases.empty()) return "";
  std::string text = "    switch(t) {\n";
  for (const auto& c : cases)
    text += "    " + c.second + "destroy(yylval.f" + std::to_string(c.first) + "_); break;\n";
  return text + "    }\n";
}

void write_driver(std::ostream& out) {
  write_lines(out, {"#include <sys/stat.h>", "int yydebug_flag=0;", "const char* yyinputfile=\"\";",
                    "int yylex_loop(void *scanner)", "{ int t;", "  YYSTYPE yylval;"});
  if (locations_flag == 2)
    write_lines(out, {"  YYLTYPE yylloc;", "  while(t=yylex(&yylval,&yylloc,scanner))"});
  else
    out << "  while(t=yylex(&yylval,scanner))\n";
  // Each token's value is freed once it has been printed.
  const std::string release = token_release();
  if (!release.empty()) out << "  {\n";
  if (lexprint_flag) {
    out << "    if(yydebug_flag==1) {\n";
    if (locations_flag == 2)
      out << "      std::cout<<yylloc.first.line<<':'<<yylloc.first.column<<' '<<yylloc.last.line"
             "<<':'<<yylloc.last.column<<' ';\n";
    write_lines(out, {"      lexprint(std::cout,t,yylval); std::cout<<std::endl;", "    }"});
  } else if (release.empty()) {
    out << "    ;\n";
  }
  if (!release.empty()) out << release << "  }\n";
  write_lines(out, {"  return 0;", "}", "int yyparse_file(const char* name)", "{ yyscanner=nullptr;",
                    "  FILE *f=nullptr;", "  yyinputfile=name;", "#ifdef YYINIT", "  YYINIT(name);",
                    "#endif", "  if(name[0])", "  { f=fopen(name,\"r\");",
                    // A directory may open for reading and then read as an empty
                    // input; it is a file that cannot be opened.
                    "    struct stat yyst;",
                    "    if(f && fstat(fileno(f),&yyst)==0 && S_ISDIR(yyst.st_mode)) "
                    "{ fclose(f); f=nullptr; }",
                    "    if(!f) yyerror(\"Can't open file \"+std::string(name));",
                    "    yylex_init(&yyscanner,f,name);", "  }", "  else yylex_init(&yyscanner);"});
  if (grmfile_exist == 0 && yyparse_flag)
    out << "  int res=yylex_loop(yyscanner);\n";
  else
    out << "  int res=(yydebug_flag==1)?yylex_loop(yyscanner):yyparse(yyscanner);\n";
  // The file is closed once read: a run over many files must not run out
  // of descriptors.
  write_lines(out, {"  yylex_destroy(yyscanner);", "  yyscanner=nullptr;", "  if(f) fclose(f);",
                    "  return res;", "}",
                    "int main(int argc, char **argv)", "{", "#ifdef YYARGINIT",
                    "  YYARGINIT(argc,argv);", "#endif", "  for(int i=1; i<argc; ++i)",
                    "    if(argv[i][0]=='-')",
                    "    { if(argv[i][1]=='d') yydebug_flag=argv[i][2]-'0';", "    }",
                    "    else if(yyparse_file(argv[i])) return 1;",
                    "  if(!yyinputfile[0]) return yyparse_file(\"\"); ", "}"});
}

void write_token_printer(std::ostream& out) {
  write_lines(out, {"void lexprint(std::ostream &s, int t,YYSTYPE& a) {", "  if(t==1) s<<\"undef\";",
                    "  else if(t<256) astprint(s,char(t));", "  else switch(t) {"});
  for (const auto& entry : symbols) {
    const std::string& written = entry.first;
    const symbolinfo& info = entry.second;
    if (!isterminal(written) || info.uid == 0) continue;
    const std::string quote(1, written[0]);
    const std::string shown =
        encode_string(quote + encode_string(decode_string(inner_text(written)), 0) + quote, 0);
    out << "  case " << info.uid << ": s<<\"" << shown << "\";\n";
    if (!empty_type(info.type))
      out << "\ts<<\" : \"; astprint(s,a.f" << member_of(info.type) << "_);\n";
    out << "\tbreak;\n";
  }
  write_lines(out, {"  }", "}"});
}

void write_ast_printers(std::ostream& out) {
  out << "namespace ast {\n";
  for (const auto& d : domains) {
    if (!own_domain(d.second)) continue;
    const std::string& D = d.first;
    out << "int astprint(std::ostream& s," << D << " v, int i, const char* p) {\n";
    write_lines(out, {"  int r=0;", "  if(!v) s<<\"nullptr\";"});
    for (const std::string& N : d.second.node_set) {
      out << "  else if(auto _node=dynamic_cast<" << N << "_node*>(v)) {\n";
      auto it = nodes.find(N);
      const std::size_t k = it == nodes.end() ? 0 : field_count(it->second);
      if (k == 0) {
        out << "    s<<\"" << N << "()\";\n";
      } else {
        out << "    print_indent(s,i);\n";
        out << "    s<<\"" << N << "(\";\n";
        for (std::size_t f = 1; f <= k; ++f)
          out << "    r+=astprint(s,_node->f" << f << "_,i+1," << (f < k ? "\",\"" : "nullptr")
              << ");\n";
        write_lines(out, {"    if(r) print_indent(s,i);", "    s<<\")\";", "    ++r;"});
      }
      out << "  }\n";
    }
    write_lines(out, {"  if(p) s<<p;", "  return r;", "}"});
  }
  out << "}\n";
}

}  // namespace

void create_cppfile(std::ostream& target, const std::string& name,
                    ast::List<ast::Code_domain*> code) {
  line_counting_stream out(target);
  const std::string own = output_path(name, ".cpp");
  out << "#include \"" << header_include(name) << "\"\n";
  gen_mode = 0;
  visitor_allowed = true;
  gen_code_line(out, code, 0, 0);
  visitor_allowed = false;
  out << "\n";
  if (code) show_own_line(out, own);
  const std::string bodies = vout.str();
  out << bodies;
  vout.str("");
  vout.clear();
  out << "\n";
  if (!bodies.empty()) show_own_line(out, own);
  // A description written with option ast has no scanner and no parser: it
  // is the tree of the readers that name it with %using, whose own files
  // carry what their scanner and parser need.
  if (!ast_flag) {
    write_literal_table(out);
    out << "void *yyscanner;\n";
    if (yyerror_flag) write_error_functions(out);
  }
  if (main_flag) write_driver(out);
  if (lexprint_flag && !ast_flag) write_token_printer(out);
  if (astprint_flag && !domains.empty()) write_ast_printers(out);
}
