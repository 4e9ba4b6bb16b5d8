#include "emitter.hpp"

#include <cstddef>
#include <set>
#include <vector>

namespace lexgen {

namespace {

// Text of a C++ string literal holding s.
std::string c_string(const std::string& s) {
  static const char digits[] = "01234567";
  std::string out = "\"";
  unsigned char previous = 0;
  for (unsigned char c : s) {
    // A "?" after a "?" is escaped so that no trigraph can form.
    if (c == '\\' || c == '"' || (c == '?' && previous == '?')) {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7f) {
      out += '\\';
      out += digits[c >> 6];
      out += digits[(c >> 3) & 7];
      out += digits[c & 7];
    } else {
      out += static_cast<char>(c);
    }
    previous = c;
  }
  return out + "\"";
}

// Output text that knows its own line count, for #line directives.
class Writer {
 public:
  Writer(const LexFile& lf, const std::string& input, const std::string& output)
      : lines_(!lf.options.noline), input_(c_string(input)), output_(c_string(output)) {}

  Writer& operator<<(const std::string& s) {
    for (char c : s)
      if (c == '\n') ++line_;
    text_ += s;
    return *this;
  }
  Writer& operator<<(long n) { return *this << std::to_string(n); }

  // Code copied from the description, framed by #line directives.
  void code(const CodeBlock& b) {
    if (b.text.empty()) return;
    if (lines_) *this << "#line " << b.line << " " << input_ << "\n";
    *this << b.text;
    if (lines_) *this << "#line " << (line_ + 1) << " " << output_ << "\n";
  }

  std::string take() { return std::move(text_); }

 private:
  bool lines_;
  std::string input_;
  std::string output_;
  long line_ = 1;
  std::string text_;
};

// Per start condition, the rules active in it (indices into lf.rules) and
// the rule whose action each one runs, with "|" resolved within the state.
struct StateRules {
  std::vector<int> rules;
  std::vector<int> actions;
  int eof = -1;
};

std::vector<StateRules> state_rules(const LexFile& lf) {
  std::vector<StateRules> all(lf.states.size());
  for (std::size_t s = 0; s < lf.states.size(); ++s) {
    StateRules& st = all[s];
    const int state = static_cast<int>(s);
    for (std::size_t i = 0; i < lf.rules.size(); ++i) {
      const Rule& r = lf.rules[i];
      if (!lf.active(r, state)) continue;
      if (r.eof) {
        if (st.eof < 0) st.eof = static_cast<int>(i);
      } else {
        st.rules.push_back(static_cast<int>(i));
      }
    }
    st.actions.assign(st.rules.size(), -1);
    int next = -1;
    for (std::size_t k = st.rules.size(); k-- > 0;) {
      const Rule& r = lf.rules[st.rules[k]];
      if (!r.fall_through) {
        next = st.rules[k];
      } else if (next < 0) {
        throw LexError(r.line, "the action | has no rule after it in start condition " +
                                   lf.states[s].name);
      }
      st.actions[k] = next;
    }
  }
  return all;
}

const char* const bridge_error =
    "yyFlexLexer::yylex invoked but %option bison-bridge and/or bison-locations is used";

void emit_class(Writer& w, const LexFile& lf) {
  w << "enum {";
  for (std::size_t s = 0; s < lf.states.size(); ++s)
    w << (s ? ", " : " ") << lf.states[s].name << " = " << static_cast<long>(s);
  w << " };\n\n";
  w << "class yyFlexLexer : public reflex::FlexLexer<reflex::Matcher> {\n";
  for (const CodeBlock& b : lf.klass) w.code(b);
  w << " public:\n"
       "  yyFlexLexer(const reflex::Input& yy_input = reflex::Input(),\n"
       "              std::ostream* yy_output = nullptr)\n"
       "      : reflex::FlexLexer<reflex::Matcher>(yy_input, yy_output) {\n";
  if (lf.options.interactive) w << "    interactive_ = true;\n";
  for (const CodeBlock& b : lf.init) w.code(b);
  w << "  }\n";
  if (lf.options.bison_bridge) {
    w << "  int yylex() override {\n"
         "    LexerError(" << c_string(bridge_error) << ");\n"
         "    return 0;\n"
         "  }\n"
         "  virtual int yylex(YYSTYPE& yylval);\n";
  } else {
    w << "  int yylex() override;\n";
  }
  w << "};\n\n"
       "typedef void* yyscan_t;\n"
       "typedef yyFlexLexer yyscanner_t;\n\n";
}

void emit_plain_functions(Writer& w, const LexFile& lf) {
  const char* const cast = "static_cast<yyscanner_t*>(yyscanner)";
  if (lf.options.bison_bridge)
    w << "int yylex(YYSTYPE* yy_value, yyscan_t yyscanner) {\n"
         "  return " << cast << "->yylex(*yy_value);\n}\n";
  w << "void yylex_init(yyscan_t* yyscanner) { *yyscanner = new yyscanner_t; }\n"
       "void yylex_init_extra(void* yy_user, yyscan_t* yyscanner) {\n"
       "  yyscanner_t* yy_lexer = new yyscanner_t;\n"
       "  yy_lexer->yyextra = yy_user;\n"
       "  *yyscanner = yy_lexer;\n}\n"
       "void yylex_destroy(yyscan_t yyscanner) { delete " << cast << "; }\n"
       "const char* yyget_text(yyscan_t yyscanner) { return " << cast << "->text(); }\n"
       "size_t yyget_leng(yyscan_t yyscanner) { return " << cast << "->size(); }\n"
       "int yyget_lineno(yyscan_t yyscanner) { return " << cast << "->lineno(); }\n"
       "FILE* yyget_in(yyscan_t yyscanner) { return " << cast << "->in().file(); }\n"
       "int yyget_debug(yyscan_t yyscanner) { return " << cast << "->debug(); }\n"
       "void* yyget_extra(yyscan_t yyscanner) { return " << cast << "->yyextra; }\n"
       "void yyset_lineno(int yy_line, yyscan_t yyscanner) { " << cast << "->lineno(yy_line); }\n"
       "void yyset_in(FILE* yy_file, yyscan_t yyscanner) { " << cast << "->in(reflex::Input(yy_file)); }\n"
       "void yyset_debug(int yy_flag, yyscan_t yyscanner) { " << cast << "->set_debug(yy_flag); }\n"
       "void yyset_extra(void* yy_user, yyscan_t yyscanner) { " << cast << "->yyextra = yy_user; }\n\n";
}

void emit_tables(Writer& w, const LexFile& lf, const std::vector<StateRules>& states) {
  w << "namespace {\n\n"
       "// The pattern of each start condition, compiled on first use.\n"
       "const reflex::Pattern& yy_state_pattern(int yy_state) {\n"
       "  switch (yy_state) {\n";
  for (std::size_t s = 0; s < states.size(); ++s) {
    std::string re = state_regex(lf, static_cast<int>(s));
    std::string init = re.find('\0') == std::string::npos
                           ? c_string(re)
                           : "std::string(" + c_string(re) + ", " + std::to_string(re.size()) + ")";
    w << (s + 1 < states.size() ? "    case " + std::to_string(s) + ": {\n" : "    default: {\n")
      << "      // " << lf.states[s].name << "\n"
      << "      static const reflex::Pattern yy_pattern(" << init << ");\n"
      << "      return yy_pattern;\n"
      << "    }\n";
  }
  w << "  }\n}\n\n"
       "// Per start condition: the action of each rule of its pattern.\n";
  for (std::size_t s = 0; s < states.size(); ++s) {
    w << "const int yy_actions_" << static_cast<long>(s) << "[] = {0";
    for (int a : states[s].actions) w << ", " << static_cast<long>(a + 1);
    w << "};\n";
  }
  w << "const int* const yy_actions[] = {";
  for (std::size_t s = 0; s < states.size(); ++s)
    w << (s ? ", " : "") << "yy_actions_" << static_cast<long>(s);
  w << "};\n\n}  // namespace\n\n";
}

void emit_initial_code(Writer& w, const LexFile& lf) {
  if (!lf.has_initial_code) return;
  if (lf.states.size() == 1) {
    w.code(lf.initial_code);
    return;
  }
  // Code before a "default:" label runs in INITIAL only, after it in
  // every start condition.
  w << "#pragma GCC diagnostic push\n"
       "#pragma GCC diagnostic ignored \"-Wimplicit-fallthrough\"\n"
       "  switch (start()) {\n"
       "  case INITIAL:\n";
  w.code(lf.initial_code);
  w << "  break;\n  }\n"
       "#pragma GCC diagnostic pop\n";
}

// `any_eof`: whether some start condition has an end-of-input rule.
void emit_eof(Writer& w, const LexFile& lf, const std::vector<StateRules>& states, bool any_eof) {
  if (!any_eof) {
    w << "      return 0;\n";
    return;
  }
  w << "      unsigned long yy_inputs = yy_input_changes();\n"
       "      switch (yy_state) {\n";
  std::set<int> done;
  for (std::size_t s = 0; s < states.size(); ++s) {
    int rule = states[s].eof;
    if (rule < 0 || done.count(rule)) continue;
    done.insert(rule);
    for (std::size_t t = s; t < states.size(); ++t)
      if (states[t].eof == rule) w << "      case " << static_cast<long>(t) << ":\n";
    w << "      {\n";
    w.code(lf.rules[rule].action);
    w << "      }\n      break;\n";
  }
  // A chain of start conditions without a repeat is at most this long.
  const long changes = static_cast<long>(states.size());
  w << "      default:\n"
       "        return 0;\n"
       "      }\n"
       "      // An end-of-input action that neither returned nor gave new\n"
       "      // input ends the scan, unless it changed the start condition:\n"
       "      // then that one's end-of-input action runs, at most as many\n"
       "      // times in a row as there are start conditions.\n"
       "      if (yy_inputs != yy_input_changes() || !matcher().at_end())\n"
       "        yy_eof_changes = 0;\n"
       "      else if (start() == yy_state || ++yy_eof_changes >= " << changes << ")\n"
       "        return 0;\n"
       "      continue;\n";
}

void emit_yylex(Writer& w, const LexFile& lf, const std::vector<StateRules>& states) {
  const long n = static_cast<long>(states.size());
  if (lf.options.bison_bridge)
    w << "int yyFlexLexer::yylex(YYSTYPE& yylval) {\n  (void)yylval;\n";
  else
    w << "int yyFlexLexer::yylex() {\n";
  // Code at the top of the rules sees the matcher and a valid start
  // condition; without it the loop below sees to both.
  if (lf.has_initial_code)
    w << "  matcher();\n"
         "  if (start() < 0 || start() >= " << n << ") start(INITIAL);\n";
  bool any_eof = false;
  for (const StateRules& st : states) any_eof = any_eof || st.eof >= 0;
  if (any_eof) w << "  int yy_eof_changes = 0;\n";
  emit_initial_code(w, lf);
  w << "  for (;;) {\n"
       "    int yy_state = start();\n"
       "    if (yy_state < 0 || yy_state >= " << n << ") {\n"
       "      start(INITIAL);\n"
       "      yy_state = INITIAL;\n"
       "    }\n"
       "    size_t yy_rule = yy_scan_state(yy_state, yy_state_pattern);\n"
       "    if (yy_rule == 0) {\n"
       "      if (!matcher().at_end()) {\n"
       "        // No rule matches here: copy one byte to the output, after\n"
       "        // the text that yymore() kept.\n"
       "        if (size() == 0) {\n"
       "          output(static_cast<char>(matcher().input()));\n"
       "        } else {\n"
       "          std::string yy_kept(text(), size());\n"
       "          yy_kept += static_cast<char>(matcher().input());\n"
       "          LexerOutput(yy_kept.data(), yy_kept.size());\n"
       "        }\n"
       "        continue;\n"
       "      }\n";
  if (lf.options.yywrap)
    w << "      {\n"
         "        unsigned long yy_inputs = yy_input_changes();\n"
         "        if (wrap() && yy_inputs != yy_input_changes()) continue;\n"
         "      }\n";
  emit_eof(w, lf, states, any_eof);
  w << "    }\n"
       "    switch (yy_actions[yy_state][yy_rule]) {\n";
  std::set<int> used;
  for (const StateRules& st : states) used.insert(st.actions.begin(), st.actions.end());
  for (int a : used) {
    w << "    case " << static_cast<long>(a + 1) << ": {\n"
         "      YY_USER_ACTION\n";
    w.code(lf.rules[a].action);
    w << "    }\n    YY_BREAK\n";
  }
  w << "    default:\n"
       "      break;\n"
       "    }\n"
       "  }\n"
       "}\n\n";
}

}  // namespace

std::string regex_prefix(const LexFile& lf) { return lf.options.case_insensitive ? "(?mi)" : "(?m)"; }

std::string state_regex(const LexFile& lf, int state) {
  std::string re = regex_prefix(lf);
  bool first = true;
  for (const Rule& r : lf.rules) {
    if (r.eof || !lf.active(r, state)) continue;
    if (!first) re += '|';
    re += "(" + r.regex + ")";
    first = false;
  }
  return re;
}

std::string emit_scanner(const LexFile& lf, const std::string& input,
                         const std::string& output) {
  std::vector<StateRules> states = state_rules(lf);
  Writer w(lf, input, output);
  w << "// Scanner generated by lexgen from " << input << "; do not edit.\n";
  for (const CodeBlock& b : lf.top) w.code(b);
  w << "#include <reflex/flexlexer.h>\n\n";
  emit_class(w, lf);
  emit_plain_functions(w, lf);
  for (const CodeBlock& b : lf.code) w.code(b);
  w << "\n";
  emit_tables(w, lf, states);
  emit_yylex(w, lf, states);
  if (lf.has_user_code) w.code(lf.user_code);
  return w.take();
}

}  // namespace lexgen
