%option noyywrap
%option bison-bridge noline
%top{
#include "bridge.hpp"
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

%{
// Reads the rest of a raw string literal after R and a double quote.
std::string reinput(yyFlexLexer& lex, int nl) {
  std::string result = "R\"";
  std::string delim;
  int c = 0;
  for (;;) {
    c = lex.input();
    if (c <= 0) break;  // EOF at the end of input, 0 for a NUL byte
    result += static_cast<char>(c);
    if ((c == '\n' && !nl) || c == '(') break;
    if (delim.empty() || c == delim[0]) delim += static_cast<char>(c);
    else break;
  }
  std::size_t count = delim.size();
  if (c == '(') {
    int k = -1;
    for (;;) {
      c = lex.input();
      if (c <= 0) break;  // EOF at the end of input, 0 for a NUL byte
      result += static_cast<char>(c);
      if (c == '\n' && !nl) break;
      if (c == ')') { k = static_cast<int>(count); continue; }
      if (k == 0 && c == '"') break;
      if (k > 0 && c == delim[0]) { --k; continue; }
      k = -1;
    }
    if (c == '"' && result.size() > 2 * count + 5) return result;
  }
  yyerror(&lex.yylloc, &lex, "RE error");
  return result;
}
static std::string re_str;
static int bridge_calls = 0;
%}
%x S_CODE S_RE
ID	[A-Za-z_][A-Za-z0-9_]*
%%
%{
default:
	#line 14 "bridge.tn"
  ++bridge_calls;
%}
\x3c=	return 1003;
\(	return '(';
\)	return ')';
\+	return '+';
calls	{
	#line 33 "bridge.tn"
  yylval.f2_=bridge_calls; return 1008;	}
{ID}	{ yylval.f1_=yytext;  return 1001; }
[0-9]+	{
	#line 19 "bridge.tn"
         yylval.f2_=atoi(yytext);  return 1002; }
\{	{
	#line 21 "bridge.tn"
  push_state(S_CODE); return 1006;	}
<S_CODE>\{	{
	#line 22 "bridge.tn"
  push_state(S_CODE); return '{';	}
<S_CODE>\}	{
	#line 23 "bridge.tn"
  pop_state(); return '}';	}
<S_CODE>[^{}R\n]+	{ yylval.f1_=yytext;  return 1004; }
<S_CODE>R\"	{
	#line 25 "bridge.tn"
  yylval.f1_=reinput(*this, 1); return 1005;	}
R\"	{
	#line 26 "bridge.tn"
  yylval.f1_=reinput(*this, 0); return 1005;	}
\/.	{
	#line 27 "bridge.tn"
  re_str.clear(); unput(yytext[1]); push_state(S_RE);	}
<S_RE>\\.	|
<S_RE>\[(?:[^\n\\\]]|\\.)*\]	{
	#line 28 "bridge.tn"
  re_str += yytext;	}
<S_RE>[ \t]	{
	#line 31 "bridge.tn"
  yylval.f1_=re_str; pop_state(); return 1007;	}
<S_RE>.	{
	#line 30 "bridge.tn"
  re_str += yytext;	}
<S_RE>\n	{
	#line 32 "bridge.tn"
  yylval.f1_=re_str; pop_state(); unput('\n'); return 1007;	}
[ \t]	;
\r	|
\r\n	{ return '\n'; }
<INITIAL,S_CODE,S_RE>.|\n	return yyliteral(yytext);
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

void bridge_misuse(yyscan_t scanner) {
  static_cast<yyscanner_t*>(scanner)->yylex();
}
