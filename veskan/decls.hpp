// The declaration recogniser: a hand-written scan of the token list that
// records classes, their members and global names. It is tolerant: what it
// does not understand is skipped to the next ";" or "}" at the same depth.
#ifndef VESKAN_DECLS_HPP
#define VESKAN_DECLS_HPP 1

#include "tables.hpp"
#include "tokens.hpp"

#include <string>
#include <string_view>
#include <vector>

// Token tests by index into lex_list; an index outside the list matches no
// token. They run for nearly every token several times, so they are always
// inlined: the key of a literal text is then worked out by the compiler.
#define VESKAN_INLINE [[gnu::always_inline]] inline
VESKAN_INLINE bool is_lextip(int i, int code) {
  return i >= 0 && i < static_cast<int>(lex_list.size()) && lex_list[i].token == code;
}
// The text of a token other than the end-of-input token.
VESKAN_INLINE const std::string &lex_text_at(int i) {
  return static_cast<ast::lexem_node *>(lex_list[i].value.f1_)->f2_;
}
// The key of lex_info that a token with this text has, for the texts the
// recogniser asks about; -1 for a text that has no key of its own.
VESKAN_INLINE int lexem_key(const char *text) {
  if (text[0] && !text[1]) return static_cast<unsigned char>(text[0]);
  if (std::string_view(text) == "::") return 256;
  if (std::string_view(text) == "<<") return 257;
  return -1;
}
VESKAN_INLINE bool is_lexem(int i, const char *text) {
  if (!is_lextip(i, TOK_LEXEM)) return false;
  int key = lexem_key(text);
  if (key >= 0) return lex_list[i].key == key;
  return std::string_view(lex_text_at(i)) == text;
}
VESKAN_INLINE bool is_ident(int i, const char *text) {
  if (!is_lextip(i, TOK_IDENT)) return false;
  size_t n = std::char_traits<char>::length(text);
  int key = static_cast<int>(std::min<size_t>(n, 255)) << 8 | static_cast<unsigned char>(text[0]);
  return lex_list[i].key == key && std::string_view(lex_text_at(i)) == text;
}
std::string get_ident(int i);
// The index just past the balanced group that opens at i (i+1 when token
// i does not open one); parenthesised groups inside angle brackets are
// skipped whole.
int find_par(int i, const char *open, const char *close);
// Works out once where the parenthesised and angle-bracket groups of the
// current token list end, so that find_par answers for them at once; and
// forgets it again (find_par then walks the list).
void find_group_ends();
void forget_group_ends();
// The index just past the first lexem text at depth 0, skipping
// parenthesised and braced groups; the list's end when there is none.
int skip_lex(int i, const char *text);
// The index of the first lexem at depth 0 that is one of texts, skipping
// parenthesised and braced groups; the list's end when there is none.
int stop_lex(int i, const std::vector<const char *> &texts);
// The index just past the possibly qualified name that starts at i; i when
// token i is no identifier.
int find_name(int i);
// The text of tokens [from, to), template argument lists dropped.
std::string concat_lex(int from, int to);
// 2 for "public", 1 for "protected", 0 for "private", -1 otherwise.
int acs_keyword(int i);

// Scans declarations from index start in the scope of class cls (null at
// file scope) named scope, with the given access; returns the index where
// it stopped (just past a closing "}", or at the end of input).
int process_decls(int start, class_info *cls, std::string scope, int access);
// Records the declarations of the current file's token list.
void trace_decl();

#endif
