#include "calc.hpp"

	#line 30 "calc.tn"
int x;

#line 7 "calc.cpp"
int v_visitor::visit(leaf_node* _node1) {
}

#line 11 "calc.cpp"
#include <map>
static std::map<std::string,int> yyliterals{	{"==",1001},
	{"a\"b",1004},
	{"+",1002}};
static unsigned yyliteral1[8]={1024u,256u,0u,0u,0u,0u,0u,0u};
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
    if(yydebug_flag==1) {
      std::cout<<yylloc.first.line<<':'<<yylloc.first.column<<' '<<yylloc.last.line<<':'<<yylloc.last.column<<' ';
      lexprint(std::cout,t,yylval); std::cout<<std::endl;
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
  case 1001: s<<"\"==\"";
	break;
  case 1004: s<<"\"a\\\"b\"";
	break;
  case 1002: s<<"\'+\'";
	s<<" : "; astprint(s,a.f2_);
	break;
  case 1003: s<<"?num?";
	s<<" : "; astprint(s,a.f2_);
	break;
  }
}
namespace ast {
int astprint(std::ostream& s,Expr v, int i, const char* p) {
  int r=0;
  if(!v) s<<"nullptr";
  else if(auto _node=dynamic_cast<add_node*>(v)) {
    print_indent(s,i);
    s<<"add(";
    r+=astprint(s,_node->f1_,i+1,",");
    r+=astprint(s,_node->f2_,i+1,nullptr);
    if(r) print_indent(s,i);
    s<<")";
    ++r;
  }
  else if(auto _node=dynamic_cast<leaf_node*>(v)) {
    s<<"leaf()";
  }
  if(p) s<<p;
  return r;
}
}
