// What the generator uses of the program's driver: the error functions, the
// debug level and the name of the description being read.
#pragma once

#include <string>

#include "tarnel.hpp"

// The message and a newline on standard error, exit status 1 (defined by the
// driver); does not return.
void yyerror(const std::string& msg);
// The description file's name, ":", the last line, ":", the last column and
// ": " of `loc` before the message, exit status 1 (defined by the driver);
// does not return.
void yyerror(YYLTYPE* loc, const std::string& msg);

// The "-d<digit>" debug level: 3 traces type inference, 4 prints the
// rewritten grammar; any non-zero level writes no file.
extern int yydebug_flag;
// The description file's name as given, "" for standard input.
extern const char* yyinputfile;
