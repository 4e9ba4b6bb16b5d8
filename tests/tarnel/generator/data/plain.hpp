#ifndef CALC_H
#define CALC_H 1
[rt_includes][rt_destroy][rt_maybe][rt_maybe_string][rt_list_decl][rt_list_maybe_decl][rt_list_class][rt_list_maybe_friends][rt_list_body][rt_list_maybe_cons][rt_list_ops][rt_domain_head][rt_domain_tail]namespace ast {
struct Expr_domain : _domain {
};
typedef Expr_domain *Expr;
struct Stmt_domain : _domain {
};
typedef Stmt_domain *Stmt;
struct add_node : Expr_domain {
	Expr f1_;
	Expr f2_;
	add_node(Expr a1, Expr a2):f1_(a1), f2_(a2){ }
	~add_node() {
	  destroy(f1_);
	  destroy(f2_);
	}
};
struct leaf_node : Expr_domain {
	leaf_node(){ }
};
struct let_node : Stmt_domain {
	std::string f1_;
	List<Expr> f2_;
	let_node(const std::string& a1, List<Expr> a2):f1_(a1), f2_(a2){ }
	~let_node() {
	  destroy(f2_);
	}
};
struct named_node : Expr_domain {
	ast::Maybe<std::string> f1_;
	named_node(ast::Maybe<std::string> a1):f1_(a1){ }
	~named_node() {
	  destroy(f1_);
	}
};
struct num_node : Expr_domain {
	int f1_;
	num_node(int a1):f1_(a1){ }
};
inline Expr add(Expr a1, Expr a2) {
	return new add_node(a1, a2);
}
inline Expr leaf() {
	return new leaf_node();
}
inline Stmt let(const std::string& a1, List<Expr> a2) {
	return new let_node(a1, a2);
}
Expr named(ast::Maybe<std::string> a1);
inline Expr num(int a1) {
	return new num_node(a1);
}
}
using namespace ast;
int yyliteral(const std::string&);
int yywrap();
int yyparse(void*);
extern const char* yyinputfile;
extern int yydebug_flag;
union YYSTYPE {
  Expr f2_;
  List<Stmt> f3_;
  Stmt f4_;
  ast::Maybe<int> f5_;
  ast::Maybe<std::string> f1_;
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
int yylex(YYSTYPE*, void*);
void yyerror(const std::string &);
void yyerror(void*, const char*);
void yyinterpret(const std::string&);
#define YYINTERPRET(ast) yyinterpret(ast)
#define YYONERROR exit(1)
extern void* yyscanner;
#endif
