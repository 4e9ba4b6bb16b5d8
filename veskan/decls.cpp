// The declaration recogniser.
//
// There is no C++ grammar here: one recursive scan walks the token list of
// the current file by index and records what it finds. Each class body,
// braced extern block and named namespace is one nested call that returns
// just past its closing "}". Every walk is bounded by the end of the list
// and the end-of-input token, and every loop moves forward.
#include "decls.hpp"

#include <cassert>
#include <cstring>

namespace {

int list_end() { return static_cast<int>(lex_list.size()); }

// The text of a token, empty for the end-of-input token.
const std::string &tok_text(int i) {
  static const std::string none;
  const lex_info &t = lex_list[i];
  if (t.token == TOK_EOF || !t.value.f1_) return none;
  return static_cast<ast::lexem_node *>(t.value.f1_)->f2_;
}

// The end of input: the end-of-input token or the end of the list.
bool at_end(int i) { return i >= list_end() || lex_list[i].token == TOK_EOF; }

bool is_one_of(int i, const std::vector<const char *> &texts) {
  for (const char *t : texts)
    if (is_lexem(i, t)) return true;
  return false;
}

// Inside a class body every tolerant skip stops before an access label
// ("public:", "protected:", "private:"), so that the scope's loop sees it
// and a misread declaration does not carry its access over the members
// after it. Set by each scope for its own extent.
bool labels_stop = false;

// Whether "namespace" may be the keyword in the current file: everywhere
// but in a C source (.c). Headers (.h) are often C++ with nothing else to
// tell them by ("namespace std { namespace __detail { struct X ..."). Set
// per file by trace_decl.
bool namespace_keyword = true;

// Where a tolerant skip stops, because the statement being skipped cannot
// reach past it: an access label inside a class body, and the keyword
// "namespace" where it begins a namespace, before a name or "{" (a macro
// call without ";" in front of a namespace would otherwise take the whole
// namespace along). Elsewhere, and as the tag of a C structure ("struct
// namespace {"), it is taken for the ordinary name that it is in C ("const
// char *namespace;").
bool at_skip_stop(int i) {
  if (!is_lextip(i, TOK_IDENT)) return false;
  if (namespace_keyword && is_ident(i, "namespace") &&
      (is_lextip(i + 1, TOK_IDENT) || is_lexem(i + 1, "{")) &&
      !(i > 0 && (is_ident(i - 1, "struct") || is_ident(i - 1, "union") || is_ident(i - 1, "enum"))))
    return true;
  return labels_stop && is_lexem(i + 1, ":") &&
         (is_ident(i, "public") || is_ident(i, "protected") || is_ident(i, "private"));
}

} // namespace

std::string get_ident(int i) { return is_lextip(i, TOK_IDENT) ? tok_text(i) : std::string(); }

namespace {

// Where the parenthesised and angle-bracket groups of the current token
// list end, worked out once per file. A group that never closes runs to the
// end of the list, and text building looks at such groups again and again
// ("operator<", "a < b" in a default argument): walking each of them anew
// would make the scan quadratic in the length of the file. The exchange of
// records in a class head moves only a "}" and a name, so the ends stay
// right for the whole scan.
struct group_ends {
  bool ready = false;
  std::vector<int> paren; // for each "(": the index just past its group
  std::vector<int> angle; // for each "<": the index just past its group
};
group_ends ends;

} // namespace

void find_group_ends() {
  int n = list_end();
  // Only the entries of "(" and "<" are read, each written below, so the
  // tables keep their room from file to file and are not filled first.
  static std::vector<int> open, after;
  ends.paren.resize(n);
  ends.angle.resize(n);
  after.resize(n + 1);
  open.clear();
  // The bracket token i is, or 0.
  auto bracket = [](int i) {
    const lex_info &t = lex_list[i];
    return t.token == TOK_LEXEM ? t.key : 0;
  };
  for (int i = 0; i < n; ++i) {
    int b = bracket(i);
    if (b == '(') {
      ends.paren[i] = n; // unless it closes
      open.push_back(i);
    } else if (b == ')' && !open.empty()) {
      ends.paren[open.back()] = i + 1;
      open.pop_back();
    }
  }
  // From the right: after[j] is where a walk that is one angle bracket deep
  // at j ends (just past the ">" that closes it, or the end of the list).
  // Groups inside it are stepped over whole, their ends known already.
  after[n] = n;
  for (int j = n - 1; j >= 0; --j) {
    int b = bracket(j);
    if (b == '(') {
      after[j] = after[ends.paren[j]];
    } else if (b == '<') {
      ends.angle[j] = after[j + 1];
      // Inside a group, "<=" compares ("X<sizeof(T) <= 8>").
      after[j] = is_lexem(j + 1, "=") ? after[j + 1] : after[ends.angle[j]];
    } else if (b == '>') {
      after[j] = j + 1;
    } else {
      after[j] = after[j + 1];
    }
  }
  ends.ready = true;
}

void forget_group_ends() { ends.ready = false; }

namespace {

int scan_group(int i, const char *open, const char *close) {
  bool angle = std::strcmp(open, "<") == 0;
  int depth = 0;
  do {
    if (angle && is_lexem(i, "(")) {
      i = find_par(i, "(", ")");
    } else {
      if (is_lexem(i, open) && !(angle && depth > 0 && is_lexem(i + 1, "="))) ++depth;
      else if (is_lexem(i, close)) --depth;
      ++i;
    }
  } while (depth > 0 && i < list_end());
  return i;
}

} // namespace

int find_par(int i, const char *open, const char *close) {
  if (ends.ready && i >= 0 && i < list_end()) {
    bool angle = open[0] == '<' && open[1] == 0;
    if ((angle || (open[0] == '(' && open[1] == 0)) && is_lexem(i, "(")) return ends.paren[i];
    if (angle && is_lexem(i, "<")) return ends.angle[i];
  }
  return scan_group(i, open, close);
}

int stop_lex(int i, const std::vector<const char *> &texts) {
  while (i < list_end()) {
    if (is_one_of(i, texts) || at_skip_stop(i)) return i;
    if (is_lexem(i, "(")) i = find_par(i, "(", ")");
    else if (is_lexem(i, "{")) i = find_par(i, "{", "}");
    else ++i;
  }
  return list_end();
}

int skip_lex(int i, const char *text) {
  int k = stop_lex(i, {text});
  return k < list_end() && !at_skip_stop(k) ? k + 1 : k;
}

int find_name(int i) {
  for (;;) {
    if (!is_lextip(i, TOK_IDENT)) return i;
    if (is_ident(i, "operator") && i + 1 < list_end()) {
      // The name ends before the parameter list: "operator()" and
      // "operator==" alike.
      for (int k = i + 2; k < list_end(); ++k)
        if (is_lexem(k, "(")) return k;
      return list_end();
    }
    int c = i + 1;
    if (is_lexem(c, "<")) c = find_par(c, "<", ">");
    if (is_lexem(c, "::") && is_lextip(c + 1, TOK_IDENT)) i = c + 1;
    else if (is_lexem(c, "::") && is_lexem(c + 1, "~")) i = c + 2;
    else return c;
  }
}

std::string concat_lex(int from, int to) {
  std::string text;
  int prev = -1;
  for (int i = from; i < to && i < list_end();) {
    if (prev >= 0) {
      bool blank = is_lexem(prev, ",");
      if (!blank && is_lextip(i, TOK_IDENT))
        blank = is_lextip(prev, TOK_IDENT) || is_lexem(prev, "*") || is_lexem(prev, "&");
      if (blank) text += ' ';
    }
    text += tok_text(i);
    prev = i;
    if (i + 1 < to && is_lexem(i + 1, "<")) i = find_par(i + 1, "<", ">");
    else ++i;
  }
  return text;
}

int acs_keyword(int i) {
  if (is_ident(i, "public")) return ACS_PUBLIC;
  if (is_ident(i, "private")) return ACS_PRIVATE;
  if (is_ident(i, "protected")) return ACS_PROTECTED;
  return -1;
}

namespace {

// The scope a statement is read in and the marks of the statement.
struct scope_info {
  class_info *cls;          // null at file scope
  const std::string &scope; // qualified name of cls, or empty
  int access;
  bool friend_mark;
};

// Where one statement leaves the scan: go on at next, or leave the scope
// and return next.
struct step {
  int next;
  bool leave;
};

void record(const scope_info &sc, int kind, const std::string &entry) {
  if (!sc.cls || sc.friend_mark) add_global(entry, inpname);
  else add_toclass(sc.cls, sc.access + 3 * kind, entry);
}

// After a statement that ends at i: a ";" there is stepped over.
int past_semicolon(int i) { return is_lexem(i, ";") ? i + 1 : i; }

// The declared name of a declaration that starts at s: the first name
// directly followed by one of "(", ";", ",", "=", "[" or "{". The search
// ends at a ";" or "}" at its own depth and at the end of input; then
// found is false and next is where the statement's scan goes on (past the
// ";", at the "}", or at the end).
struct declared_name {
  bool found = false;
  int j = 0, k = 0; // the name is tokens [j, k)
  int b = 0;        // just past the leading run of names before it
  int next = 0;
};

declared_name find_declared(int s) {
  static const std::vector<const char *> stops = {"(", ";", ",", "=", "[", "{"};
  declared_name d;
  d.b = s;
  bool in_run = true;
  int depth = 0;
  int i = s;
  while (!at_end(i)) {
    if (depth == 0 && at_skip_stop(i)) {
      d.next = i;
      return d;
    }
    int e = find_name(i);
    if (e == i) {
      if (depth == 0 && is_lexem(i, ";")) {
        d.next = i + 1;
        return d;
      }
      if (depth == 0 && is_lexem(i, "}")) {
        d.next = i;
        return d;
      }
      if (is_lexem(i, "(") || is_lexem(i, "[") || is_lexem(i, "{")) ++depth;
      else if (depth > 0 && (is_lexem(i, ")") || is_lexem(i, "]") || is_lexem(i, "}"))) --depth;
      in_run = false;
      ++i;
      continue;
    }
    if (is_one_of(e, stops)) {
      d.found = true;
      d.j = i;
      d.k = e;
      return d;
    }
    if (in_run) d.b = e;
    i = e;
  }
  d.next = i < list_end() ? i : list_end();
  return d;
}

// The end of a constructor's member initialiser list at i (its ":"): each
// initialiser is a possibly qualified name with a parenthesised or braced
// argument list, and they are separated by ",". Returns the index after the
// last one (where the body's "{" should be), or i when the text there is no
// such list.
int initialisers_end(int i) {
  int c = i;
  do {
    int e = find_name(c + 1);
    if (e == c + 1) return i;
    if (is_lexem(e, "(")) c = find_par(e, "(", ")");
    else if (is_lexem(e, "{")) c = find_par(e, "{", "}");
    else return i;
  } while (is_lexem(c, ","));
  return c;
}

// A function: records it and returns where the scan goes on.
int function_decl(const scope_info &sc, int kind, int s, const declared_name &d) {
  int p = find_par(d.k, "(", ")");
  std::string name = concat_lex(d.j, d.k);
  std::string ret = concat_lex(s, d.j);
  std::string entry = name + concat_lex(d.k, p);
  if (!ret.empty()) entry += " -> " + ret;
  // A "}" before the ";" or body closes the enclosing scope (a macro call
  // without ";" read as a declaration): it is left for the scope.
  int i = p;
  for (; !at_end(i) && !is_lexem(i, "}") && !at_skip_stop(i); ++i) {
    if (is_lexem(i, ";")) {
      ++i;
      break;
    }
    if (is_ident(i, "const") || is_ident(i, "constexpr")) kind = KIND_CONST;
    // Member initialisers come before the body; braced ones must not be
    // taken for it.
    if (is_lexem(i, ":")) {
      int e = initialisers_end(i);
      if (is_lexem(e, "{")) i = e;
    }
    if (is_lexem(i, "{")) {
      i = find_par(i, "{", "}");
      break;
    }
  }
  if (name.find("::") == std::string::npos && ret != "~") {
    if (name == sc.scope) add_global(entry, inpname);
    else record(sc, kind, entry);
  }
  return i;
}

// Variables, one declarator after the other; returns where the scan goes on.
int variable_decl(const scope_info &sc, int kind, int s, declared_name d) {
  std::string type = concat_lex(s, d.j);
  // Later declarators share the base type of the first: the names before
  // its declarator marks.
  const std::string base = concat_lex(s, d.b);
  for (;;) {
    std::string name = concat_lex(d.j, d.k);
    int i = d.k;
    while (is_lexem(i, "[")) {
      type += "[]";
      i = find_par(i, "[", "]");
    }
    if (!name.empty() && name.find("::") == std::string::npos) record(sc, kind, name + " : " + type);
    if (is_lexem(i, "{")) i = find_par(i, "{", "}");
    if (is_lexem(i, "(")) {
      i = find_par(i, "(", ")");
      // A function definition whose parameters were not recognised
      // ("StringRef f(ArrayRef<char> a) const {...}", "X(Foo *p) : a(p),
      // b{0} {}"): it ends with its body, as a function does, instead of
      // taking the declarations after it along to the next ";".
      int body = i;
      while ((is_lextip(body, TOK_IDENT) && !at_skip_stop(body)) || is_lexem(body, "("))
        body = is_lexem(body, "(") ? find_par(body, "(", ")") : body + 1;
      if (is_lexem(body, ":")) body = initialisers_end(body);
      if (is_lexem(body, "{")) return find_par(body, "{", "}");
    }
    if (is_lexem(i, "=")) i = stop_lex(i, {",", ";", "}"});
    if (is_lexem(i, ";")) return i + 1;
    if (is_lexem(i, "}")) return i;
    if (!is_lexem(i, ",")) return past_semicolon(stop_lex(i, {";", "}"}));
    int before = d.k;
    d = find_declared(i + 1);
    if (!d.found) return d.next;
    assert(d.k > before && "each declarator lies after the one before");
    (void)before;
    type = base + concat_lex(i + 1, d.j);
  }
}

// A declaration starting at a (an identifier or "~").
step declaration(const scope_info &sc, int a) {
  int kind = KIND_PLAIN;
  if (is_ident(a, "explicit")) ++a;
  int s = a;
  if (is_ident(a, "inline")) {
    s = a + 1;
  } else if (is_ident(a, "static")) {
    s = a + 1;
    kind = KIND_STATIC;
  } else if (is_ident(a, "extern")) {
    if (is_lextip(a + 1, TOK_CONST) && is_lexem(a + 2, "{"))
      return {process_decls(a + 3, sc.cls, sc.scope, sc.access), false};
    s = is_lextip(a + 1, TOK_CONST) ? a + 2 : a + 1;
  }
  declared_name d = find_declared(s);
  if (!d.found) return {d.next, false};
  int k = d.k;
  bool function =
      is_lexem(k, "(") &&
      (is_lexem(k + 1, ")") || (is_lextip(k + 1, TOK_IDENT) && is_lextip(k + 2, TOK_IDENT)) ||
       (is_lextip(k + 1, TOK_IDENT) && alltypes.count(concat_lex(k + 1, find_name(k + 1)))));
  return {function ? function_decl(sc, kind, s, d) : variable_decl(sc, kind, s, d), false};
}

// A typedef other than "typedef struct": the last identifier before the
// ";" is the new name, skipping angle-bracket, square-bracket and braced
// groups; in a parenthesised group (a function pointer) the last
// identifier inside it.
int typedef_decl(const scope_info &sc, int a) {
  std::string name;
  int i = a;
  while (!at_end(i) && !at_skip_stop(i)) {
    if (is_lexem(i, ";")) {
      ++i;
      break;
    }
    if (is_lexem(i, "<")) {
      i = find_par(i, "<", ">");
    } else if (is_lexem(i, "[")) {
      i = find_par(i, "[", "]");
    } else if (is_lexem(i, "{")) {
      i = find_par(i, "{", "}");
    } else if (is_lexem(i, "(")) {
      int p = find_par(i, "(", ")");
      if (is_lexem(p, ";")) {
        i = p + 1;
        break;
      }
      for (int k = i + 1; k < p && k < list_end(); ++k)
        if (is_lextip(k, TOK_IDENT)) name = tok_text(k);
      i = p;
    } else {
      if (is_lextip(i, TOK_IDENT)) name = tok_text(i);
      ++i;
    }
  }
  if (i > list_end()) i = list_end();
  if (name.empty()) return i;
  if (sc.cls) {
    add_toclass(sc.cls, sc.access + 3, name + " _type_");
    alltypes.insert(sc.scope + "::" + name);
  } else {
    add_global(name + " _type_", inpname);
    alltypes.insert(name);
  }
  return i;
}

// Just past an attribute group at i ("[[...]]", "alignas(...)",
// "__attribute__((...))", "__declspec(...)"); i when none starts there.
int skip_attribute(int i) {
  if (is_lexem(i, "[") && is_lexem(i + 1, "[")) return find_par(i, "[", "]");
  if ((is_ident(i, "alignas") || is_ident(i, "__attribute__") || is_ident(i, "__declspec")) &&
      is_lexem(i + 1, "("))
    return find_par(i + 1, "(", ")");
  return i;
}

int skip_attributes(int i) {
  for (int e = skip_attribute(i); e != i; e = skip_attribute(i)) i = e;
  return i;
}

// The name of a decorated class head whose keyword is at a
// ("class GTEST_API_ TestInfo {", "class [[nodiscard]] X : B {"): the last
// identifier before the head's "{", ":", "<", ";" or "final", attribute
// groups skipped; the identifiers before it are decoration. -1 when the
// head goes on otherwise ("class A *p;", "class A::B {...}").
int decorated_name(int a) {
  int name = -1;
  for (int i = skip_attributes(a + 1);; i = skip_attributes(i + 1)) {
    if (at_skip_stop(i)) return -1;
    if (is_lextip(i, TOK_IDENT) && !(name >= 0 && is_ident(i, "final"))) {
      name = i;
      continue;
    }
    bool ends = is_lextip(i, TOK_IDENT) || is_lexem(i, "{") || is_lexem(i, ":") ||
                is_lexem(i, "<") || is_lexem(i, ";");
    return ends ? name : -1;
  }
}

// The tag of a struct at a that opens a definition: the tag directly
// followed by "{" (or "final {"), decorations aside, or a specialisation's
// argument list and then "{" ("struct DenseMapInfo<T *> {"); -1 otherwise.
// So "struct S : B {...}" is no class head.
int struct_tag(int a) {
  int n = decorated_name(a);
  if (n < 0) return -1;
  int c = is_lexem(n + 1, "<") ? find_par(n + 1, "<", ">") : n + 1;
  if (is_ident(c, "final")) ++c;
  return is_lexem(c, "{") ? n : -1;
}

// A class head at a ("class", "struct" with a tag and a body, or the
// "struct" of "typedef struct").
step class_head(const scope_info &sc, int a, bool typedef_mark) {
  bool is_struct = is_ident(a, "struct");
  int default_access = is_struct ? ACS_PUBLIC : ACS_PRIVATE;
  // The name: that of a decorated head when the head has that form
  // (for a struct: when its body follows), else the first identifier
  // after the keyword and its attribute groups.
  int name_at = is_struct ? struct_tag(a) : decorated_name(a);
  if (name_at < 0) name_at = skip_attributes(a + 1);
  if (!is_lextip(name_at, TOK_IDENT)) return {a + 1, false};
  std::string name = tok_text(name_at);
  if (!sc.friend_mark) {
    if (sc.cls) {
      add_toclass(sc.cls, sc.access + 3, name + " _type_");
    } else if (inplang_c) {
      add_global(" struct@" + name + " _type_", inpname);
      if (typedef_mark) add_global(name + " _type_", inpname);
    } else {
      add_global(name + " _type_", inpname);
    }
    if (sc.cls) name = sc.scope + "::" + name;
  }
  alltypes.insert(name);
  int c = name_at + 1;
  if (is_lexem(c, "<")) c = find_par(c, "<", ">");
  if (is_ident(c, "final") && (is_lexem(c + 1, "{") || is_lexem(c + 1, ":"))) ++c;
  if (is_lexem(c, ";")) return {c + 1, false};
  class_info &rec = classes[name];
  rec.file = inpname;
  for (bool first = true; is_lexem(c, first ? ":" : ","); first = false) {
    ++c;
    if (is_ident(c, "virtual")) ++c;
    int acs = acs_keyword(c);
    if (acs >= 0) ++c;
    else acs = default_access;
    if (is_ident(c, "virtual")) ++c;
    if (!is_lextip(c, TOK_IDENT)) break;
    rec.parents.emplace_back(acs, tok_text(c));
    ++c;
    if (is_lexem(c, "<")) c = find_par(c, "<", ">");
  }
  if (!is_lexem(c, "{")) return {past_semicolon(stop_lex(c, {";", "}"})), false};
  c = process_decls(c + 1, &rec, name, default_access);
  if (typedef_mark && is_lextip(c, TOK_IDENT) && is_lexem(c + 1, ";")) return {c + 2, false};
  if (is_lexem(c, ";")) return {c + 1, false};
  if (is_lexem(c, "}")) return {c + 1, true};
  if (at_end(c)) return {c < list_end() ? c : list_end(), true};
  // Declarators follow the body: the "}" and the class's name change
  // places, and the statement is read again from the name as a declaration
  // of that type.
  std::swap(lex_list[c - 1], lex_list[name_at]);
  return {c - 1, false};
}

// One statement at a: returns where the scan goes on, or that the scope
// ends.
step statement(scope_info &sc, int a) {
  if (is_ident(a, "template")) {
    if (!is_lexem(a + 1, "<")) return {skip_lex(a + 1, ";"), false};
    a = skip_attributes(find_par(a + 1, "<", ">"));
    if (a >= list_end()) return {list_end(), true};
  }
  if (is_ident(a, "class") || (is_ident(a, "struct") && struct_tag(a) >= 0))
    return class_head(sc, a, false);
  if (is_ident(a, "using")) return {past_semicolon(stop_lex(a, {";", "}"})), false};
  if (is_ident(a, "inline") && is_ident(a + 1, "namespace")) ++a;
  if (is_ident(a, "namespace")) {
    // A named namespace, its name followed by decoration (identifiers and
    // parenthesised groups: "namespace std _GLIBCXX_VISIBILITY(default) {").
    int c = a + 2;
    while ((is_lextip(c, TOK_IDENT) && !at_skip_stop(c)) || is_lexem(c, "("))
      c = is_lexem(c, "(") ? find_par(c, "(", ")") : c + 1;
    if (is_lextip(a + 1, TOK_IDENT) && is_lexem(c, "{"))
      return {process_decls(c + 1, sc.cls, sc.scope, sc.access), false};
    // Unnamed namespaces are skipped with the statement after them.
    int from = is_lextip(a + 1, TOK_IDENT) ? a + 2 : a + 1;
    return {past_semicolon(stop_lex(from, {";", "}"})), false};
  }
  if (is_ident(a, "typedef")) {
    if (is_ident(a + 1, "struct")) return class_head(sc, a + 1, true);
    return {typedef_decl(sc, a), false};
  }
  if (is_lextip(a, TOK_IDENT) || is_lexem(a, "~")) return declaration(sc, a);
  return {past_semicolon(stop_lex(a, {";", "}"})), false};
}

} // namespace

namespace {
// Scopes nested deeper than this are skipped whole: each level is a nested
// call and adds to the names of nested classes, so without a bound a
// pathological file would exhaust the stack.
const int max_scope_depth = 256;
int scope_depth = 0;

struct scope_level {
  bool outer_labels_stop;
  explicit scope_level(bool class_body) : outer_labels_stop(labels_stop) {
    ++scope_depth;
    labels_stop = class_body;
  }
  ~scope_level() {
    --scope_depth;
    labels_stop = outer_labels_stop;
  }
};
} // namespace

int process_decls(int start, class_info *cls, std::string scope, int access) {
  scope_level level(cls != nullptr);
  // Every nested scope starts just past its "{".
  if (scope_depth > max_scope_depth && start > 0) return scan_group(start - 1, "{", "}");
  int a = start;
  while (a < list_end()) {
    if (is_lexem(a, "}")) return a + 1;
    if (is_lextip(a, TOK_EOF)) return a;
    int acs = acs_keyword(a);
    if (acs >= 0) {
      access = acs;
      a = is_lexem(a + 1, ":") ? a + 2 : a + 1;
      continue;
    }
    scope_info sc{cls, scope, access, false};
    int from = a;
    // Attributes in front of a declaration ("[[nodiscard]] bool empty() const;").
    a = skip_attributes(a);
    if (is_ident(a, "friend")) {
      sc.friend_mark = true;
      ++a;
    }
    if (a >= list_end()) break;
    step st = statement(sc, a);
    if (st.leave) return st.next;
    assert(st.next > from && "the declaration scan must move forward");
    a = st.next > from ? st.next : from + 1;
  }
  return a < list_end() ? a : list_end();
}

void trace_decl() {
  namespace_keyword = !(inplang_c && ends_with(inpname, ".c"));
  find_group_ends();
  process_decls(0, nullptr, std::string(), ACS_PRIVATE);
  forget_group_ends();
}
