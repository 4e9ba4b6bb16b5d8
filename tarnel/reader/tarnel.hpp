// The header of tarnel's reader, in the layout tarnel gives the header of a
// described language (tarnel.tn describes tarnel's own): the syntax tree,
// the value union of the scanner and parser, the prototypes of the scanner,
// driver and error functions, the interpreter hook and the description's
// own header code. tarnel.lex and tarnel.grm include it.
#ifndef TARNEL_H
#define TARNEL_H 1
#include "tarnel_ast.hpp"
using namespace ast;
int yyliteral(const std::string&);
int yywrap();
int yyparse(void*);
extern const char* yyinputfile;
extern int yydebug_flag;
union YYSTYPE {
  Code f16_;
  Decl f2_;
  Gaction f22_;
  Gelem f6_;
  Grule f9_;
  Laction f11_;
  List<Code> f15_;
  List<Decl> f21_;
  List<Gelem> f27_;
  List<Grule> f20_;
  List<Lrule> f19_;
  List<Mrule> f25_;
  List<Symbol> f3_;
  List<Vrule> f26_;
  List<Xrule> f7_;
  List<std::string> f5_;
  Lrule f10_;
  Mrule f14_;
  Node f17_;
  Program f18_;
  Symbol f4_;
  Term f13_;
  Vrule f24_;
  Xrule f8_;
  ast::Maybe<int> f23_;
  ast::Maybe<std::string> f1_;
  ast::Maybe<std::string> f12_;
};
template <typename T> inline T& YYSTYPE_cast(YYSTYPE &v){ return *reinterpret_cast<T*>(&v); }
inline void yyclear_attr(YYSTYPE&v) { memset(&v,0,sizeof(v)); }
#define YYSTYPE_IS_TRIVIAL 1
#define YYSTYPE_IS_DECLARED 1
void yylex_destroy(void*);
const char* yylex_filename(void*, int=-1);
void yylex_init(void**);
void yylex_init(void**, const std::string&);
void yylex_init(void**, FILE*, const std::string&);
void yylex_init(void**, std::istream &, const std::string&);
int yylex(YYSTYPE*, YYLTYPE*, void*);
void lexprint(std::ostream&, int, YYSTYPE&);
void yyerror(const std::string &);
void yyerror(YYLTYPE*, void*, const char*);
void yyerror(YYLTYPE*, const std::string &);
void yyinterpret(Program);
#define YYINTERPRET(ast) yyinterpret(ast)
#define YYONERROR exit(1)
extern void* yyscanner;

#include "options.hpp"
#include "collect.hpp"
#include "scanner_glue.hpp"
extern std::string re_str;
#define YYARGINIT(argc,argv) get_args(argc,argv)
#define YYINIT(name) set_input(name)
#endif
