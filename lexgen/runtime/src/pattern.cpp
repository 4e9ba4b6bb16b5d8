#include "reflex/pattern.h"

#include "program.h"

namespace reflex {

namespace {

std::string describe(const std::string& problem, size_t pos) {
  if (pos == regex_error::npos) return problem;
  return problem + " at position " + std::to_string(pos);
}

std::shared_ptr<const detail::Program> compile(const std::string& regex,
                                               const detail::Layouts& layouts = detail::Layouts()) {
  auto prog = std::make_shared<detail::Program>();
  prog->regex = regex;
  detail::parse_regex(regex, prog->nfa);
  prog->rules = static_cast<uint32_t>(prog->nfa.start.size());
  detail::build_dfa(*prog, layouts);
  return prog;
}

}  // namespace

regex_error::regex_error(const std::string& problem, size_t pos)
    : std::runtime_error(describe(problem, pos)), pos_(pos) {}

Pattern::Pattern(const char* regex) : prog_(compile(regex ? regex : "")) {}

Pattern::Pattern(const std::string& regex) : prog_(compile(regex)) {}

Pattern detail::PatternMaker::make(const std::string& regex, const Layouts& layouts) {
  return Pattern(compile(regex, layouts));
}

const std::string& Pattern::regex() const { return prog_->regex; }

size_t Pattern::size() const { return prog_->rules; }

size_t Pattern::states() const { return prog_->nstates; }

}  // namespace reflex
