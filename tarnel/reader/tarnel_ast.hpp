// The syntax tree of tarnel's description language: one abstract class per
// domain, one class per node kind, a factory per node kind and a printer per
// domain, in the shape tarnel gives the classes of any described language
// (without visitors). Walkers tell node kinds apart with dynamic_cast.
//
// A node owns its children: its destructor frees every node, list and
// optional text it holds, so freeing the root frees the whole tree. Lists
// are plain values whose copies share cells; exactly one copy may be freed.
#ifndef TARNEL_AST_HPP
#define TARNEL_AST_HPP 1

#include "ast_runtime.hpp"

namespace ast {
struct Code_domain : _domain {
	Code_domain(const YYLTYPE *_loc):_domain(_loc) {}
};
typedef Code_domain *Code;
int astprint(std::ostream&, Code, int=0, const char* =nullptr);
struct Decl_domain : _domain {
	Decl_domain(const YYLTYPE *_loc):_domain(_loc) {}
};
typedef Decl_domain *Decl;
int astprint(std::ostream&, Decl, int=0, const char* =nullptr);
struct Gaction_domain : _domain {
	Gaction_domain(const YYLTYPE *_loc):_domain(_loc) {}
};
typedef Gaction_domain *Gaction;
int astprint(std::ostream&, Gaction, int=0, const char* =nullptr);
struct Gelem_domain : _domain {
	Gelem_domain(const YYLTYPE *_loc):_domain(_loc) {}
};
typedef Gelem_domain *Gelem;
int astprint(std::ostream&, Gelem, int=0, const char* =nullptr);
struct Grule_domain : _domain {
	Grule_domain(const YYLTYPE *_loc):_domain(_loc) {}
};
typedef Grule_domain *Grule;
int astprint(std::ostream&, Grule, int=0, const char* =nullptr);
struct Laction_domain : _domain {
	Laction_domain(const YYLTYPE *_loc):_domain(_loc) {}
};
typedef Laction_domain *Laction;
int astprint(std::ostream&, Laction, int=0, const char* =nullptr);
struct Lrule_domain : _domain {
	Lrule_domain(const YYLTYPE *_loc):_domain(_loc) {}
};
typedef Lrule_domain *Lrule;
int astprint(std::ostream&, Lrule, int=0, const char* =nullptr);
struct Mrule_domain : _domain {
	Mrule_domain(const YYLTYPE *_loc):_domain(_loc) {}
};
typedef Mrule_domain *Mrule;
int astprint(std::ostream&, Mrule, int=0, const char* =nullptr);
struct Node_domain : _domain {
	Node_domain(const YYLTYPE *_loc):_domain(_loc) {}
};
typedef Node_domain *Node;
int astprint(std::ostream&, Node, int=0, const char* =nullptr);
struct Program_domain : _domain {
	Program_domain(const YYLTYPE *_loc):_domain(_loc) {}
};
typedef Program_domain *Program;
int astprint(std::ostream&, Program, int=0, const char* =nullptr);
struct Symbol_domain : _domain {
	Symbol_domain(const YYLTYPE *_loc):_domain(_loc) {}
};
typedef Symbol_domain *Symbol;
int astprint(std::ostream&, Symbol, int=0, const char* =nullptr);
struct Term_domain : _domain {
	Term_domain(const YYLTYPE *_loc):_domain(_loc) {}
};
typedef Term_domain *Term;
int astprint(std::ostream&, Term, int=0, const char* =nullptr);
struct Vrule_domain : _domain {
	Vrule_domain(const YYLTYPE *_loc):_domain(_loc) {}
};
typedef Vrule_domain *Vrule;
int astprint(std::ostream&, Vrule, int=0, const char* =nullptr);
struct Xrule_domain : _domain {
	Xrule_domain(const YYLTYPE *_loc):_domain(_loc) {}
};
typedef Xrule_domain *Xrule;
int astprint(std::ostream&, Xrule, int=0, const char* =nullptr);
struct declcode_node : Decl_domain {
	ast::Maybe<std::string> f1_;
	List<Code> f2_;
	declcode_node(ast::Maybe<std::string> a1, List<Code> a2, const YYLTYPE *_loc=nullptr):Decl_domain(_loc), f1_(a1), f2_(a2){ }
	~declcode_node() {
	  destroy(f1_);
	  destroy(f2_);
	}
};
struct decloper_node : Decl_domain {
	List<std::string> f1_;
	decloper_node(List<std::string> a1, const YYLTYPE *_loc=nullptr):Decl_domain(_loc), f1_(a1){ }
	~decloper_node() {
	  destroy(f1_);
	}
};
struct declre_node : Decl_domain {
	std::string f1_;
	std::string f2_;
	declre_node(const std::string& a1, const std::string& a2, const YYLTYPE *_loc=nullptr):Decl_domain(_loc), f1_(a1), f2_(a2){ }
};
struct decltypes_node : Decl_domain {
	std::string f1_;
	List<Symbol> f2_;
	decltypes_node(const std::string& a1, List<Symbol> a2, const YYLTYPE *_loc=nullptr):Decl_domain(_loc), f1_(a1), f2_(a2){ }
	~decltypes_node() {
	  destroy(f2_);
	}
};
struct gcode_node : Gaction_domain {
	List<Code> f1_;
	gcode_node(List<Code> a1, const YYLTYPE *_loc=nullptr):Gaction_domain(_loc), f1_(a1){ }
	~gcode_node() {
	  destroy(f1_);
	}
};
struct gempty_node : Gaction_domain {
	gempty_node(const YYLTYPE *_loc=nullptr):Gaction_domain(_loc) { }
};
struct grmrule_node : Grule_domain {
	std::string f1_;
	List<Xrule> f2_;
	grmrule_node(const std::string& a1, List<Xrule> a2, const YYLTYPE *_loc=nullptr):Grule_domain(_loc), f1_(a1), f2_(a2){ }
	~grmrule_node() {
	  destroy(f2_);
	}
};
struct gterm_node : Gaction_domain {
	Term f1_;
	gterm_node(Term a1, const YYLTYPE *_loc=nullptr):Gaction_domain(_loc), f1_(a1){ }
	~gterm_node() {
	  destroy(f1_);
	}
};
struct ident_node : Symbol_domain {
	std::string f1_;
	ident_node(const std::string& a1, const YYLTYPE *_loc=nullptr):Symbol_domain(_loc), f1_(a1){ }
};
struct lcode_node : Laction_domain {
	List<Code> f1_;
	lcode_node(List<Code> a1, const YYLTYPE *_loc=nullptr):Laction_domain(_loc), f1_(a1){ }
	~lcode_node() {
	  destroy(f1_);
	}
};
struct lexem_node : Code_domain {
	std::string f1_;
	lexem_node(const std::string& a1, const YYLTYPE *_loc=nullptr):Code_domain(_loc), f1_(a1){ }
};
struct lexinit_node : Lrule_domain {
	List<Code> f1_;
	lexinit_node(List<Code> a1, const YYLTYPE *_loc=nullptr):Lrule_domain(_loc), f1_(a1){ }
	~lexinit_node() {
	  destroy(f1_);
	}
};
struct lexrule_node : Lrule_domain {
	List<std::string> f1_;
	std::string f2_;
	Laction f3_;
	lexrule_node(List<std::string> a1, const std::string& a2, Laction a3, const YYLTYPE *_loc=nullptr):Lrule_domain(_loc), f1_(a1), f2_(a2), f3_(a3){ }
	~lexrule_node() {
	  destroy(f1_);
	  destroy(f3_);
	}
};
struct lnext_node : Laction_domain {
	lnext_node(const YYLTYPE *_loc=nullptr):Laction_domain(_loc) { }
};
struct lskip_node : Laction_domain {
	lskip_node(const YYLTYPE *_loc=nullptr):Laction_domain(_loc) { }
};
struct lterm_node : Laction_domain {
	ast::Maybe<std::string> f1_;
	Term f2_;
	lterm_node(ast::Maybe<std::string> a1, Term a2, const YYLTYPE *_loc=nullptr):Laction_domain(_loc), f1_(a1), f2_(a2){ }
	~lterm_node() {
	  destroy(f1_);
	  destroy(f2_);
	}
};
struct mcode_node : Code_domain {
	List<std::string> f1_;
	List<Mrule> f2_;
	mcode_node(List<std::string> a1, List<Mrule> a2, const YYLTYPE *_loc=nullptr):Code_domain(_loc), f1_(a1), f2_(a2){ }
	~mcode_node() {
	  destroy(f1_);
	  destroy(f2_);
	}
};
struct mrule_node : Mrule_domain {
	Node f1_;
	List<Code> f2_;
	mrule_node(Node a1, List<Code> a2, const YYLTYPE *_loc=nullptr):Mrule_domain(_loc), f1_(a1), f2_(a2){ }
	~mrule_node() {
	  destroy(f1_);
	  destroy(f2_);
	}
};
struct node_node : Symbol_domain {
	std::string f1_;
	List<std::string> f2_;
	ast::Maybe<int> f3_;
	node_node(const std::string& a1, List<std::string> a2, ast::Maybe<int> a3, const YYLTYPE *_loc=nullptr):Symbol_domain(_loc), f1_(a1), f2_(a2), f3_(a3){ }
	~node_node() {
	  destroy(f2_);
	}
};
struct node1_node : Node_domain {
	std::string f1_;
	node1_node(const std::string& a1, const YYLTYPE *_loc=nullptr):Node_domain(_loc), f1_(a1){ }
};
struct node2_node : Node_domain {
	std::string f1_;
	List<std::string> f2_;
	node2_node(const std::string& a1, List<std::string> a2, const YYLTYPE *_loc=nullptr):Node_domain(_loc), f1_(a1), f2_(a2){ }
	~node2_node() {
	  destroy(f2_);
	}
};
struct optelem_node : Gelem_domain {
	List<Xrule> f1_;
	std::string f2_;
	optelem_node(List<Xrule> a1, const std::string& a2, const YYLTYPE *_loc=nullptr):Gelem_domain(_loc), f1_(a1), f2_(a2){ }
	~optelem_node() {
	  destroy(f1_);
	}
};
struct pcode_node : Code_domain {
	List<Code> f1_;
	pcode_node(List<Code> a1, const YYLTYPE *_loc=nullptr):Code_domain(_loc), f1_(a1){ }
	~pcode_node() {
	  destroy(f1_);
	}
};
struct prog_node : Program_domain {
	List<Decl> f1_;
	List<Lrule> f2_;
	List<Grule> f3_;
	List<Code> f4_;
	prog_node(List<Decl> a1, List<Lrule> a2, List<Grule> a3, List<Code> a4, const YYLTYPE *_loc=nullptr):Program_domain(_loc), f1_(a1), f2_(a2), f3_(a3), f4_(a4){ }
	~prog_node() {
	  destroy(f1_);
	  destroy(f2_);
	  destroy(f3_);
	  destroy(f4_);
	}
};
struct repelem0_node : Gelem_domain {
	List<Xrule> f1_;
	std::string f2_;
	repelem0_node(List<Xrule> a1, const std::string& a2, const YYLTYPE *_loc=nullptr):Gelem_domain(_loc), f1_(a1), f2_(a2){ }
	~repelem0_node() {
	  destroy(f1_);
	}
};
struct repelem1_node : Gelem_domain {
	List<Xrule> f1_;
	std::string f2_;
	repelem1_node(List<Xrule> a1, const std::string& a2, const YYLTYPE *_loc=nullptr):Gelem_domain(_loc), f1_(a1), f2_(a2){ }
	~repelem1_node() {
	  destroy(f1_);
	}
};
struct snode_node : Term_domain {
	std::string f1_;
	snode_node(const std::string& a1, const YYLTYPE *_loc=nullptr):Term_domain(_loc), f1_(a1){ }
};
struct symelem_node : Gelem_domain {
	std::string f1_;
	std::string f2_;
	symelem_node(const std::string& a1, const std::string& a2, const YYLTYPE *_loc=nullptr):Gelem_domain(_loc), f1_(a1), f2_(a2){ }
};
struct terminal_node : Symbol_domain {
	std::string f1_;
	terminal_node(const std::string& a1, const YYLTYPE *_loc=nullptr):Symbol_domain(_loc), f1_(a1){ }
};
struct tnode_node : Term_domain {
	std::string f1_;
	List<std::string> f2_;
	ast::Maybe<int> f3_;
	tnode_node(const std::string& a1, List<std::string> a2, ast::Maybe<int> a3, const YYLTYPE *_loc=nullptr):Term_domain(_loc), f1_(a1), f2_(a2), f3_(a3){ }
	~tnode_node() {
	  destroy(f2_);
	}
};
struct token_node : Code_domain {
	std::string f1_;
	token_node(const std::string& a1, const YYLTYPE *_loc=nullptr):Code_domain(_loc), f1_(a1){ }
};
struct trmelem_node : Gelem_domain {
	std::string f1_;
	std::string f2_;
	trmelem_node(const std::string& a1, const std::string& a2, const YYLTYPE *_loc=nullptr):Gelem_domain(_loc), f1_(a1), f2_(a2){ }
};
struct varelem_node : Gelem_domain {
	List<Xrule> f1_;
	std::string f2_;
	varelem_node(List<Xrule> a1, const std::string& a2, const YYLTYPE *_loc=nullptr):Gelem_domain(_loc), f1_(a1), f2_(a2){ }
	~varelem_node() {
	  destroy(f1_);
	}
};
struct vcode_node : Code_domain {
	std::string f1_;
	std::string f2_;
	std::string f3_;
	List<Code> f4_;
	List<Vrule> f5_;
	vcode_node(const std::string& a1, const std::string& a2, const std::string& a3, List<Code> a4, List<Vrule> a5, const YYLTYPE *_loc=nullptr):Code_domain(_loc), f1_(a1), f2_(a2), f3_(a3), f4_(a4), f5_(a5){ }
	~vcode_node() {
	  destroy(f4_);
	  destroy(f5_);
	}
};
struct vrule_node : Vrule_domain {
	Node f1_;
	List<Code> f2_;
	vrule_node(Node a1, List<Code> a2, const YYLTYPE *_loc=nullptr):Vrule_domain(_loc), f1_(a1), f2_(a2){ }
	~vrule_node() {
	  destroy(f1_);
	  destroy(f2_);
	}
};
struct xrule_node : Xrule_domain {
	List<Gelem> f1_;
	Gaction f2_;
	xrule_node(List<Gelem> a1, Gaction a2, const YYLTYPE *_loc=nullptr):Xrule_domain(_loc), f1_(a1), f2_(a2){ }
	~xrule_node() {
	  destroy(f1_);
	  destroy(f2_);
	}
};
inline Decl declcode(ast::Maybe<std::string> a1, List<Code> a2, const YYLTYPE *_loc=nullptr) {
	return new declcode_node(a1, a2, _loc);
}
inline Decl decloper(List<std::string> a1, const YYLTYPE *_loc=nullptr) {
	return new decloper_node(a1, _loc);
}
inline Decl declre(const std::string& a1, const std::string& a2, const YYLTYPE *_loc=nullptr) {
	return new declre_node(a1, a2, _loc);
}
inline Decl decltypes(const std::string& a1, List<Symbol> a2, const YYLTYPE *_loc=nullptr) {
	return new decltypes_node(a1, a2, _loc);
}
inline Gaction gcode(List<Code> a1, const YYLTYPE *_loc=nullptr) {
	return new gcode_node(a1, _loc);
}
inline Gaction gempty(const YYLTYPE *_loc=nullptr) {
	return new gempty_node(_loc);
}
inline Grule grmrule(const std::string& a1, List<Xrule> a2, const YYLTYPE *_loc=nullptr) {
	return new grmrule_node(a1, a2, _loc);
}
inline Gaction gterm(Term a1, const YYLTYPE *_loc=nullptr) {
	return new gterm_node(a1, _loc);
}
inline Symbol ident(const std::string& a1, const YYLTYPE *_loc=nullptr) {
	return new ident_node(a1, _loc);
}
inline Laction lcode(List<Code> a1, const YYLTYPE *_loc=nullptr) {
	return new lcode_node(a1, _loc);
}
inline Code lexem(const std::string& a1, const YYLTYPE *_loc=nullptr) {
	return new lexem_node(a1, _loc);
}
inline Lrule lexinit(List<Code> a1, const YYLTYPE *_loc=nullptr) {
	return new lexinit_node(a1, _loc);
}
inline Lrule lexrule(List<std::string> a1, const std::string& a2, Laction a3, const YYLTYPE *_loc=nullptr) {
	return new lexrule_node(a1, a2, a3, _loc);
}
inline Laction lnext(const YYLTYPE *_loc=nullptr) {
	return new lnext_node(_loc);
}
inline Laction lskip(const YYLTYPE *_loc=nullptr) {
	return new lskip_node(_loc);
}
inline Laction lterm(ast::Maybe<std::string> a1, Term a2, const YYLTYPE *_loc=nullptr) {
	return new lterm_node(a1, a2, _loc);
}
inline Code mcode(List<std::string> a1, List<Mrule> a2, const YYLTYPE *_loc=nullptr) {
	return new mcode_node(a1, a2, _loc);
}
inline Mrule mrule(Node a1, List<Code> a2, const YYLTYPE *_loc=nullptr) {
	return new mrule_node(a1, a2, _loc);
}
inline Symbol node(const std::string& a1, List<std::string> a2, ast::Maybe<int> a3, const YYLTYPE *_loc=nullptr) {
	return new node_node(a1, a2, a3, _loc);
}
inline Node node1(const std::string& a1, const YYLTYPE *_loc=nullptr) {
	return new node1_node(a1, _loc);
}
inline Node node2(const std::string& a1, List<std::string> a2, const YYLTYPE *_loc=nullptr) {
	return new node2_node(a1, a2, _loc);
}
inline Gelem optelem(List<Xrule> a1, const std::string& a2, const YYLTYPE *_loc=nullptr) {
	return new optelem_node(a1, a2, _loc);
}
inline Code pcode(List<Code> a1, const YYLTYPE *_loc=nullptr) {
	return new pcode_node(a1, _loc);
}
inline Program prog(List<Decl> a1, List<Lrule> a2, List<Grule> a3, List<Code> a4, const YYLTYPE *_loc=nullptr) {
	return new prog_node(a1, a2, a3, a4, _loc);
}
inline Gelem repelem0(List<Xrule> a1, const std::string& a2, const YYLTYPE *_loc=nullptr) {
	return new repelem0_node(a1, a2, _loc);
}
inline Gelem repelem1(List<Xrule> a1, const std::string& a2, const YYLTYPE *_loc=nullptr) {
	return new repelem1_node(a1, a2, _loc);
}
inline Term snode(const std::string& a1, const YYLTYPE *_loc=nullptr) {
	return new snode_node(a1, _loc);
}
inline Gelem symelem(const std::string& a1, const std::string& a2, const YYLTYPE *_loc=nullptr) {
	return new symelem_node(a1, a2, _loc);
}
inline Symbol terminal(const std::string& a1, const YYLTYPE *_loc=nullptr) {
	return new terminal_node(a1, _loc);
}
inline Term tnode(const std::string& a1, List<std::string> a2, ast::Maybe<int> a3, const YYLTYPE *_loc=nullptr) {
	return new tnode_node(a1, a2, a3, _loc);
}
inline Code token(const std::string& a1, const YYLTYPE *_loc=nullptr) {
	return new token_node(a1, _loc);
}
inline Gelem trmelem(const std::string& a1, const std::string& a2, const YYLTYPE *_loc=nullptr) {
	return new trmelem_node(a1, a2, _loc);
}
inline Gelem varelem(List<Xrule> a1, const std::string& a2, const YYLTYPE *_loc=nullptr) {
	return new varelem_node(a1, a2, _loc);
}
inline Code vcode(const std::string& a1, const std::string& a2, const std::string& a3, List<Code> a4, List<Vrule> a5, const YYLTYPE *_loc=nullptr) {
	return new vcode_node(a1, a2, a3, a4, a5, _loc);
}
inline Vrule vrule(Node a1, List<Code> a2, const YYLTYPE *_loc=nullptr) {
	return new vrule_node(a1, a2, _loc);
}
inline Xrule xrule(List<Gelem> a1, Gaction a2, const YYLTYPE *_loc=nullptr) {
	return new xrule_node(a1, a2, _loc);
}
}  // namespace ast

#endif
