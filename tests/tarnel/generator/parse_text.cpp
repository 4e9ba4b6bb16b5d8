#include "parse_text.hpp"

#include "options.hpp"
#include "pipeline.hpp"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define LEAKS_IGNORED() __lsan_disable()
#define LEAKS_WATCHED() __lsan_enable()
#else
#define LEAKS_IGNORED() (void)0
#define LEAKS_WATCHED() (void)0
#endif

// The reader, built for these tests with its interpreter hook renamed.
int yyparse(void*);
void yylex_init(void**, const std::string&);
void yylex_destroy(void*);
extern void* yyscanner;
extern const char* yyinputfile;

namespace {
const std::function<void(ast::prog_node*)>* current = nullptr;
}  // namespace

// The parser hands the accepted tree here and frees it afterwards.
void tarnel_test_interpret(ast::Program_domain* root) {
  auto prog = dynamic_cast<ast::prog_node*>(root);
  if (!prog || !current) return;
  // The reader keeps some texts it discards; what the passes allocate is
  // watched for leaks.
  LEAKS_WATCHED();
  (*current)(prog);
  LEAKS_IGNORED();
}

void with_tree(const std::string& text, const std::function<void(ast::prog_node*)>& f) {
  set_input("");
  yyinputfile = "";
  current = &f;
  LEAKS_IGNORED();
  yylex_init(&yyscanner, text);
  yyparse(yyscanner);
  yylex_destroy(yyscanner);
  yyscanner = nullptr;
  LEAKS_WATCHED();
  current = nullptr;
}

void with_rewritten(const std::string& text, const std::function<void(ast::prog_node*)>& f) {
  with_tree(text, [&](ast::prog_node* p) {
    run_rewriting_passes(p);
    f(p);
  });
}

namespace {

std::string alts_text(ast::List<ast::Xrule_domain*> alts);

std::string elem_text(ast::Gelem_domain* e) {
  std::string s;
  if (auto t = dynamic_cast<ast::trmelem_node*>(e)) s = t->f1_;
  if (auto t = dynamic_cast<ast::symelem_node*>(e)) s = t->f1_;
  if (auto g = dynamic_cast<ast::varelem_node*>(e)) s = "(" + alts_text(g->f1_) + ")";
  if (auto g = dynamic_cast<ast::optelem_node*>(e)) s = "[" + alts_text(g->f1_) + "]";
  if (auto g = dynamic_cast<ast::repelem0_node*>(e)) s = "{" + alts_text(g->f1_) + "}";
  if (auto g = dynamic_cast<ast::repelem1_node*>(e)) s = "{" + alts_text(g->f1_) + "}-";
  return s;
}

std::string alt_text(ast::Xrule_domain* a) {
  auto x = dynamic_cast<ast::xrule_node*>(a);
  if (!x) return "?";
  std::string s;
  for (ast::Gelem_domain* e : x->f1_) s += (s.empty() ? "" : " ") + elem_text(e);
  if (auto t = dynamic_cast<ast::gterm_node*>(x->f2_))
    s += (s.empty() ? "<" : " <") + term_text(t->f1_) + ">";
  else if (dynamic_cast<ast::gcode_node*>(x->f2_))
    s += s.empty() ? "{code}" : " {code}";
  return s;
}

std::string alts_text(ast::List<ast::Xrule_domain*> alts) {
  std::string s;
  for (ast::Xrule_domain* a : alts) s += (s.empty() ? "" : " | ") + alt_text(a);
  return s;
}

}  // namespace

std::string term_text(ast::Term_domain* term) {
  if (auto s = dynamic_cast<ast::snode_node*>(term)) return s->f1_;
  auto t = dynamic_cast<ast::tnode_node*>(term);
  if (!t) return "";
  std::string s = t->f1_ + "(";
  bool first = true;
  for (const std::string& a : t->f2_) {
    s += (first ? "" : ",") + a;
    first = false;
  }
  return s + ")";
}

std::string rules_text(ast::List<ast::Grule_domain*> grm) {
  std::string s;
  for (ast::Grule_domain* g : grm)
    if (auto r = dynamic_cast<ast::grmrule_node*>(g))
      for (ast::Xrule_domain* a : r->f2_) s += r->f1_ + ": " + alt_text(a) + "\n";
  return s;
}
