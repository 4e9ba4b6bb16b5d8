// Token printing shared by the test scanners: "name|text|line:column", with
// newlines as \n and other bytes outside printable ASCII as \xHH.
#ifndef TOKPRINT_HPP
#define TOKPRINT_HPP

#include <cstddef>
#include <cstdio>
#include <iostream>
#include <string>

inline std::string shown(const char* text, std::size_t size) {
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c >= 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

inline void print_token(const char* name, const char* text, std::size_t size,
                        int line, int column) {
  std::cout << name << "|" << shown(text, size) << "|" << line << ":" << column
            << "\n";
}

// In a rule action: prints the current match under `name`.
#define TOK(name) print_token(name, text(), size(), lineno(), columno())

#endif
