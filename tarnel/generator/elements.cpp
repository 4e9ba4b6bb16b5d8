#include "elements.hpp"

ast::List<ast::Xrule_domain*>* group_alts(ast::Gelem_domain* e) {
  if (auto g = dynamic_cast<ast::varelem_node*>(e)) return &g->f1_;
  if (auto g = dynamic_cast<ast::optelem_node*>(e)) return &g->f1_;
  if (auto g = dynamic_cast<ast::repelem1_node*>(e)) return &g->f1_;
  if (auto g = dynamic_cast<ast::repelem0_node*>(e)) return &g->f1_;
  return nullptr;
}

std::string* label_of(ast::Gelem_domain* e) {
  if (auto n = dynamic_cast<ast::trmelem_node*>(e)) return &n->f2_;
  if (auto n = dynamic_cast<ast::symelem_node*>(e)) return &n->f2_;
  if (auto n = dynamic_cast<ast::varelem_node*>(e)) return &n->f2_;
  if (auto n = dynamic_cast<ast::optelem_node*>(e)) return &n->f2_;
  if (auto n = dynamic_cast<ast::repelem1_node*>(e)) return &n->f2_;
  if (auto n = dynamic_cast<ast::repelem0_node*>(e)) return &n->f2_;
  return nullptr;
}
