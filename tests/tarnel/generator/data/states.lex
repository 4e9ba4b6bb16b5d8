%option case-insensitive
%option interactive
%option bison-bridge noline
%top{
#include "calc.hpp"
#define YY_USER_ACTION yysetloc();
%}

%class {
public:
  std::vector<std::string> filenames;
  int activefile;
%}

%init {
  filenames.push_back("");
  activefile=0;
%}

%class {
public: YYLTYPE yylloc;
  void yysetloc(){
    yylloc.first.line=lineno();
    yylloc.first.file=activefile;
    yylloc.first.column=short(columno()+1);
    yylloc.last.line=lineno();
    yylloc.last.file=activefile;
    yylloc.last.column=short(columno()+size());
  }
%}
%s HIDDEN
%x COMMENT STR
%%
%{
default:
	#line 20 "calc.tn"
   depth=0; 
%}
<COMMENT>[a-z]+	{
	#line 22 "calc.tn"
              yylval.f2_=yytext; return (1003); 	}
<STR>[^"]*	{
	#line 23 "calc.tn"
                  yylval.f4_=ast::strnode(yytext,&yylloc);  return 1005; }
<*>\n	;
<COMMENT,STR><<EOF>>	;
<INITIAL,COMMENT,STR>.|\n	;
%%

int yylex(YYSTYPE* lvalp, YYLTYPE* llocp, void* scanner) {
  yyscanner_t* scanp=static_cast<yyscanner_t*>(scanner);
  yyclear_attr(*lvalp);
  int t=scanp->yylex(*lvalp);
  *llocp=scanp->yylloc;
  return t;
}

const char *yylex_filename(void* scanner, int i)
{ if(!scanner) return ""; 
  yyscanner_t* scanp=static_cast<yyscanner_t*>(scanner);
  if(i<0) i=scanp->activefile;
  if(i>=scanp->filenames.size()) return "";
  return scanp->filenames[i].c_str();
}
void yylex_init(yyscan_t *scanner, FILE *f, const std::string& n)
{ yyscanner_t* scanp=new yyscanner_t;
  *scanner = static_cast<yyscan_t>(scanp);
  scanp->in(reflex::Input(f));
  scanp->filenames[0]=n;
}
void yylex_init(yyscan_t *scanner, const std::string& s)
{ yyscanner_t* scanp=new yyscanner_t;
  *scanner = static_cast<yyscan_t>(scanp);
  scanp->in(s);
}
void yylex_init(yyscan_t *scanner, std::istream &s, const std::string& n)
{ yyscanner_t* scanp=new yyscanner_t;
  *scanner = static_cast<yyscan_t>(scanp);
  scanp->in(reflex::Input(s));
  scanp->filenames[0]=n;
}
