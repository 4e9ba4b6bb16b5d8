#ifndef TARNEL_H
#define TARNEL_H 1

#ifndef ASTTYPES_H
#define ASTTYPES_H 1
#include <string.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <iostream>
#include <exception>
#include <utility>
#include <vector>
#include <initializer_list>

struct YYPTYPE {
  int line;
  short file;
  short column;
};
struct YYLTYPE {
  YYPTYPE first;
  YYPTYPE last;
  YYLTYPE(int fl = 0, int fc = 0, int ll = 0, int lc = 0, int ff = 0) {
    first.line = fl;
    first.column = static_cast<short>(fc);
    first.file = static_cast<short>(ff);
    last.line = ll;
    last.column = static_cast<short>(lc);
    last.file = static_cast<short>(ff);
  }
};
#define YYLTYPE_IS_DECLARED 1
#define YYLTYPE_IS_TRIVIAL 1

namespace ast {
template <typename T> inline void destroy(T &) {}
template <typename T> inline void destroy(T *&p) {
  if (p) delete p;
  p = nullptr;
}
inline void destroy(void *&p) { p = nullptr; }

template <typename T> class Maybe {
  int _assigned;
  T _value;
  void check() const {
    if (!_assigned) throw std::logic_error("value isn't assigned");
  }
public:
  Maybe() = default;
  explicit Maybe(const T &v) : _assigned(1), _value(v) {}
  Maybe(const Maybe<T> &) = default;
  Maybe(std::nullptr_t) : _assigned(0), _value() {}
  operator T() const { check(); return _value; }
  operator bool() const { return _assigned != 0; }
  bool operator!() const { return _assigned == 0; }
  Maybe<T> operator~() const { check(); return Maybe<T>(~_value); }
  Maybe<T> operator-() const { check(); return Maybe<T>(-_value); }
  Maybe<T> &operator=(const T &v) { _assigned = 1; _value = v; return *this; }
  Maybe<T> &operator=(std::nullptr_t) { _assigned = 0; return *this; }
  Maybe<T> &operator=(const Maybe<T> &) = default;
  Maybe<T> &operator+=(const T &v) { check(); _value += v; return *this; }
  Maybe<T> &operator-=(const T &v) { check(); _value -= v; return *this; }
  Maybe<T> &operator*=(const T &v) { check(); _value *= v; return *this; }
  Maybe<T> &operator/=(const T &v) { check(); _value /= v; return *this; }
  Maybe<T> &operator%=(const T &v) { check(); _value %= v; return *this; }
  Maybe<T> &operator<<=(const T &v) { check(); _value <<= v; return *this; }
  Maybe<T> &operator>>=(const T &v) { check(); _value >>= v; return *this; }
  Maybe<T> &operator&=(const T &v) { check(); _value &= v; return *this; }
  Maybe<T> &operator|=(const T &v) { check(); _value |= v; return *this; }
  Maybe<T> &operator^=(const T &v) { check(); _value ^= v; return *this; }
  Maybe<T> &operator++() { check(); ++_value; return *this; }
  Maybe<T> &operator--() { check(); --_value; return *this; }
  T *operator&() { _assigned = 1; return &_value; }
  friend std::istream &operator>>(std::istream &in, Maybe<T> &m) {
    m._assigned = 1;
    return in >> m._value;
  }
  friend std::ostream &operator<<(std::ostream &out, const Maybe<T> &m) {
    m.check();
    return out << m._value;
  }
};
#define AST_MAYBE_BINARY_(op)                                              \
  template <typename T>                                                    \
  Maybe<T> operator op(const Maybe<T> &a, const Maybe<T> &b) {             \
    Maybe<T> r(a);                                                         \
    r op## = static_cast<T>(b);                                            \
    return r;                                                              \
  }
AST_MAYBE_BINARY_(+)
AST_MAYBE_BINARY_(-)
AST_MAYBE_BINARY_(*)
AST_MAYBE_BINARY_(/)
AST_MAYBE_BINARY_(%)
AST_MAYBE_BINARY_(<<)
AST_MAYBE_BINARY_(>>)
AST_MAYBE_BINARY_(&)
AST_MAYBE_BINARY_(|)
AST_MAYBE_BINARY_(^)
#undef AST_MAYBE_BINARY_
template <typename T> bool operator==(const Maybe<T> &a, const Maybe<T> &b) {
  if (!a || !b) return !a && !b;
  return static_cast<T>(a) == static_cast<T>(b);
}
template <typename T> bool operator<(const Maybe<T> &a, const Maybe<T> &b) {
  if (!b) return false;
  if (!a) return true;
  return static_cast<T>(a) < static_cast<T>(b);
}
template <typename T> bool operator!=(const Maybe<T> &a, const Maybe<T> &b) { return !(a == b); }
template <typename T> bool operator>(const Maybe<T> &a, const Maybe<T> &b) { return b < a; }
template <typename T> bool operator<=(const Maybe<T> &a, const Maybe<T> &b) { return !(b < a); }
template <typename T> bool operator>=(const Maybe<T> &a, const Maybe<T> &b) { return !(a < b); }
template <typename T> Maybe<T> operator++(Maybe<T> &m, int) {
  Maybe<T> r(m);
  ++m;
  return r;
}
template <typename T> Maybe<T> operator--(Maybe<T> &m, int) {
  Maybe<T> r(m);
  --m;
  return r;
}

template <> class Maybe<std::string> {
  size_t _len;
  char *_str;
  void check() const {
    if (!_str) throw std::logic_error("value isn't assigned");
  }
  void del_ptr() {
    if (_str) free(_str);
    _str = nullptr;
    _len = 0;
  }
  // Copies the text up to its NUL; the stored length never exceeds what
  // was copied, so at(), operator[] and substr() stay inside the buffer.
  void new_ptr(const char *s, size_t l) {
    _str = s ? strdup(s) : nullptr;
    size_t copied = _str ? strlen(_str) : 0;
    _len = l < copied ? l : copied;
  }
  void replace(const char *s, size_t l) {
    char *old = _str;
    new_ptr(s, l);
    if (old) free(old);
  }
public:
  Maybe() = default;
  explicit Maybe(const char *s) { new_ptr(s, s ? strlen(s) : 0); }
  Maybe(const char *s, int l) { new_ptr(s, l < 0 ? 0 : static_cast<size_t>(l)); }
  explicit Maybe(const std::string &s) { new_ptr(s.c_str(), s.size()); }
  Maybe(const Maybe<std::string> &) = default;
  Maybe(std::nullptr_t) : _len(0), _str(nullptr) {}
  operator std::string() const { check(); return std::string(_str); }
  operator bool() const { return _str != nullptr; }
  bool operator!() const { return _str == nullptr; }
  const char *c_str() const { check(); return _str; }
  size_t size() const { check(); return _len; }
  size_t length() const { check(); return _len; }
  char operator[](size_t i) const { check(); return _str[i]; }
  char at(size_t i) const {
    check();
    if (i >= _len) throw std::out_of_range("index out of range");
    return _str[i];
  }
  // A part of the whole stored text (the copy ends at its NUL), whatever
  // length was stored with it.
  std::string substr(size_t i, size_t n = std::string::npos) const {
    check();
    return std::string(_str).substr(i, n);
  }
  // The new copy is made before the old text is freed, so assigning a
  // text that points into this value's own text is safe.
  Maybe<std::string> &operator=(const std::string &s) {
    replace(s.c_str(), s.size());
    return *this;
  }
  Maybe<std::string> &operator=(const char *s) {
    replace(s, s ? strlen(s) : 0);
    return *this;
  }
  Maybe<std::string> &operator=(std::nullptr_t) { del_ptr(); return *this; }
  Maybe<std::string> &operator=(const Maybe<std::string> &) = default;
  Maybe<std::string> &operator+=(const std::string &s) {
    check();
    return *this = std::string(_str) + s;
  }
  Maybe<std::string> &operator+=(const char *s) {
    check();
    return *this = std::string(_str) + s;
  }
  Maybe<std::string> &operator+=(char c) {
    check();
    return *this = std::string(_str) + c;
  }
  friend std::istream &operator>>(std::istream &in, Maybe<std::string> &m) {
    std::string w;
    in >> w;
    m = w;
    return in;
  }
  friend std::ostream &operator<<(std::ostream &out, const Maybe<std::string> &m) {
    m.check();
    return out << m._str;
  }
  friend void destroy(Maybe<std::string> &v) { v.del_ptr(); }
};
template <typename T> T operator+(const T &a, const Maybe<T> &b) { return a + static_cast<T>(b); }
template <typename T> T operator+(const Maybe<T> &a, const T &b) { return static_cast<T>(a) + b; }
template <typename T> bool operator==(const T &a, const Maybe<T> &b) { return b && a == static_cast<T>(b); }
template <typename T> bool operator==(const Maybe<T> &a, const T &b) { return a && static_cast<T>(a) == b; }
template <typename T> bool operator<(const T &a, const Maybe<T> &b) { return b && a < static_cast<T>(b); }
template <typename T> bool operator<(const Maybe<T> &a, const T &b) { return !a || static_cast<T>(a) < b; }
template <typename T> bool operator!=(const T &a, const Maybe<T> &b) { return !(a == b); }
template <typename T> bool operator!=(const Maybe<T> &a, const T &b) { return !(a == b); }
template <typename T> bool operator>(const T &a, const Maybe<T> &b) { return b < a; }
template <typename T> bool operator>(const Maybe<T> &a, const T &b) { return b < a; }
template <typename T> bool operator<=(const T &a, const Maybe<T> &b) { return !(b < a); }
template <typename T> bool operator<=(const Maybe<T> &a, const T &b) { return !(b < a); }
template <typename T> bool operator>=(const T &a, const Maybe<T> &b) { return !(a < b); }
template <typename T> bool operator>=(const Maybe<T> &a, const T &b) { return !(a < b); }

template <typename T> class List;
template <typename T> List<T> cons(const T &p);
template <typename T> List<T> cons(List<T> l, const T &p);
template <typename T> List<T> cons(const T &p, List<T> l);

template <typename T> List<T> cons(const Maybe<T> &p);
template <typename T> List<T> cons(List<T> l, const Maybe<T> &p);
template <typename T> List<T> cons(const Maybe<T> &p, List<T> l);

template <typename T> List<T> cons(List<T> l1, List<T> l2);
template <typename T> List<T> begin(List<T> l);
template <typename T> List<T> end(List<T> l);
template <typename T> bool operator==(const List<T> &a, const List<T> &b);
template <typename T> List<T> &operator++(List<T> &l);
template <typename T> void destroy(List<T> &l);
template <typename T> class List {
  struct Node {
    T head;
    Node *tail;
    Node(const T &h, Node *t) : head(h), tail(t) {}
  };
  Node *first;
  Node *last;
  size_t _size;
  void add_last(Node *n) {
    n->tail = nullptr;
    ++_size;
    if (last) last->tail = n; else first = n;
    last = n;
  }
  void add_first(Node *n) {
    n->tail = first;
    ++_size;
    if (!last) last = n;
    first = n;
  }
public:
  List() = default;
  List(std::nullptr_t) : first(nullptr), last(nullptr), _size(0) {}
  List(std::initializer_list<T> v);
  T &operator*() { return first->head; }
  T *operator->() { return &first->head; }
  T &operator[](size_t i);
  size_t size() const { return _size; }
  template <typename UnaryPredicate> List<T> split(UnaryPredicate pred);
  List<T> &operator=(std::nullptr_t) {
    first = last = nullptr;
    _size = 0;
    return *this;
  }
  friend List<T> cons<>(const T &p);
  friend List<T> cons<>(List<T> l, const T &p);
  friend List<T> cons<>(const T &p, List<T> l);

  friend List<T> cons<>(const Maybe<T> &p);
  friend List<T> cons<>(List<T> l, const Maybe<T> &p);
  friend List<T> cons<>(const Maybe<T> &p, List<T> l);

  template <typename U> friend List<U *> cons(U *p);
  template <typename U> friend List<U *> cons(List<U *> l, U *p);
  template <typename U> friend List<U *> cons(U *p, List<U *> l);
  friend List<T> cons<>(List<T> l1, List<T> l2);
  friend List<T> begin<>(List<T> l);
  friend List<T> end<>(List<T> l);
  friend void destroy<>(List<T> &l);
  friend bool operator==<>(const List<T> &a, const List<T> &b);
  friend List<T> &operator++<>(List<T> &l);
  operator bool() const { return first != nullptr; }
  bool operator!() const { return first == nullptr; }
};
template <typename T> void destroy(List<T> &l) {
  for (List<T> r = begin(l); r != end(l);) {
    typename List<T>::Node *n = r.first;
    ++r;
    destroy(n->head);
    delete n;
  }
  l = nullptr;
}
template <typename T>
template <typename UnaryPredicate>
List<T> List<T>::split(UnaryPredicate pred) {
  List<T> r1(nullptr), r2(nullptr);
  for (List<T> r = begin(*this); r != end(*this);) {
    Node *n = r.first;
    ++r;
    if (pred(n->head)) r1.add_last(n); else r2.add_last(n);
  }
  *this = r2;
  return r1;
}
template <typename T>
List<T>::List(std::initializer_list<T> v) : first(nullptr), last(nullptr), _size(0) {
  for (const T &e : v) add_last(new Node(e, nullptr));
}
template <typename T> T &List<T>::operator[](size_t i) {
  if (i >= _size)
    throw std::out_of_range("index " + std::to_string(i) + " is out List's size " +
                            std::to_string(_size));
  if (i == 0) return first->head;
  if (i == _size - 1) return last->head;
  Node *n = first;
  while (i--) n = n->tail;
  return n->head;
}
template <typename T> List<T> cons(const T &p) {
  List<T> r(nullptr);
  r.add_last(new typename List<T>::Node(p, nullptr));
  return r;
}
template <typename T> List<T> cons(List<T> l, const T &p) {
  if (!l) return cons(p);
  l.add_last(new typename List<T>::Node(p, nullptr));
  return l;
}
template <typename T> List<T> cons(const T &p, List<T> l) {
  if (!l) return cons(p);
  l.first = new typename List<T>::Node(p, l.first);
  ++l._size;
  return l;
}
template <typename T> List<T> cons(List<T> l) { return l; }

template <typename T> List<T> cons(const Maybe<T> &p) {
  if (!p) return List<T>(nullptr);
  return cons(static_cast<T>(p));
}
template <typename T> List<T> cons(List<T> l, const Maybe<T> &p) {
  if (!p) return l;
  return cons(l, static_cast<T>(p));
}
template <typename T> List<T> cons(const Maybe<T> &p, List<T> l) {
  if (!p) return l;
  return cons(static_cast<T>(p), l);
}

template <typename T> List<T *> cons(T *p) {
  if (!p) return List<T *>(nullptr);
  List<T *> r(nullptr);
  r.add_last(new typename List<T *>::Node(p, nullptr));
  return r;
}
template <typename T> List<T *> cons(List<T *> l, T *p) {
  if (!p) return l;
  if (!l) return cons(p);
  l.add_last(new typename List<T *>::Node(p, nullptr));
  return l;
}
template <typename T> List<T *> cons(T *p, List<T *> l) {
  if (!p) return l;
  if (!l) return cons(p);
  l.first = new typename List<T *>::Node(p, l.first);
  ++l._size;
  return l;
}
template <typename T> List<T> cons(List<T> l1, List<T> l2) {
  if (!l1) return l2;
  if (!l2) return l1;
  l1.last->tail = l2.first;
  l1.last = l2.last;
  l1._size += l2._size;
  return l1;
}
template <typename T> List<T> begin(List<T> l) { return l; }
template <typename T> List<T> end(List<T> l) {
  l.first = nullptr;
  l._size = 0;
  return l;
}
template <typename T> bool operator==(const List<T> &a, const List<T> &b) {
  return a.first == b.first && a.last == b.last;
}
template <typename T> bool operator!=(const List<T> &a, const List<T> &b) { return !(a == b); }
template <typename T> List<T> &operator++(List<T> &l) {
  if (l.first == l.last) l.first = nullptr; else l.first = l.first->tail;
  --l._size;
  return l;
}
template <typename T> List<T> operator++(List<T> &l, int) {
  List<T> r(l);
  ++l;
  return r;
}

#ifndef AST_BASE_DOMAIN
#define AST_BASE_DOMAIN 1
struct _domain {

  YYLTYPE yyloc;
  _domain(const YYLTYPE *_loc) {
    if (_loc) yyloc = *_loc;
    else memset(static_cast<void *>(&yyloc), 0, sizeof(yyloc));
  }

  virtual ~_domain(){}
};
#endif
}
#endif
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
}
using namespace ast;
int yyliteral(const std::string&);
int yywrap();
int yyparse(void*);
extern const char* yyinputfile;
extern int yydebug_flag;
union YYSTYPE {
  Code f16_;
  Decl f2_;
  Gaction f22_;
  Gelem f6_;
  Grule f9_;
  Laction f11_;
  List<Code> f15_;
  List<Decl> f21_;
  List<Gelem> f27_;
  List<Grule> f20_;
  List<Lrule> f19_;
  List<Mrule> f25_;
  List<Symbol> f3_;
  List<Vrule> f26_;
  List<Xrule> f7_;
  List<std::string> f5_;
  Lrule f10_;
  Mrule f14_;
  Node f17_;
  Program f18_;
  Symbol f4_;
  Term f13_;
  Vrule f24_;
  Xrule f8_;
  ast::Maybe<int> f23_;
  ast::Maybe<std::string> f1_;
  ast::Maybe<std::string> f12_;
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
void yyinterpret(Program);
#define YYINTERPRET(ast) yyinterpret(ast)
#define YYONERROR exit(1)
extern void* yyscanner;

#include "options.hpp"
#include "collect.hpp"
#include "scanner_glue.hpp"
extern std::string re_str;
#define YYARGINIT(argc,argv) get_args(argc,argv)
#define YYINIT(name) set_input(name)

namespace ast {
#ifndef ASTPRINT_BUILTIN
#define ASTPRINT_BUILTIN 1
static inline void print_char(std::ostream &s, char v) {
  switch (v) {
  case '\n': s << "\\n"; break;
  case '\'': case '\\': case '"': s << '\\' << v; break;
  default: s << v;
  }
}
static inline void print_indent(std::ostream &s, int i) {
  s << '\n';
  if (i) {
    s.width(i);
    s << ' ';
  }
}
static inline int astprint(std::ostream &s, char v, int = 0, const char *p = nullptr) {
  s << '\'';
  print_char(s, v);
  s << '\'';
  if (p) s << p;
  return 0;
}
static inline int astprint(std::ostream &s, const std::string &v, int = 0,
                           const char *p = nullptr) {
  s << '"';
  for (char c : v) print_char(s, c);
  s << '"';
  if (p) s << p;
  return 0;
}
template <typename T> int astprint(std::ostream &s, T v, int = 0, const char *p = nullptr) {
  s << v;
  if (p) s << p;
  return 0;
}
#endif

template <typename T> int astprint(std::ostream &s, Maybe<T> v, int = 0, const char *p = nullptr) {
  if (!v) s << "nullptr";
  else astprint(s, static_cast<T>(v), 0, nullptr);
  if (p) s << p;
  return 0;
}

template <typename T>
int astprint(std::ostream &s, const std::vector<T> &v, int i = 0, const char *p = nullptr) {
  int broken = 0;
  s << '{';
  for (size_t k = 0; k < v.size(); ++k) {
    if (k) s << ',';
    if (astprint(s, v[k], i + 2, nullptr)) broken = 1;
  }
  if (broken) print_indent(s, i);
  s << '}';
  if (p) s << p;
  return broken;
}

template <typename T> int astprint(std::ostream &s, List<T> v, int i = 0, const char *p = nullptr) {
  int broken = 0;
  s << '[';
  for (List<T> r = begin(v); r != end(v); ++r) {
    if (r != begin(v)) s << ',';
    if (astprint(s, *r, i + 2, nullptr)) broken = 1;
  }
  if (broken) print_indent(s, i);
  s << ']';
  if (p) s << p;
  return broken;
}
}
#endif
