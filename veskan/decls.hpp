// The declaration recogniser: a hand-written scan of the token list that
// records classes, their members and global names.
#ifndef VESKAN_DECLS_HPP
#define VESKAN_DECLS_HPP 1

// Records the declarations of the current file's token list.
void trace_decl();

#endif
