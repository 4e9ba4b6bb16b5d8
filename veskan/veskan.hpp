// veskan's token nodes and token value.
//
// Every token the scanner returns carries one ast::Lexem_domain node: the
// token's text together with the blanks, comments and preprocessor lines in
// front of it (the "material"), or, at the end of input, the material after
// the last token. The scanner source includes this header first.
#ifndef VESKAN_HPP
#define VESKAN_HPP 1

#include "ast_runtime.hpp"
#include "scanner_glue.hpp"

#include <cstddef>
#include <cstring>
#include <ostream>
#include <string>
#include <utility>

// Token codes.
enum {
  TOK_END = 0,      // end of input, nothing pending
  TOK_CONST = 1001, // number, character, string or raw string literal
  TOK_EOF = 1002,   // end of input with material still pending
  TOK_IDENT = 1003, // identifier (keywords included)
  TOK_LEXEM = 1004  // "::", "<<" or any other single character
};

namespace ast {

// Token nodes are made and freed by the million, file after file; they come
// from pools of fixed-size blocks that are reused for every file. Only the
// main thread makes and frees them.
void *node_alloc(std::size_t size);
void node_free(void *p, std::size_t size);

struct Space_domain : _domain {
  explicit Space_domain(const YYLTYPE *_loc = nullptr) : _domain(_loc) {}
  static void *operator new(std::size_t size) { return node_alloc(size); }
  static void operator delete(void *p, std::size_t size) { node_free(p, size); }
};
typedef Space_domain *Space;

// The list cells of the material lists come from the same pools: the list
// type's own cell, with pooled allocation added.
template <> struct List<Space_domain *>::Node {
  Space_domain *head;
  Node *tail;
  Node(Space_domain *const &h, Node *t) : head(h), tail(t) {}
  static void *operator new(std::size_t size) { return node_alloc(size); }
  static void operator delete(void *p, std::size_t size) { node_free(p, size); }
};

struct Lexem_domain : _domain {
  explicit Lexem_domain(const YYLTYPE *_loc = nullptr) : _domain(_loc) {}
  static void *operator new(std::size_t size) { return node_alloc(size); }
  static void operator delete(void *p, std::size_t size) { node_free(p, size); }
};
typedef Lexem_domain *Lexem;

// A token: the material in front of it and its text.
struct lexem_node : Lexem_domain {
  List<Space_domain *> f1_;
  std::string f2_;
  lexem_node(List<Space_domain *> a1, std::string a2, const YYLTYPE *_loc = nullptr)
      : Lexem_domain(_loc), f1_(a1), f2_(std::move(a2)) {}
  lexem_node(List<Space_domain *> a1, const char *text, std::size_t len, const YYLTYPE *_loc)
      : Lexem_domain(_loc), f1_(a1), f2_(text, len) {}
  ~lexem_node() override { destroy(f1_); }
};

// End of input with the material after the last token.
struct eoflex_node : Lexem_domain {
  List<Space_domain *> f1_;
  explicit eoflex_node(List<Space_domain *> a1, const YYLTYPE *_loc = nullptr)
      : Lexem_domain(_loc), f1_(a1) {}
  ~eoflex_node() override { destroy(f1_); }
};

// A whole preprocessor line, continuation lines included.
struct prepr_node : Space_domain {
  std::string f1_;
  explicit prepr_node(std::string a1, const YYLTYPE *_loc = nullptr)
      : Space_domain(_loc), f1_(std::move(a1)) {}
  prepr_node(const char *text, std::size_t len, const YYLTYPE *_loc)
      : Space_domain(_loc), f1_(text, len) {}
};

// A run of blanks.
struct spaces_node : Space_domain {
  std::string f1_;
  explicit spaces_node(std::string a1, const YYLTYPE *_loc = nullptr)
      : Space_domain(_loc), f1_(std::move(a1)) {}
  spaces_node(const char *text, std::size_t len, const YYLTYPE *_loc)
      : Space_domain(_loc), f1_(text, len) {}
};

// One comment.
struct comment_node : Space_domain {
  std::string f1_;
  explicit comment_node(std::string a1, const YYLTYPE *_loc = nullptr)
      : Space_domain(_loc), f1_(std::move(a1)) {}
  comment_node(const char *text, std::size_t len, const YYLTYPE *_loc)
      : Space_domain(_loc), f1_(text, len) {}
};

// The texts are taken by value: the scanner hands over each matched text
// without a second copy.
Lexem_domain *lexem(List<Space_domain *> a1, std::string a2, const YYLTYPE *_loc);
Lexem_domain *eoflex(List<Space_domain *> a1, const YYLTYPE *_loc);
Space_domain *prepr(std::string a1, const YYLTYPE *_loc);
Space_domain *spaces(std::string a1, const YYLTYPE *_loc);
Space_domain *comment(std::string a1, const YYLTYPE *_loc);
// The same from a matched text, built in place in the node.
Lexem_domain *lexem(List<Space_domain *> a1, const char *text, std::size_t len,
                    const YYLTYPE *_loc);
Space_domain *prepr(const char *text, std::size_t len, const YYLTYPE *_loc);
Space_domain *spaces(const char *text, std::size_t len, const YYLTYPE *_loc);
Space_domain *comment(const char *text, std::size_t len, const YYLTYPE *_loc);

int astprint(std::ostream &s, Lexem_domain *v, int indent = 0, const char *suffix = nullptr);
int astprint(std::ostream &s, Space_domain *v, int indent = 0, const char *suffix = nullptr);

} // namespace ast

// The value of a token: always its node.
union YYSTYPE {
  ast::Lexem_domain *f1_;
};
#define YYSTYPE_IS_DECLARED 1
#define YYSTYPE_IS_TRIVIAL 1

template <typename T> T &YYSTYPE_cast(YYSTYPE &v);
template <> inline ast::Lexem_domain *&YYSTYPE_cast<ast::Lexem_domain *>(YYSTYPE &v) {
  return v.f1_;
}

inline void yyclear_attr(YYSTYPE &v) { std::memset(static_cast<void *>(&v), 0, sizeof v); }

// The material collected by the scanner since its last token; the next
// token's node takes it over.
extern ast::List<ast::Space_domain *> space_list;
// Whether blanks and comments go into the material lists (the default).
// Nothing but the token dump reads them, so a run without the dump leaves
// them out and keeps only the preprocessor lines; the tokens, and the end
// of input token after trailing material, stay the same.
extern bool keep_blanks;
// Whether the tokens and material nodes get their ranges (the default).
// Only the token dump prints them, and counting lines and columns at every
// match costs as much as a tenth of the scan, so a run without the dump
// does not set them: they stay zero until a raw string literal, which gets
// its own for the position of "RE error", and later tokens keep that one.
extern bool keep_positions;
// Blanks or comments were matched since the last token but not kept.
extern bool blanks_pending;

// Prints one token for the token dump.
void lexprint(std::ostream &s, int token, YYSTYPE &value);

#endif
