// The generator's entry point for an accepted description. Until the
// generation pipeline exists it writes nothing: tarnel checks the syntax of
// its descriptions, dumps their tokens (-d1) and prints their trees (-d2).
#include "tarnel.hpp"

void yyinterpret(Program) {}
