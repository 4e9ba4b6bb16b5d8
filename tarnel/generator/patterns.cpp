#include "patterns.hpp"

#include <reflex/pattern.h>

#include <exception>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "checks.hpp"
#include "driver.hpp"
#include "options.hpp"
#include "pattern.hpp"
#include "tables.hpp"
#include "writer_parts.hpp"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// What is wrong, on one line. A position that the run-time library adds
// counts in the translated expression, which the description does not show,
// so it is left out.
std::string problem_of(const std::exception& e) {
  std::string m = e.what();
  m = m.substr(0, m.find('\n'));
  const std::string at = " at position ";
  const std::size_t p = m.rfind(at);
  if (p != std::string::npos && p + at.size() < m.size() &&
      m.find_first_not_of("0123456789", p + at.size()) == std::string::npos)
    m.erase(p);
  return m;
}

// Whether a regex matches nothing but the empty text, as "" and "()" do:
// no scanner generator takes such a rule.
bool is_empty_regex(std::string re) {
  for (bool changed = true; changed;) {
    changed = false;
    for (const std::string empty : {"(?:)", "()"}) {
      for (std::size_t at; (at = re.find(empty)) != std::string::npos; changed = true)
        re.erase(at, empty.size());
    }
  }
  return re.empty();
}

class pattern_checker {
 public:
  // The named pattern `name`, whose pattern starts at text[pos].
  void define(const std::string& name, const std::string& text, std::size_t pos, YYLTYPE* loc) {
    // The scanner generator takes a name once.
    if (named_.count(name)) yyerror(loc, "Redefined named pattern " + name);
    lexgen::FragmentPtr f = translate(text, pos, false, loc);
    compile(expand(*f, loc), loc);
    named_[name] = f;
  }

  // A rule's pattern as the ".lex" writes it.
  void rule(const std::string& written, YYLTYPE* loc) {
    lexgen::FragmentPtr f = translate(written, 0, true, loc);
    const std::string re = expand(*f, loc);
    if (is_empty_regex(re)) yyerror(loc, "Empty pattern");
    // Among the rules of its start state the pattern is one alternative,
    // which the run-time library refuses when it is bad or empty: empty
    // when the pattern alone compiles, as one made only of a comment
    // "(?#...)", an empty "\Q\E" or "(?i:)" does.
    try {
      reflex::Pattern alternative(prefix() + "(" + re + ")|x");
    } catch (const std::exception&) {
      compile(re, loc);
      yyerror(loc, "Empty pattern");
    }
  }

 private:
  // The pattern from text[pos] to the end of the text, which must be all of
  // it: what a blank leaves over would be read as the rule's action.
  lexgen::FragmentPtr translate(const std::string& text, std::size_t pos, bool rule, YYLTYPE* loc) {
    lexgen::FragmentPtr f;
    const std::size_t start = pos;
    try {
      f = lexgen::translate_pattern(text, pos, named_, rule, loc->last.line);
    } catch (const lexgen::LexError& e) {
      yyerror(loc, std::string("Bad pattern: ") + e.what());
    }
    if (text.find_first_not_of(" \t", pos) != std::string::npos)
      yyerror(loc, "Bad pattern: a blank ends it after " + text.substr(start, pos - start));
    return f;
  }

  std::string expand(const lexgen::Fragment& f, YYLTYPE* loc) {
    try {
      return lexgen::expand_pattern(f, loc->last.line);
    } catch (const lexgen::LexError& e) {
      yyerror(loc, std::string("Bad pattern: ") + e.what());
    }
    return std::string();
  }

  // Compiled with the flags that the scanner generator puts in front of the
  // rules of a start state.
  void compile(const std::string& re, YYLTYPE* loc) {
    try {
      reflex::Pattern pattern(prefix() + "(" + re + ")");
    } catch (const std::exception& e) {
      yyerror(loc, "Bad pattern: " + problem_of(e));
    }
  }

  static std::string prefix() { return case_flag ? "(?mi)" : "(?m)"; }

  lexgen::NamedPatterns named_;
};

// The "%code lex" blocks as the ".lex" carries them. Writing them has one
// effect that must happen once, when the file is written: the bodies of a
// visitor in them go to vout.
std::vector<std::string> lex_code_texts() {
  const std::string bodies = vout.str();
  const int mode = gen_mode;
  gen_mode = 0;
  std::vector<std::string> texts = lex_code_blocks();
  gen_mode = mode;
  vout.str(bodies);
  vout.clear();
  vout.seekp(0, std::ios_base::end);
  return texts;
}

// Whether `line` starts with the directive `word`, as a word of its own.
bool is_directive(const std::string& line, const char* word) {
  const std::size_t n = std::char_traits<char>::length(word);
  return line.compare(0, n, word) == 0 && (line.size() == n || is_blank(line[n]));
}

// The named patterns of the "%code lex" blocks, read as the scanner
// generator reads its definitions: a line that starts with a name defines
// one; code blocks, indented lines, comments and directives define none. A
// bad one is reported at its line (at the block's first line and column for
// the text that stands on the line of "%{"). So is a start state that a
// "%x" or "%s" line declares a second time: the ".lex" declares those of
// the rules after these blocks, and INITIAL is there from the start.
void define_lex_code_patterns(pattern_checker& checker) {
  std::set<std::string> states = lex_states;
  states.insert("INITIAL");
  bool in_block = false;
  bool in_comment = false;
  const std::vector<std::string> texts = lex_code_texts();
  for (std::size_t b = 0; b < texts.size(); ++b) {
    if (!lexcode_blocks[b]) continue;
    const ast::Code_domain* first = *lexcode_blocks[b];
    std::istringstream lines(texts[b]);
    int k = 0;
    for (std::string line; std::getline(lines, line); ++k) {
      const int l = first->yyloc.first.line + k;
      const int c = k == 0 ? first->yyloc.first.column : 1;
      YYLTYPE loc(l, c, l, c);
      if (line.empty()) {
        continue;
      } else if (in_block) {
        in_block = line.compare(0, 2, "%}") != 0;
      } else if (in_comment) {
        in_comment = line.find("*/") == std::string::npos;
      } else if (line.compare(0, 2, "/*") == 0) {
        in_comment = line.find("*/", 2) == std::string::npos;
      } else if (line[0] == '%') {
        if (is_directive(line, "%x") || is_directive(line, "%s")) {
          std::istringstream names(line.substr(2));
          for (std::string name; names >> name;) {
            if (is_reserved_state_name(name))
              yyerror(&loc, "Start state " + name + " is a reserved name");
            if (!states.insert(name).second) yyerror(&loc, "Redefined start state " + name);
          }
        }
        // "%{", "%top{", "%class {", "%init{" open a block of code.
        in_block = line.find('{') != std::string::npos;
      } else if (lexgen::is_name_start(line[0])) {
        std::size_t p = 0;
        while (p < line.size() && lexgen::is_name_char(line[p])) ++p;
        if (p == line.size() || !is_blank(line[p])) continue;
        const std::string name = line.substr(0, p);
        while (p < line.size() && is_blank(line[p])) ++p;
        if (p == line.size()) continue;
        checker.define(name, line, p, &loc);
      }
    }
  }
}

}  // namespace

void check_patterns(ast::List<ast::Decl_domain*> decls, ast::List<ast::Lrule_domain*> lex) {
  pattern_checker checker;
  define_lex_code_patterns(checker);
  for (ast::Decl_domain* d : decls) {
    auto def = dynamic_cast<ast::declre_node*>(d);
    if (!def) continue;
    std::ostringstream written;
    print_re(written, def->f2_);
    checker.define(def->f1_, written.str(), 0, &def->yyloc);
  }
  for (ast::Lrule_domain* l : lex) {
    auto rule = dynamic_cast<ast::lexrule_node*>(l);
    if (!rule || rule->f2_ == "<<EOF>>") continue;
    std::ostringstream written;
    print_re(written, rule->f2_);
    checker.rule(written.str(), &rule->yyloc);
  }
}
