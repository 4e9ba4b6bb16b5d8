#include "collect.hpp"

#include "tarnel_ast.hpp"

namespace {

// The label field of the element kinds that carry one, or null.
std::string* label_of(ast::Gelem_domain* e) {
  if (auto n = dynamic_cast<ast::trmelem_node*>(e)) return &n->f2_;
  if (auto n = dynamic_cast<ast::symelem_node*>(e)) return &n->f2_;
  if (auto n = dynamic_cast<ast::varelem_node*>(e)) return &n->f2_;
  if (auto n = dynamic_cast<ast::optelem_node*>(e)) return &n->f2_;
  if (auto n = dynamic_cast<ast::repelem1_node*>(e)) return &n->f2_;
  if (auto n = dynamic_cast<ast::repelem0_node*>(e)) return &n->f2_;
  return nullptr;
}

}  // namespace

ast::Gelem_domain* replace_altid(ast::Gelem_domain*& e, const std::string& label) {
  ast::Gelem_domain* r = e;
  e = nullptr;
  if (std::string* l = label_of(r)) *l = label;
  return r;
}
