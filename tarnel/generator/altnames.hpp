// Output names and token numbers of the symbols.
#pragma once

// Gives every entry of `symbols` its `altname` (a plain identifier for rules,
// a quoted name for terminals) and every terminal but an untyped one-
// character literal a token number from 1001 on (`uid`).
void gen_altnames();
