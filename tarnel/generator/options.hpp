// Option flags of the generator and the state that is started afresh for
// every description file.
//
// Option words come from the command line ("--word") and from "%option"
// lines. For each description file the order of effects is: defaults (set by
// set_input), the command-line words in their order, then the file's own
// "%option" lines as the parser meets them; a later word overrides an
// earlier one.
#pragma once

#include <sstream>
#include <string>
#include <vector>

// Option flags. Each holds its per-file default before the first file too.
extern int bnf_flag;          // 1: "{" in the grammar section is a repetition bracket
extern int case_flag;         // case-insensitive lexer
extern int inter_flag;        // interactive lexer
extern int main_flag;         // write the driver's main
extern int yyparse_flag;      // a grammar section follows and a parser is written
extern int yylex_flag;        // a lexer section follows and a lexer is written
extern int locations_flag;    // 0 none, 1 line numbers, 2 full source ranges
extern int literal_flag;      // lexer rules for literal terminals
extern int lexdefault_flag;   // -1 not chosen, 0 none, 1 echo, 2 skip, 3 literal
extern int yywrap_flag;
extern int matcherr_flag;     // fallback branch of "match" reports an error
extern int visitor_flag;      // 0 forbidden, 1 allowed, 2 a visitor was written
extern int yyinterpret_flag;
extern int astprint_flag;
extern int lexprint_flag;
extern int yyerror_flag;
extern int line_flag;         // #line directives in written code
extern int ast_flag;
extern int expect_flag;       // expected conflicts, -1 when none was given

// Other per-file state, started by set_input.
extern int usevalue_flag;     // some value type is optional
extern int usestring_flag;    // some value type is a string
extern int uselist_flag;      // some value type is a list
extern int grmfile_exist;     // a grammar file was written for this description
extern int gen_mode;          // code translation: 0 user code, 1 lexer, 2 grammar
extern int return_field;      // union member filled by the current lexer action
extern int terminal_uid;      // last token number given (1000 after the reset)
extern int tarnel_mode;       // section being read: 0 decls, 1 lexer, 2 grammar, 3 code
extern std::string root_tip;    // value type of the start symbol
extern std::string default_tip; // default value type, "int" unless declared
extern std::ostringstream vout; // deferred visitor method bodies

// Names of the "%using" lines of the current file, in order.
extern std::vector<std::string> using_list;

// Kept for the whole run.
extern std::string filepath;                 // "-o" prefix of every output file
extern std::vector<std::string> cmdline_words; // "--" option words, in order
extern std::vector<std::string> description_files; // file arguments, in order
// Base name of the current description file (no directory, no extension).
extern std::string filename;

// Reads "-o<prefix>" and "--<word>" arguments and notes the file arguments
// in description_files; leaves the arguments as they are ("-d<digit>" and
// the reading of the files are main's business).
void get_args(int& argc, char**& argv);
// Applies one option word; unknown words are ignored without a message.
void switch_option(const std::string& word);
// Per-file reset: option flags, tables and code lists back to their starting
// state, the command-line words applied again, and `filename` derived from
// `name` ("" or null for standard input).
void set_input(const char* name);
// Appends a "%using" name to using_list.
void add_using(const std::string& name);
