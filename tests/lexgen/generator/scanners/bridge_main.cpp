// Drives the bridge test scanner through its plain functions:
//   bridge_main file NAME | string NAME | stream NAME | misuse | getters
#include <cstring>
#include <fstream>
#include <sstream>

#include "bridge.hpp"

void yyerror(YYLTYPE* loc, void* scanner, const char* message) {
  std::cout << std::flush;
  std::cerr << yylex_filename(scanner, loc->last.file) << ":" << loc->last.line
            << ":" << loc->last.column << ": " << message << std::endl;
  std::exit(1);
}

namespace {

void print_range(const YYLTYPE& l) {
  std::cout << " @" << l.first.line << ":" << l.first.column << "-" << l.last.line
            << ":" << l.last.column << " file " << l.first.file << "/" << l.last.file;
}

void scan_all(yyscan_t scanner) {
  YYSTYPE value;
  YYLTYPE loc;
  int token;
  while ((token = yylex(&value, &loc, scanner)) != 0) {
    std::cout << token;
    if (!value.f1_.empty()) std::cout << " \"" << value.f1_ << "\"";
    if (value.f2_) std::cout << " " << value.f2_;
    print_range(loc);
    std::cout << "\n";
  }
  std::cout << "end; again " << yylex(&value, &loc, scanner) << "\n";
  std::cout << "names: [" << yylex_filename(scanner, -1) << "] ["
            << yylex_filename(scanner, 0) << "] [" << yylex_filename(scanner, 5)
            << "] [" << yylex_filename(nullptr, 0) << "]\n";
}

std::string contents(const char* name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 3;
  yyscan_t scanner = nullptr;
  std::string mode = argv[1];
  if (mode == "getters") {
    // Before the first scan: "", 0 and line 1; then the setters.
    int extra = 5;
    yylex_init_extra(&extra, &scanner);
    std::cout << "text [" << yyget_text(scanner) << "] leng " << yyget_leng(scanner)
              << " line " << yyget_lineno(scanner) << " debug " << yyget_debug(scanner)
              << " extra " << *static_cast<int*>(yyget_extra(scanner)) << "\n";
    yyset_lineno(10, scanner);
    yyset_debug(1, scanner);
    int other = 6;
    yyset_extra(&other, scanner);
    FILE* file = argc > 2 ? std::fopen(argv[2], "rb") : nullptr;
    if (!file) return 3;
    yyset_in(file, scanner);
    std::cout << "line " << yyget_lineno(scanner) << " debug " << yyget_debug(scanner)
              << " extra " << *static_cast<int*>(yyget_extra(scanner)) << " same file "
              << (yyget_in(scanner) == file) << "\n";
    YYSTYPE value;
    YYLTYPE loc;
    int token = yylex(&value, &loc, scanner);
    std::cout << "token " << token << " text [" << yyget_text(scanner) << "] leng "
              << yyget_leng(scanner) << " line " << yyget_lineno(scanner) << "\n";
    yylex_destroy(scanner);
    yylex_destroy(nullptr);
    std::fclose(file);
    return 0;
  }
  // A string must outlive the scanner that reads it, as with RE/flex.
  std::string text;
  if (mode == "misuse") {
    text = "x";
    yylex_init(&scanner, text);
    bridge_misuse(scanner);
    std::cout << "not reached\n";
    return 0;
  }
  if (argc < 3) return 3;
  FILE* file = nullptr;
  std::ifstream stream;
  if (mode == "file") {
    file = std::fopen(argv[2], "rb");
    if (!file) return 3;
    yylex_init(&scanner, file, argv[2]);
  } else if (mode == "string") {
    text = contents(argv[2]);
    yylex_init(&scanner, text);
  } else if (mode == "stream") {
    stream.open(argv[2], std::ios::binary);
    yylex_init(&scanner, stream, argv[2]);
  } else {
    return 3;
  }
  scan_all(scanner);
  yylex_destroy(scanner);
  if (file) std::fclose(file);
  return 0;
}
