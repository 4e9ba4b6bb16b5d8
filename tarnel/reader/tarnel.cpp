#include "tarnel.hpp"

std::string re_str;


#include <map>
static std::map<std::string,int> yyliterals{	{"%code",1001},
	{"%operator",1002},
	{"%option",1003},
	{"%type",1004},
	{"%using",1005},
	{"%{",1006},
	{"default",1007},
	{"match",1008},
	{"rule",1009},
	{"visit",1010},
	{"visitor",1011}};
static unsigned yyliteral1[8]={1024u,4227874560u,671088640u,939524096u,0u,0u,0u,0u};
int yyliteral(const std::string&s) {
  if(s.length()==0) return 0;
  if(s.length()==1)
  { int c=s[0]&0xFF;
    if(yyliteral1[c>>5]&(1<<(c&31))) return c; else return 1;
  }
  auto it=yyliterals.find(s);
  if(it==yyliterals.end()) return 1;
  return it->second;
}
void *yyscanner;
void yyerror(YYLTYPE *yyloc, void *scanner, const char* msg) {
  std::cerr<<yylex_filename(scanner,yyloc->last.file)<<':'<<yyloc->last.line<<':'<<yyloc->last.column<<": ";
  yyerror(msg);
}
void yyerror(YYLTYPE *yyloc, const std::string &msg) {
  yyerror(yyloc,yyscanner,msg.c_str());
}
void yyerror(const std::string& msg)
{ std::cerr<<msg<<std::endl;
  YYONERROR;
}
#include <sys/stat.h>
int yydebug_flag=0;
const char* yyinputfile="";
int yylex_loop(void *scanner)
{ int t;
  YYSTYPE yylval;
  YYLTYPE yylloc;
  while(t=yylex(&yylval,&yylloc,scanner))
  {
    if(yydebug_flag==1) {
      std::cout<<yylloc.first.line<<':'<<yylloc.first.column<<' '<<yylloc.last.line<<':'<<yylloc.last.column<<' ';
      lexprint(std::cout,t,yylval); std::cout<<std::endl;
    }
    switch(t) {
    case 1015: case 1016: case 1017: case 1018: case 1019: case 1020: case 1021: case 1022: destroy(yylval.f1_); break;
    }
  }
  return 0;
}
int yyparse_file(const char* name)
{ yyscanner=nullptr;
  FILE *f=nullptr;
  yyinputfile=name;
#ifdef YYINIT
  YYINIT(name);
#endif
  if(name[0])
  { f=fopen(name,"r");
    struct stat yyst;
    if(f && fstat(fileno(f),&yyst)==0 && S_ISDIR(yyst.st_mode)) { fclose(f); f=nullptr; }
    if(!f) yyerror("Can't open file "+std::string(name));
    yylex_init(&yyscanner,f,name);
  }
  else yylex_init(&yyscanner);
  int res=(yydebug_flag==1)?yylex_loop(yyscanner):yyparse(yyscanner);
  yylex_destroy(yyscanner);
  yyscanner=nullptr;
  if(f) fclose(f);
  return res;
}
int main(int argc, char **argv)
{
#ifdef YYARGINIT
  YYARGINIT(argc,argv);
#endif
  for(int i=1; i<argc; ++i)
    if(argv[i][0]=='-')
    { if(argv[i][1]=='d') yydebug_flag=argv[i][2]-'0';
    }
    else if(yyparse_file(argv[i])) return 1;
  if(!yyinputfile[0]) return yyparse_file(""); 
}
void lexprint(std::ostream &s, int t,YYSTYPE& a) {
  if(t==1) s<<"undef";
  else if(t<256) astprint(s,char(t));
  else switch(t) {
  case 1001: s<<"\"%code\"";
	break;
  case 1002: s<<"\"%operator\"";
	break;
  case 1003: s<<"\"%option\"";
	break;
  case 1004: s<<"\"%type\"";
	break;
  case 1005: s<<"\"%using\"";
	break;
  case 1006: s<<"\"%{\"";
	break;
  case 1007: s<<"\"default\"";
	break;
  case 1008: s<<"\"match\"";
	break;
  case 1009: s<<"\"rule\"";
	break;
  case 1010: s<<"\"visit\"";
	break;
  case 1011: s<<"\"visitor\"";
	break;
  case 1012: s<<"?%%code?";
	break;
  case 1013: s<<"?%%grm?";
	break;
  case 1014: s<<"?%%lex?";
	break;
  case 1015: s<<"?const?";
	s<<" : "; astprint(s,a.f1_);
	break;
  case 1016: s<<"?id?";
	s<<" : "; astprint(s,a.f1_);
	break;
  case 1017: s<<"?lexem?";
	s<<" : "; astprint(s,a.f1_);
	break;
  case 1018: s<<"?number?";
	s<<" : "; astprint(s,a.f1_);
	break;
  case 1019: s<<"?re?";
	s<<" : "; astprint(s,a.f1_);
	break;
  case 1020: s<<"?ref?";
	s<<" : "; astprint(s,a.f1_);
	break;
  case 1021: s<<"?spaces?";
	s<<" : "; astprint(s,a.f1_);
	break;
  case 1022: s<<"?terminal?";
	s<<" : "; astprint(s,a.f1_);
	break;
  }
}
namespace ast {
int astprint(std::ostream& s,Code v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<lexem_node*>(v)) {
    print_indent(s,i);
    s<<"lexem(";
    r+=astprint(s,_node->f1_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<mcode_node*>(v)) {
    print_indent(s,i);
    s<<"mcode(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<pcode_node*>(v)) {
    print_indent(s,i);
    s<<"pcode(";
    r+=astprint(s,_node->f1_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<token_node*>(v)) {
    print_indent(s,i);
    s<<"token(";
    r+=astprint(s,_node->f1_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<vcode_node*>(v)) {
    print_indent(s,i);
    s<<"vcode(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,",");
    r+=astprint(s,_node->f3_,i+1,",");
    r+=astprint(s,_node->f4_,i+1,",");
    r+=astprint(s,_node->f5_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  if(p) s<<p;
  return r;
}
int astprint(std::ostream& s,Decl v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<declcode_node*>(v)) {
    print_indent(s,i);
    s<<"declcode(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<decloper_node*>(v)) {
    print_indent(s,i);
    s<<"decloper(";
    r+=astprint(s,_node->f1_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<declre_node*>(v)) {
    print_indent(s,i);
    s<<"declre(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<decltypes_node*>(v)) {
    print_indent(s,i);
    s<<"decltypes(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  if(p) s<<p;
  return r;
}
int astprint(std::ostream& s,Gaction v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<gcode_node*>(v)) {
    print_indent(s,i);
    s<<"gcode(";
    r+=astprint(s,_node->f1_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<gempty_node*>(v)) {
    s<<"gempty()";
  }
  else if(auto _node=dynamic_cast<gterm_node*>(v)) {
    print_indent(s,i);
    s<<"gterm(";
    r+=astprint(s,_node->f1_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  if(p) s<<p;
  return r;
}
int astprint(std::ostream& s,Gelem v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<optelem_node*>(v)) {
    print_indent(s,i);
    s<<"optelem(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<repelem0_node*>(v)) {
    print_indent(s,i);
    s<<"repelem0(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<repelem1_node*>(v)) {
    print_indent(s,i);
    s<<"repelem1(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<symelem_node*>(v)) {
    print_indent(s,i);
    s<<"symelem(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<trmelem_node*>(v)) {
    print_indent(s,i);
    s<<"trmelem(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<varelem_node*>(v)) {
    print_indent(s,i);
    s<<"varelem(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  if(p) s<<p;
  return r;
}
int astprint(std::ostream& s,Grule v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<grmrule_node*>(v)) {
    print_indent(s,i);
    s<<"grmrule(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  if(p) s<<p;
  return r;
}
int astprint(std::ostream& s,Laction v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<lcode_node*>(v)) {
    print_indent(s,i);
    s<<"lcode(";
    r+=astprint(s,_node->f1_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<lnext_node*>(v)) {
    s<<"lnext()";
  }
  else if(auto _node=dynamic_cast<lskip_node*>(v)) {
    s<<"lskip()";
  }
  else if(auto _node=dynamic_cast<lterm_node*>(v)) {
    print_indent(s,i);
    s<<"lterm(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  if(p) s<<p;
  return r;
}
int astprint(std::ostream& s,Lrule v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<lexinit_node*>(v)) {
    print_indent(s,i);
    s<<"lexinit(";
    r+=astprint(s,_node->f1_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<lexrule_node*>(v)) {
    print_indent(s,i);
    s<<"lexrule(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,",");
    r+=astprint(s,_node->f3_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  if(p) s<<p;
  return r;
}
int astprint(std::ostream& s,Mrule v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<mrule_node*>(v)) {
    print_indent(s,i);
    s<<"mrule(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  if(p) s<<p;
  return r;
}
int astprint(std::ostream& s,Node v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<node1_node*>(v)) {
    print_indent(s,i);
    s<<"node1(";
    r+=astprint(s,_node->f1_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<node2_node*>(v)) {
    print_indent(s,i);
    s<<"node2(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  if(p) s<<p;
  return r;
}
int astprint(std::ostream& s,Program v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<prog_node*>(v)) {
    print_indent(s,i);
    s<<"prog(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,",");
    r+=astprint(s,_node->f3_,i+1,",");
    r+=astprint(s,_node->f4_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  if(p) s<<p;
  return r;
}
int astprint(std::ostream& s,Symbol v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<ident_node*>(v)) {
    print_indent(s,i);
    s<<"ident(";
    r+=astprint(s,_node->f1_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<node_node*>(v)) {
    print_indent(s,i);
    s<<"node(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,",");
    r+=astprint(s,_node->f3_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<terminal_node*>(v)) {
    print_indent(s,i);
    s<<"terminal(";
    r+=astprint(s,_node->f1_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  if(p) s<<p;
  return r;
}
int astprint(std::ostream& s,Term v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<snode_node*>(v)) {
    print_indent(s,i);
    s<<"snode(";
    r+=astprint(s,_node->f1_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<tnode_node*>(v)) {
    print_indent(s,i);
    s<<"tnode(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,",");
    r+=astprint(s,_node->f3_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  if(p) s<<p;
  return r;
}
int astprint(std::ostream& s,Vrule v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<vrule_node*>(v)) {
    print_indent(s,i);
    s<<"vrule(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  if(p) s<<p;
  return r;
}
int astprint(std::ostream& s,Xrule v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<xrule_node*>(v)) {
    print_indent(s,i);
    s<<"xrule(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  if(p) s<<p;
  return r;
}
}
