// Small pure helpers on value type texts, terminal texts and identifiers.
//
// Value type texts: "" nothing known yet, "?" no value somewhere, a built-in
// type (optionally marked optional by a trailing "?"), a domain name,
// "List<T>", or another declared type carried unchanged.
// Terminal texts: 'c', "text" or ?name?.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Type texts.
bool is_builtin_type(const std::string& t);      // member of builtin_types
bool is_big_builtin_type(const std::string& t);  // exactly "std::string"
bool is_domain(const std::string& t);            // has an entry in domains
bool is_domain_name(const std::string& t);       // ASCII letters/digits, not built-in
bool is_list_type(const std::string& t);         // begins with "List<"
std::string list_of_type(std::string t);         // "List<" t without one final "?" ">"
std::string type_of_list(const std::string& t);  // element type of a list type, else t
bool empty_type(const std::string& t);           // "" or "?"
bool ends_with_mark(const std::string& t);       // optional type: a final "?"
std::string without_mark(const std::string& t);  // t without one final "?"
// "T?" gives "ast::Maybe<T>"; with mode 1, "std::string" gives a const reference.
std::string type_mark(const std::string& t, int mode);

// Terminal texts.
bool isterminal(const std::string& s);  // begins with "?", "'" or '"'
bool isliteral(const std::string& s);   // begins with "'" or '"'
// The one canonical written form of a terminal: one character in single
// quotes, longer texts in double quotes, ?name? unchanged.
std::string normalize_terminal(const std::string& t);

// Escaping. encode_string escapes newline, tab, carriage return (a bare one
// would end the line of a literal), backslash and both quotes, and with `hex`
// non-zero the carriage return as \x0d and bytes of 127 and above as \xNN;
// decode_string undoes \n, \t, \\, \', \" and \xNN (exactly two hex digits)
// and keeps every other escape, \r included, as written.
std::string encode_string(const std::string& s, int hex);
std::string decode_string(const std::string& s);
int todigit(char c);  // value of a hexadecimal digit, 0 for anything else

// Transcriptions of the code page 1251 letters 0xE0 to 0xFF.
extern const char* const cyr_enc[32];
// `s` as a plain identifier: Cyrillic transliterated, "-" and "." as "_".
std::string encode_symbol(const std::string& s);

// Reads the run of decimal digits that begins at `pos`. Gives no value when
// there is no digit there or the number does not fit an int; `end`, when
// given, receives the position after the digits in both cases.
std::optional<int> read_decimal(const std::string& s, std::size_t pos = 0,
                                std::size_t* end = nullptr);
