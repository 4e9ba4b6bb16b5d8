// Factories and printers of veskan's token nodes.
#include "veskan.hpp"

#include <memory>
#include <vector>

ast::List<ast::Space_domain *> space_list(nullptr);
bool keep_blanks = true;
bool keep_positions = true;
bool blanks_pending = false;

namespace ast {

namespace {
// One free list per block size, in steps of 8 bytes; blocks are carved from
// chunks that live until the process ends.
struct free_block {
  free_block *next;
};
const std::size_t pool_step = 8;
const std::size_t pool_sizes = 16;
const std::size_t chunk_blocks = 4096;
free_block *free_lists[pool_sizes];
std::vector<std::unique_ptr<char[]>> chunks;
} // namespace

// With AddressSanitizer every node is a heap block of its own, so that
// misuse of freed nodes is still caught.
void *node_alloc(std::size_t size) {
  std::size_t k = (size + pool_step - 1) / pool_step - 1;
#ifdef __SANITIZE_ADDRESS__
  k = pool_sizes;
#endif
  if (k >= pool_sizes) return ::operator new(size);
  if (free_block *b = free_lists[k]) {
    free_lists[k] = b->next;
    return b;
  }
  std::size_t block = (k + 1) * pool_step;
  chunks.emplace_back(new char[block * chunk_blocks]);
  char *chunk = chunks.back().get();
  for (std::size_t i = chunk_blocks - 1; i > 0; --i) {
    auto b = reinterpret_cast<free_block *>(chunk + i * block);
    b->next = free_lists[k];
    free_lists[k] = b;
  }
  return chunk;
}

void node_free(void *p, std::size_t size) {
  std::size_t k = (size + pool_step - 1) / pool_step - 1;
#ifdef __SANITIZE_ADDRESS__
  k = pool_sizes;
#endif
  if (k >= pool_sizes) {
    ::operator delete(p);
    return;
  }
  auto b = static_cast<free_block *>(p);
  b->next = free_lists[k];
  free_lists[k] = b;
}

Lexem_domain *lexem(List<Space_domain *> a1, std::string a2, const YYLTYPE *_loc) {
  return new lexem_node(a1, std::move(a2), _loc);
}

Lexem_domain *eoflex(List<Space_domain *> a1, const YYLTYPE *_loc) {
  return new eoflex_node(a1, _loc);
}

Space_domain *prepr(std::string a1, const YYLTYPE *_loc) {
  return new prepr_node(std::move(a1), _loc);
}

Space_domain *spaces(std::string a1, const YYLTYPE *_loc) {
  return new spaces_node(std::move(a1), _loc);
}

Space_domain *comment(std::string a1, const YYLTYPE *_loc) {
  return new comment_node(std::move(a1), _loc);
}

Lexem_domain *lexem(List<Space_domain *> a1, const char *text, std::size_t len,
                    const YYLTYPE *_loc) {
  return new lexem_node(a1, text, len, _loc);
}

Space_domain *prepr(const char *text, std::size_t len, const YYLTYPE *_loc) {
  return new prepr_node(text, len, _loc);
}

Space_domain *spaces(const char *text, std::size_t len, const YYLTYPE *_loc) {
  return new spaces_node(text, len, _loc);
}

Space_domain *comment(const char *text, std::size_t len, const YYLTYPE *_loc) {
  return new comment_node(text, len, _loc);
}

// "name(" text ")": the closing parenthesis goes on a line of its own when
// the text broke lines.
static int print_text_node(std::ostream &s, const char *name, const std::string &text, int indent) {
  print_indent(s, indent);
  s << name << '(';
  int n = astprint(s, text, indent + 1, nullptr);
  if (n) print_indent(s, indent);
  s << ')';
  return n + 1;
}

int astprint(std::ostream &s, Space_domain *v, int indent, const char *suffix) {
  int n = 0;
  if (!v) {
    s << "nullptr";
  } else if (auto c = dynamic_cast<comment_node *>(v)) {
    n = print_text_node(s, "comment", c->f1_, indent);
  } else if (auto p = dynamic_cast<prepr_node *>(v)) {
    n = print_text_node(s, "prepr", p->f1_, indent);
  } else if (auto b = dynamic_cast<spaces_node *>(v)) {
    n = print_text_node(s, "spaces", b->f1_, indent);
  }
  if (suffix) s << suffix;
  return n;
}

int astprint(std::ostream &s, Lexem_domain *v, int indent, const char *suffix) {
  int n = 0;
  if (!v) {
    s << "nullptr";
  } else if (auto e = dynamic_cast<eoflex_node *>(v)) {
    print_indent(s, indent);
    s << "eoflex(";
    int k = astprint(s, e->f1_, indent + 1, nullptr);
    if (k) print_indent(s, indent);
    s << ')';
    n = k + 1;
  } else if (auto l = dynamic_cast<lexem_node *>(v)) {
    print_indent(s, indent);
    s << "lexem(";
    int k = astprint(s, l->f1_, indent + 1, ",");
    k += astprint(s, l->f2_, indent + 1, nullptr);
    if (k) print_indent(s, indent);
    s << ')';
    n = k + 1;
  }
  if (suffix) s << suffix;
  return n;
}

} // namespace ast

void lexprint(std::ostream &s, int token, YYSTYPE &value) {
  static const char *const names[] = {"?const?", "?eof?", "?ident?", "?lexem?"};
  if (token == 1) {
    s << "undef";
  } else if (token < 256) {
    ast::astprint(s, static_cast<char>(token));
  } else if (token >= TOK_CONST && token <= TOK_LEXEM) {
    s << names[token - TOK_CONST] << " : ";
    ast::astprint(s, YYSTYPE_cast<ast::Lexem_domain *>(value), 0, nullptr);
  }
}
