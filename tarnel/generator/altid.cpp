// Element labels, set by the parser while it builds an alternative. Kept apart
// from the passes so that the reader needs nothing else of the generator.
#include "collect.hpp"
#include "elements.hpp"

ast::Gelem_domain* replace_altid(ast::Gelem_domain*& e, const std::string& label) {
  ast::Gelem_domain* r = e;
  e = nullptr;
  if (std::string* l = label_of(r)) *l = label;
  return r;
}
