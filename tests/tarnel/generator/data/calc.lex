%option noyywrap
%option bison-bridge noline
%top{
#include "calc.hpp"
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
DIGIT	[0-9]
%%
%{
	yyclear_attr(yylval);
%}
==	return 1001;
\(	return '(';
\+	return '+';
;	yylval.f1_=yytext[0]; return 1002;
[ \t]+	;
{DIGIT}+	{
	#line 12 "calc.tn"
        yylval.f3_=atoi(yytext);  return 1004; }
[a-z]+	{ yylval.f2_=yytext;  return 1003; }
a\ b	{ return '('; }
;	{ yylval.f1_=yytext[0];  return 1002; }
"/*"	|
"//".*	{
	#line 15 "calc.tn"
          skip(); 	}
.	{ return yyliteral(std::string(yytext,yyleng)); }
.|\n	return yyliteral(std::string(yytext,yyleng));
%%

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
