%option noyywrap
%option bison-bridge noline
%top{
#include "veskan.hpp"
// Positions are worked out only when they are kept (see keep_positions).
#define YY_USER_ACTION if (keep_positions) yysetloc();
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
    int line=lineno();
    int column=int(columno());
    yylloc.first.line=line;
    yylloc.first.file=activefile;
    yylloc.first.column=short(column+1);
    yylloc.last.line=line;
    yylloc.last.file=activefile;
    yylloc.last.column=short(column+int(size()));
  }
%}
%{
// Material in front of the next token: appended to the pending list. The
// node holds the matched text, NUL bytes included.
#define YYSPACE(f) space_list=ast::cons(space_list, f(yytext, yyleng, &yylloc))
// Blanks and comments: material only when they are kept.
#define YYBLANK(f) { if (keep_blanks) YYSPACE(f); else blanks_pending=true; }
// A token: its node takes over the pending list and holds the matched text.
#define YYTOKEN(t) { yylval.f1_=ast::lexem(space_list, yytext, yyleng, &yylloc); space_list=nullptr; return t; }
// A token with a text of its own.
#define YYTOKEN_TEXT(t, text) { yylval.f1_=ast::lexem(space_list, text, &yylloc); space_list=nullptr; return t; }
%}
%%
%{
space_list=nullptr;
blanks_pending=false;
%}
[\x09\x0a\x0b\x0c\x0d\x20]+	YYBLANK(ast::spaces)
"//".*\n	YYBLANK(ast::comment)
"/*"(.|\n)*?"*/"	YYBLANK(ast::comment)
^[\x09\x20]*#(\\\r?\n|.)*\n	{ YYSPACE(ast::prepr); }
[A-Z_a-z][0-9A-Z_a-z]*	{ YYTOKEN(1003) }
\d+['0-9A-Za-z]*|\d['0-9]*(\.['0-9]*)?([Ee][\x2b\x2d]?\d+[0-9A-Za-z]*)?	{ YYTOKEN(1001) }
'([^\x0a'\x5c]|\\(x[0-9A-Fa-f]+|[0-9]+|.))'	{ YYTOKEN(1001) }
\"([^\x0a\"\x5c]|\\.)*\"	{ YYTOKEN(1001) }
R\"	{ yysetloc(); YYTOKEN_TEXT(1001, reinput(*this, 1)) }
"::"|\Q<<\E	{ YYTOKEN(1004) }
.	{ YYTOKEN(1004) }
<<EOF>>	{ if(!space_list && !blanks_pending) return 0; yylval.f1_=ast::eoflex(space_list, nullptr); space_list=nullptr; blanks_pending=false; return 1002; }
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
