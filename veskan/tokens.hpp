// The token list of the file being scanned and the scan of its
// preprocessor lines.
#ifndef VESKAN_TOKENS_HPP
#define VESKAN_TOKENS_HPP 1

#include "tables.hpp"
#include "veskan.hpp"

#include <sys/types.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

struct lex_info {
  int token;     // token code
  YYSTYPE value; // the token's node
  YYLTYPE loc;   // the token's range
  // A short key of the token's text, kept beside the code so that the
  // token tests of the declaration recogniser seldom need the node: for a
  // lexem its one character, or 256 for "::" and 257 for "<<"; for an
  // identifier its first character and length (capped at 255) as
  // length << 8 | character; 0 otherwise and for other lexems.
  int key;
  lex_info(int t, YYSTYPE v, YYLTYPE l) : token(t), value(v), loc(l), key(key_of(t, v)) {}

  static int key_of(int t, YYSTYPE v) {
    if ((t != TOK_LEXEM && t != TOK_IDENT) || !v.f1_) return 0;
    const std::string &text = static_cast<ast::lexem_node *>(v.f1_)->f2_;
    if (text.empty()) return 0;
    int first = static_cast<unsigned char>(text[0]);
    if (t == TOK_IDENT) return static_cast<int>(std::min<size_t>(text.size(), 255)) << 8 | first;
    if (text.size() == 1) return first;
    if (text == "::") return 256;
    if (text == "<<") return 257;
    return 0;
  }
};

// The tokens of the current file, in order; never holds code 0. The
// records do not own their nodes: free_list deletes them.
extern std::vector<lex_info> lex_list;
// The files lexed so far, as the system knows them (device and inode), so
// that the summary is never written over one of them.
extern std::vector<std::pair<dev_t, ino_t>> scanned_files;
// Base name of the current file.
extern std::string inpname;
// The current file is taken as C; cleared when a token "class" is seen.
extern bool inplang_c;
// Debug level; 1 prints every token as the file is lexed.
extern int yydebug_flag;

// Lexes one file ("" reads standard input) into lex_list. With traced,
// the preprocessor scan (trace_prepr) is done on the way, each token as it
// arrives, while its material is still in the cache; it gives what
// trace_prepr after the whole file gives, since lexing reads nothing that
// the scan writes.
int yyparse_file(const char *path, bool traced = false);
// Fills lex_list from the scanner, printing the tokens at debug level 1;
// with info, each token goes through the preprocessor scan as it arrives.
int yylex_loop(void *scanner, header_info *info = nullptr);

// Records the includes and macros of the current file's preprocessor lines.
void trace_prepr();
// The same for one token of the current file (whose entry is info).
void trace_prepr_token(const lex_info &t, header_info &info);
// The same over the material in front of one token.
void trace_prepr1(ast::List<ast::Space_domain *> list, header_info &info);
// Deletes the nodes of the token list.
void free_list();
// Deletes the token list's nodes and the material not yet handed to a
// token; run at exit, so that a run ended by an error mid-file frees them.
void release_tokens();

// The text after the last "/" or "\" of a path.
std::string base_name(const std::string &path);

#endif
