// Turning the description's action code into C++ text for the output files.
//
// Code is translated in the mode held in gen_mode (options.hpp): 0 user code
// (code sections, and the bodies of "match" rules and visitors), 1 a lexer
// rule action (runs in the generated scanner), 2 a grammar rule action ("$"
// references stay for Bison). Every call carries two numbers besides the
// code: the node number k (0 outside any "match" or visitor; the bodies of a
// "match" or visitor opened at k run at k+1 and see the matched node as
// _node<k+1>) and the field count n (how many numbered references "$1".."$n"
// are valid at this point).
//
// Errors are fatal and go through yyerror(YYLTYPE*, const std::string&) with
// the range of the offending code.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>

#include "tarnel.hpp"

// The user_factory flag of the node kind that the last value term built; 0
// when it built no declared node kind. The grammar writer reads it right
// after the term.
extern unsigned char node_flag;

// Whether a visitor may stand in the code being written: only in the code
// section after the last "%%", which the driver source writer writes (and
// sets this for) with the visitors' method bodies after it. Elsewhere (the
// header, the ".lex", the ".grm") a visitor could never build.
extern bool visitor_allowed;

// Writes one code piece, translating it when it is a reference ("$$", "@$",
// "$" and a number from 1); `loc` is reported on error.
void gen_coderef(std::ostream& out, const std::string& ref, int k, int n, YYLTYPE* loc);
// A #line directive for `line` (nothing unless line_flag is on and line is 2
// or more), then indentation up to `column`.
void show_line(std::ostream& out, int line, int column);
// Writes a code list.
void gen_code(std::ostream& out, ast::List<ast::Code_domain*> code, int k, int n);
// The same, preceded by a #line directive for the first node; an empty list
// writes nothing.
void gen_code_line(std::ostream& out, ast::List<ast::Code_domain*> code, int k, int n);
// A code section that other text follows on the next line (node number 0,
// no fields): with `line` as gen_code_line writes it, else as gen_code; a
// newline ends it unless it is empty or already ends in one.
void gen_code_section(std::ostream& out, ast::List<ast::Code_domain*> code, bool line);
// Writes the value term of a lexer or grammar action as a C++ expression; n
// is the number of elements that numbered references may name.
void gen_code(std::ostream& out, ast::Term_domain* term, int n);

// An output stream that writes through to another one and counts the lines
// written, so that a #line directive can point back into the file itself.
// Write errors show in the state of the stream written to.
class line_counting_stream : public std::ostream {
 public:
  explicit line_counting_stream(std::ostream& target);
  // The number of the line being written, from 1.
  int line() const { return buf_.newlines + 1; }
  // Whether nothing has been written on the current line yet.
  bool at_line_start() const { return buf_.last == '\n'; }

 private:
  struct counting_buf : std::streambuf {
    explicit counting_buf(std::ostream& t) : target(t) {}
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;
    std::ostream& target;
    int newlines = 0;
    char last = '\n';
  };
  counting_buf buf_;
};

// Ends the current line, unless nothing is written on it, and writes a
// #line directive that gives the following lines their own numbers in
// `file`, the path of the file being written: after description code, whose
// lines carry the description's numbers. Nothing with option noline.
void show_own_line(line_counting_stream& out, const std::string& file);
