// reflex::FlexLexer: the scanner base class of flex-style scanners, and the
// macros their actions use.
#ifndef REFLEX_FLEXLEXER_H
#define REFLEX_FLEXLEXER_H

#include <cstddef>
#include <iostream>

#include "reflex/abslexer.h"

namespace reflex {

template <typename M>
class FlexLexer : public AbstractLexer<M> {
 public:
  explicit FlexLexer(const Input& input = Input(), std::ostream* os = nullptr)
      : AbstractLexer<M>(input, os ? *os : std::cout) {}

  bool wrap() override { return yywrap() == 0; }
  void lexer_error(const char* message) override { LexerError(message); }

  // Reads from `input` from now on, and writes to os unless it is null.
  virtual void switch_streams(const Input& input, std::ostream* os) {
    this->in(input);
    if (os) this->os_ = os;
  }
  // At the end of input: 0 when new input has been set up, else 1.
  virtual int yywrap() { return 1; }
  virtual int yylex() = 0;
  // Reads up to size bytes of the current input into buf; 0 at its end.
  virtual int LexerInput(char* buf, std::size_t size) {
    return static_cast<int>(this->in().get(buf, size));
  }
  virtual void LexerOutput(const char* s, std::size_t size) {
    this->out().write(s, static_cast<std::streamsize>(size));
  }
  // The message and a newline on standard error, then exit status 2.
  virtual void LexerError(const char* message) { AbstractLexer<M>::lexer_error(message); }

  const char* YYText() const { return this->text(); }
  std::size_t YYLeng() const { return this->size(); }
  void output(char c) { LexerOutput(&c, 1); }
};

}  // namespace reflex

// Names that rule actions use, as in flex.
#ifndef YY_USER_ACTION
#define YY_USER_ACTION
#endif
#ifndef YY_BREAK
#define YY_BREAK break;
#endif
#define yytext text()
#define yyleng size()
#define yylineno lineno()
#define yyin in()
#define yyout out()
#define YY_START start()
#define BEGIN start_ =
#define ECHO LexerOutput(text(), size())
#define yyless(n) matcher().less(static_cast<size_t>(n))
#define yymore() matcher().more()
#define yyterminate() return 0
#define yy_push_state(n) push_state(n)
#define yy_pop_state() pop_state()
#define yy_top_state() top_state()

#endif
