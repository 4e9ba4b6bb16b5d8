// Lexing one file into the token list.
#include "scanner.hpp"
#include "tokens.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <streambuf>
#include <sys/stat.h>
#include <unistd.h>

int yydebug_flag = 0;
std::vector<std::pair<dev_t, ino_t>> scanned_files;

int yylex_loop(void *scanner, header_info *info) {
  lex_list.clear();
  for (;;) {
    YYSTYPE value;
    YYLTYPE loc;
    int token = yylex(&value, &loc, scanner);
    if (token == TOK_END) return 0;
    lex_list.emplace_back(token, value, loc);
    if (info) trace_prepr_token(lex_list.back(), *info);
    if (yydebug_flag == 1) {
      std::cout << loc.first.line << ':' << loc.first.column << ' ' << loc.last.line << ':'
                << loc.last.column << ' ';
      lexprint(std::cout, token, value);
      std::cout << std::endl;
    }
  }
}

namespace {

// The bytes of one file, read by the scanner in place.
class memory_buf : public std::streambuf {
public:
  memory_buf(char *from, char *to) { setg(from, from, to); }
};

// Reads the rest of fd, a file of about size bytes, into text. A read
// error ends the text where it happened, as the end of the file would.
void read_all(int fd, off_t size, std::string &text) {
  text.resize(static_cast<size_t>(std::max<off_t>(size, 0)) + 1);
  size_t got = 0;
  for (;;) {
    if (got == text.size()) text.resize(2 * text.size());
    ssize_t n = read(fd, &text[got], text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  text.resize(got);
}

} // namespace

// Lexes the input of scanner, then lets the scanner go.
static int lex_all(void *scanner, header_info *info) {
  int result = yylex_loop(scanner, info);
  yylex_destroy(scanner);
  return result;
}

int yyparse_file(const char *path, bool traced) {
  std::string name(path);
  inpname = base_name(name);
  header_info *info = traced ? &headers[inpname] : nullptr;
  void *scanner = nullptr;
  struct stat st;
  if (name.empty()) {
    if (fstat(STDIN_FILENO, &st) == 0) scanned_files.emplace_back(st.st_dev, st.st_ino);
    yylex_init(&scanner);
    return lex_all(scanner, info);
  }
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  // A directory opens but reads as nothing: it is no source file either.
  if (fd >= 0 && (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))) {
    close(fd);
    fd = -1;
  }
  if (fd < 0) yyerror("Can't open file " + name);
  scanned_files.emplace_back(st.st_dev, st.st_ino);
  // A pipe or a device may never end, and a very large file would take as
  // much memory: those are read as they come.
  const off_t whole_limit = off_t{8} << 20;
  if (!S_ISREG(st.st_mode) || st.st_size > whole_limit) {
    FILE *file = fdopen(fd, "r");
    if (!file) {
      close(fd);
      yyerror("Can't open file " + name);
    }
    yylex_init(&scanner, file, name);
    int result = lex_all(scanner, info);
    std::fclose(file);
    return result;
  }
  // Any other file is read whole into memory and scanned from there, which
  // costs far less than reading it through a FILE: the same bytes, with a
  // UTF-8 byte-order mark at the start left out likewise.
  static std::string text; // kept from file to file, so it grows only to the largest
  read_all(fd, st.st_size, text);
  close(fd);
  char *from = &text[0], *to = from + text.size();
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) from += 3;
  memory_buf bytes(from, to);
  std::istream in(&bytes);
  yylex_init(&scanner, in, name);
  return lex_all(scanner, info);
}
