// The driver of tarnel, in the layout tarnel gives the driver of a described
// language: the literal tokens, the positioned error functions, the token
// dump, the per-file parse and main, and the token printer. (The syntax
// tree's printers are in tarnel_ast.cpp, the message-only error function in
// the scanner glue.)
#include "tarnel.hpp"

#include <sys/stat.h>

#include <map>

// The regular expression being collected by the scanner.
std::string re_str;

// Keyword tokens; the one-character tokens are the bits of yyliteral1.
static std::map<std::string,int> yyliterals{
	{"%code",1001},
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
    if(yyliteral1[c>>5]&(1u<<(c&31))) return c; else return 1;
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
int yydebug_flag=0;
const char* yyinputfile="";
int yylex_loop(void *scanner)
{ int t;
  YYSTYPE yylval;
  YYLTYPE yylloc;
  while((t=yylex(&yylval,&yylloc,scanner)))
    if(yydebug_flag==1) {
      std::cout<<yylloc.first.line<<':'<<yylloc.first.column<<' '<<yylloc.last.line<<':'<<yylloc.last.column<<' ';
      lexprint(std::cout,t,yylval); std::cout<<std::endl;
    }
  return 0;
}
// Opens a description for reading; a directory counts as a file that cannot
// be opened (reading one would give an empty description).
static FILE *open_description(const char *name)
{ FILE *f=fopen(name,"r");
  struct stat st;
  if(f && (fstat(fileno(f),&st)!=0 || S_ISDIR(st.st_mode)))
  { fclose(f);
    f=nullptr;
  }
  return f;
}
int yyparse_file(const char* name)
{ yyscanner=nullptr;
  FILE *f=nullptr;
  yyinputfile=name;
#ifdef YYINIT
  YYINIT(name);
#endif
  if(name[0])
  { f=open_description(name);
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
// Printed names of the tokens 1001 to 1022; those from 1015 on carry a text.
static const char* const yytoken_names[]={
  "\"%code\"","\"%operator\"","\"%option\"","\"%type\"","\"%using\"","\"%{\"",
  "\"default\"","\"match\"","\"rule\"","\"visit\"","\"visitor\"",
  "?%%code?","?%%grm?","?%%lex?",
  "?const?","?id?","?lexem?","?number?","?re?","?ref?","?spaces?","?terminal?"};
void lexprint(std::ostream &s, int t,YYSTYPE& a) {
  if(t==1) s<<"undef";
  else if(t<256) astprint(s,char(t));
  else if(t>=1001 && t<=1022) {
    s<<yytoken_names[t-1001];
    if(t>=1015) { s<<" : "; astprint(s,a.f1_); }
  }
}
