%option noyywrap
%option bison-bridge noline
%top{
#include "tarnel.hpp"
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
%x S_CODE S_GRM S_LEX S_LEX2 S_LIST S_NODE S_RE S_RE2 S_STATE S_TERM S_TOKEN
ID	[A-Za-z\xa8\xb8\xc0-\xff][\x2d.0-9A-Z_a-z\xa8\xb8\xc0-\xff]*
CID	[A-Z_a-z][0-9A-Z_a-z]*
TRM	'([^\x00\x09\x0a'\x5c]|\\[^\x00\x09\x0a])+'|\"([^\x00\x09\x0a\"\x5c]|\\[^\x00\x09\x0a])+\"|\?[^\x00\x09\x0a\x20\x3f]+\?
CHR	'([^\x00\x0a'\x5c]|\\(x[0-9A-Fa-f]+|[0-9]+|[^\x00\x0a]))'
STR	\"([^\x00\x0a\"\x5c]|\\[^\x00\x0a])*\"
NUM	\d+['0-9A-Za-z]*|\d['0-9]*(\.['0-9]*)?([Ee][\x2b\x2d]?\d+[0-9A-Za-z]*)?
REF	"$"[0-9]+|"$"\[({ID}|{TRM})\]|"$"[A-Za-z\xa8\xb8\xc0-\xff][0-9A-Z_a-z\xa8\xb8\xc0-\xff]*
BLOCKCOMMENT	"/*"[^\x00]*?"*/"
ONELINECOMMENT	"/*"[^\x00\x0a]*?"*/"
LINECOMMENT	"//"[^\x00\x0a]*\n
%%
<INITIAL>^"%type"	{ return 1004; }
<INITIAL>^"%code"	{ return 1001; }
<INITIAL>^"%option"	{ return 1003; }
<INITIAL>^"%using"	{ return 1005; }
<INITIAL>^"%operator"	{ return 1002; }
<INITIAL>^{CID}	{ yylval.f1_=yytext; start(S_RE2); return (1016); 	}
<INITIAL>\d+	{ yylval.f1_=yytext;  return 1018; }
<INITIAL>"%{"|"{"	{ push_state(S_CODE); return (1006); 	}
<INITIAL>{ID}	{ yylval.f1_=yytext;  return 1016; }
<S_LEX2>"%{"|"{"	{ push_state(S_CODE); return (1006); 	}
<S_GRM>{ID}	{ yylval.f1_=yytext;  return 1016; }
<INITIAL,S_LEX2,S_GRM,S_TOKEN>{TRM}	{ yylval.f1_=yytext; if(start()==S_TOKEN) pop_state(); return (1022); 	}
<INITIAL>[\x09\x20]	;
<INITIAL>^"%%"[^\x00\x0a]*\n	{ if(yylex_flag) { start(S_LEX); tarnel_mode=1; return (1014); } else if(yyparse_flag) { start(S_GRM); tarnel_mode=2; return (1013); } else { start(S_CODE); tarnel_mode=3; return (1012); } 	}
<INITIAL>{LINECOMMENT}	{ return '\n'; }
<INITIAL>{BLOCKCOMMENT}	;
<S_LEX>^"%%"[^\x00\x0a]*\n	{ if(yyparse_flag) { start(S_GRM); tarnel_mode=2; return (1013); } else { start(S_CODE); tarnel_mode=3; return (1012); } 	}
<S_LEX>^[<]/[^<]	{ start(S_STATE); return ('<'); 	}
<S_LEX>^"%{"/[\x09\x0a\x20]	{ push_state(S_CODE); return (1006); 	}
<S_LEX>R\"	{ yylval.f1_=reinput(*this,0); start(S_LEX2); return (1019); 	}
<S_LEX>[\x09\x20]	{ start(S_LEX2); 	}
<S_LEX>[\x09\x20]*\n	{ return '\n'; }
<S_LEX>[^\x00\x0a]	{ re_str=""; unput(yytext[0]); start(S_LEX2); push_state(S_RE); 	}
<S_STATE>\n	{ start(S_LEX); return ('\n'); 	}
<S_STATE>{CID}	{ yylval.f1_=yytext;  return 1016; }
<S_STATE>[\x09\x20]	;
<S_STATE>[>]	{ start(S_LEX); return ('>'); 	}
<S_RE>\\[^\x00\x0a]	|
<S_RE>{STR}	|
<S_RE>\[([^\x00\x0a\x5c\x5d]|\\[^\x00\x0a])*\]	{ re_str+=yytext; 	}
<S_RE>[\x09\x20]	{ yylval.f1_=re_str; pop_state(); return (1019); 	}
<S_RE>[^\x00\x0a]	{ re_str+=yytext; 	}
<S_RE>\n	{ yylval.f1_=re_str; pop_state(); unput('\n'); return (1019); 	}
<S_RE2>[\x09\x20]	;
<S_RE2>\n	{ return '\n'; }
<S_RE2>R\"	{ yylval.f1_=reinput(*this,0); start(INITIAL); return (1019); 	}
<S_RE2>[^\x00\x0a]	{ re_str=""; unput(yytext[0]); start(INITIAL); push_state(S_RE); 	}
<S_LEX2>{LINECOMMENT}	{ start(S_LEX); return ('\n'); 	}
<S_LEX2>{BLOCKCOMMENT}	;
<S_LEX2>[<]	{ push_state(S_TERM); return ('<'); 	}
<S_LEX2>[\x09\x20]	;
<S_LEX2>\n	{ start(S_LEX); return ('\n'); 	}
<S_GRM>{BLOCKCOMMENT}	;
<S_GRM>[\x09\x0a\x0d\x20]	;
<S_GRM>{LINECOMMENT}	;
<S_GRM>^"%%"[^\x00\x0a]*\n	{ start(S_CODE); tarnel_mode=3; return (1012); 	}
<S_GRM>"{"	{ if(bnf_flag==1) return ('{'); push_state(S_CODE); return (1006); 	}
<S_GRM>"%{"	{ push_state(S_CODE); return (1006); 	}
<S_GRM>"!"	{ return '|'; }
<S_GRM>"."	{ return ';'; }
<S_GRM>"(/"	{ return '['; }
<S_GRM>"/)"	{ return ']'; }
<S_GRM>"(:"	{ return '{'; }
<S_GRM>":)"	{ return '}'; }
<S_GRM>"/"	{ return '|'; }
<S_GRM>[<]	{ push_state(S_TERM); return ('<'); 	}
<S_TERM>{BLOCKCOMMENT}	;
<S_TERM>[\x09\x0a\x0d\x20]	;
<S_TERM>[>]	{ pop_state(); return ('>'); 	}
<S_TERM>"("	{ push_state(S_LIST); return ('('); 	}
<S_TERM>{CHR}	{ yylval.f1_=yytext;  return 1015; }
<S_TERM>{STR}	{ yylval.f1_=yytext;  return 1015; }
<S_TERM>R\"	{ yylval.f1_=reinput(*this,1); return (1015); 	}
<S_TERM>{CID}	{ yylval.f1_=yytext;  return 1016; }
<S_TERM>{NUM}	{ yylval.f1_=yytext;  return 1015; }
<S_TERM>{REF}	{ yylval.f1_=yytext;  return 1020; }
<S_CODE>{CHR}	{ yylval.f1_=yytext;  return 1015; }
<S_CODE>{STR}	{ yylval.f1_=yytext;  return 1015; }
<S_CODE>R\"	{ yylval.f1_=reinput(*this,1); return (1015); 	}
<S_CODE>default	{ return 1007; }
<S_CODE>":"	{ return ':'; }
<S_CODE>match	{ push_state(S_LIST); return (1008); 	}
<S_CODE>visitor	{ push_state(S_NODE); return (1011); 	}
<S_CODE>return/[\x09\x0a\x0d\x20]*[\"'\x3f]	{ if(tarnel_mode==1) push_state(S_TOKEN); yylval.f1_=yytext; return (1016); 	}
<S_CODE>token[\x09\x0a\x0d\x20]*/[\"'\x3f]	{ push_state(S_TOKEN); 	}
<S_CODE>rule	{ push_state(S_NODE); return (1009); 	}
<S_CODE>visit	{ push_state(S_NODE); return (1010); 	}
<S_CODE>{CID}	{ yylval.f1_=yytext;  return 1016; }
<S_CODE>{NUM}	{ yylval.f1_=yytext;  return 1015; }
<S_CODE>"$$"|"@$"	{ yylval.f1_=yytext;  return 1020; }
<S_CODE>{REF}	{ yylval.f1_=yytext;  return 1020; }
<S_CODE>"{"	{ push_state(S_CODE); return ('{'); 	}
<S_CODE>"}"	{ if(!states_empty()) pop_state(); return ('}'); 	}
<S_CODE>"%}"	{ if(!states_empty()&&top_state()!=S_CODE) { pop_state(); return ('}'); } unput('}'); yylval.f1_="%"; return (1017); 	}
<S_CODE>[\x09\x0a\x20]+	{ yylval.f1_=yytext;  return 1021; }
<S_CODE>{ONELINECOMMENT}	{ yylval.f1_=" "; return (1021); 	}
<S_CODE>{BLOCKCOMMENT}	{ yylval.f1_="\n"; return (1021); 	}
<S_CODE>{LINECOMMENT}	{ yylval.f1_="\n"; return (1021); 	}
<S_CODE>[^\x00\x0a]	{ yylval.f1_=yytext;  return 1017; }
<S_LIST>{BLOCKCOMMENT}	;
<S_LIST>{CHR}	{ yylval.f1_=yytext;  return 1015; }
<S_LIST>{STR}	{ yylval.f1_=yytext;  return 1015; }
<S_LIST>R\"	{ yylval.f1_=reinput(*this,1); return (1015); 	}
<S_LIST>{CID}	{ yylval.f1_=yytext;  return 1016; }
<S_LIST>{NUM}	{ yylval.f1_=yytext;  return 1015; }
<S_LIST>"$$"|"@$"	{ yylval.f1_=yytext;  return 1020; }
<S_LIST>{REF}	{ yylval.f1_=yytext;  return 1020; }
<S_LIST>{LINECOMMENT}	;
<S_LIST>"{"	{ start(S_CODE); return ('{'); 	}
<S_LIST>")"	{ pop_state(); return (')'); 	}
<S_LIST>"("	{ push_state(S_LIST); return ('('); 	}
<S_LIST>[\x09\x0a\x20]+	;
<S_LIST>","	{ return ','; }
<S_LIST>[^\x00\x0a]	{ yylval.f1_=yytext;  return 1017; }
<S_NODE>{BLOCKCOMMENT}	;
<S_NODE>{LINECOMMENT}	;
<S_NODE>":"	{ pop_state(); return (':'); 	}
<S_NODE>"{"	{ start(S_CODE); return ('{'); 	}
<S_NODE>{CID}	{ yylval.f1_=yytext;  return 1016; }
<S_NODE>[\x09\x0a\x20]	;
<S_TOKEN>[\x09\x0a\x20]+	{ yylval.f1_=yytext;  return 1021; }
<S_TOKEN>[^\x00\x0a]	{ pop_state(); yylval.f1_=yytext; return (1017); 	}
<INITIAL,S_LEX2,S_GRM,S_TERM,S_CODE,S_LIST,S_NODE>"//"[^\x00\x0a]*\x00|"/*"([^\x00*]|"*"+[^\x00*/])*"*"*\x00	{ return 1; 	}
<*>.|\n	{ return yyliteral(std::string(yytext,yyleng)); 	}
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
