// The declaration recogniser.
#include "decls.hpp"

void trace_decl() {}
