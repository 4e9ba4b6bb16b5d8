#ifndef CALC_H
#define CALC_H 1
[rt_includes][rt_location][rt_destroy][rt_maybe][rt_maybe_string][rt_list_decl][rt_list_maybe_decl][rt_list_class][rt_list_maybe_friends][rt_list_body][rt_list_maybe_cons][rt_list_ops][rt_domain_head][rt_domain_location][rt_domain_tail]
	#line 3 "calc.tn"
#include <cmath>
#line N "calc.hpp"
namespace ast {
struct Expr_visitor;
struct Expr_domain : _domain {
	Expr_domain(const YYLTYPE *_loc):_domain(_loc) {}
	virtual void accept(Expr_visitor*, void*)=0;
};
typedef Expr_domain *Expr;
int astprint(std::ostream&, Expr, int=0, const char* =nullptr);
struct Stmt_visitor;
struct Stmt_domain : _domain {
	Stmt_domain(const YYLTYPE *_loc):_domain(_loc) {}
	virtual void accept(Stmt_visitor*, void*)=0;
};
typedef Stmt_domain *Stmt;
int astprint(std::ostream&, Stmt, int=0, const char* =nullptr);
struct add_node : Expr_domain {
	Expr f1_;
	Expr f2_;
	add_node(Expr a1, Expr a2, const YYLTYPE *_loc=nullptr):Expr_domain(_loc), f1_(a1), f2_(a2){ }
	~add_node() {
	  destroy(f1_);
	  destroy(f2_);
	}
	void accept(Expr_visitor*, void*);
};
struct leaf_node : Expr_domain {
	leaf_node(const YYLTYPE *_loc=nullptr):Expr_domain(_loc) { }
	void accept(Expr_visitor*, void*);
};
struct let_node : Stmt_domain {
	std::string f1_;
	List<Expr> f2_;
	let_node(const std::string& a1, List<Expr> a2, const YYLTYPE *_loc=nullptr):Stmt_domain(_loc), f1_(a1), f2_(a2){ }
	~let_node() {
	  destroy(f2_);
	}
	void accept(Stmt_visitor*, void*);
};
struct named_node : Expr_domain {
	ast::Maybe<std::string> f1_;
	named_node(ast::Maybe<std::string> a1, const YYLTYPE *_loc=nullptr):Expr_domain(_loc), f1_(a1){ }
	~named_node() {
	  destroy(f1_);
	}
	void accept(Expr_visitor*, void*);
};
struct num_node : Expr_domain {
	int f1_;
	num_node(int a1, const YYLTYPE *_loc=nullptr):Expr_domain(_loc), f1_(a1){ }
	void accept(Expr_visitor*, void*);
};
inline Expr add(Expr a1, Expr a2, const YYLTYPE *_loc=nullptr) {
	return new add_node(a1, a2, _loc);
}
inline Expr leaf(const YYLTYPE *_loc=nullptr) {
	return new leaf_node(_loc);
}
inline Stmt let(const std::string& a1, List<Expr> a2, const YYLTYPE *_loc=nullptr) {
	return new let_node(a1, a2, _loc);
}
Expr named(ast::Maybe<std::string> a1, const YYLTYPE *_loc=nullptr);
inline Expr num(int a1, const YYLTYPE *_loc=nullptr) {
	return new num_node(a1, _loc);
}
struct Expr_visitor {
	virtual ~Expr_visitor(){}
	virtual void visit(add_node*, void*) {}
	virtual void visit(leaf_node*, void*) {}
	virtual void visit(named_node*, void*) {}
	virtual void visit(num_node*, void*) {}
};
template <typename T> struct Expr_Tvisitor: Expr_visitor {
	T operator()(Expr v){ T r; if(v) v->accept(this,&r); return r; }
	virtual T visit(add_node*) { return T(); }
	void visit(add_node* n,void* r) { *static_cast<T*>(r)=visit(n); }
	virtual T visit(leaf_node*) { return T(); }
	void visit(leaf_node* n,void* r) { *static_cast<T*>(r)=visit(n); }
	virtual T visit(named_node*) { return T(); }
	void visit(named_node* n,void* r) { *static_cast<T*>(r)=visit(n); }
	virtual T visit(num_node*) { return T(); }
	void visit(num_node* n,void* r) { *static_cast<T*>(r)=visit(n); }
};
template <> struct Expr_Tvisitor<void>: Expr_visitor {
	void operator()(Expr v){ if(v) v->accept(this,nullptr); }
	virtual void visit(add_node*) {}
	void visit(add_node* n,void* r) { visit(n); }
	virtual void visit(leaf_node*) {}
	void visit(leaf_node* n,void* r) { visit(n); }
	virtual void visit(named_node*) {}
	void visit(named_node* n,void* r) { visit(n); }
	virtual void visit(num_node*) {}
	void visit(num_node* n,void* r) { visit(n); }
};
struct Stmt_visitor {
	virtual ~Stmt_visitor(){}
	virtual void visit(let_node*, void*) {}
};
template <typename T> struct Stmt_Tvisitor: Stmt_visitor {
	T operator()(Stmt v){ T r; if(v) v->accept(this,&r); return r; }
	virtual T visit(let_node*) { return T(); }
	void visit(let_node* n,void* r) { *static_cast<T*>(r)=visit(n); }
};
template <> struct Stmt_Tvisitor<void>: Stmt_visitor {
	void operator()(Stmt v){ if(v) v->accept(this,nullptr); }
	virtual void visit(let_node*) {}
	void visit(let_node* n,void* r) { visit(n); }
};
inline void add_node::accept(Expr_visitor* v, void* r) {
	v->visit(this, r);
}
inline void leaf_node::accept(Expr_visitor* v, void* r) {
	v->visit(this, r);
}
inline void let_node::accept(Stmt_visitor* v, void* r) {
	v->visit(this, r);
}
inline void named_node::accept(Expr_visitor* v, void* r) {
	v->visit(this, r);
}
inline void num_node::accept(Expr_visitor* v, void* r) {
	v->visit(this, r);
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
int yylex(YYSTYPE*, YYLTYPE*, void*);
void lexprint(std::ostream&, int, YYSTYPE&);
void yyerror(const std::string &);
void yyerror(YYLTYPE*, void*, const char*);
void yyerror(YYLTYPE*, const std::string &);
void yyinterpret(List<Stmt>);
#define YYINTERPRET(ast) yyinterpret(ast)
#define YYONERROR exit(1)
extern void* yyscanner;
int helper();
#line N "calc.hpp"
[rt_astprint_builtin][rt_astprint_maybe][rt_astprint_vector][rt_astprint_list]}
// end
#line N "calc.hpp"
#endif
