// reflex::Input: the byte source a Matcher reads from.
#ifndef REFLEX_INPUT_H
#define REFLEX_INPUT_H

#include <cstddef>
#include <cstdio>
#include <istream>
#include <memory>
#include <string>

namespace reflex {

// One of: nothing (the default: empty input), a FILE*, a std::istream, or
// the bytes of a string. A FILE* or stream is borrowed, never closed. A string is read where it lies, as RE/flex reads it: the
// string (or the characters of a const char*) must stay alive and unchanged
// as long as the Input or a Matcher reads from it. A temporary std::string
// is taken over instead, so it lives as long as the Input and its copies.
// Copies of an Input share the string and the borrowed handle; each copy
// keeps its own read position in a string.
class Input {
 public:
  Input();                       // empty input, not assigned
  Input(FILE* file);             // a UTF-8 byte-order mark at its start is skipped
  Input(std::istream& stream);
  Input(const std::string& text);  // read where it lies
  Input(std::string&& text);       // taken over
  Input(const char* text);         // read where it lies; a null pointer is empty input

  // Reads up to n bytes into s and returns how many were read; 0 means the
  // end of the input.
  size_t get(char* s, size_t n);

  // False for the default Input: a scanner given none reads standard input.
  bool assigned() const { return source_ != Source::none; }
  // The FILE* read from, or nullptr.
  FILE* file() const;
  // The stream read from, or nullptr.
  std::istream* stream() const;

 private:
  friend class Matcher;
  // A string's bytes not read yet, for a Matcher to scan in place (their
  // count in n); nullptr for the other sources.
  const char* unread(size_t& n) const {
    if (source_ != Source::string) return nullptr;
    n = size_ - offset_;
    return text_ + offset_;
  }
  // Counts n more bytes as read.
  void skip(size_t n) { offset_ += n; }

  enum class Source : unsigned char { none, file, stream, string };

  size_t get_file(char* s, size_t n);

  Source source_;
  FILE* file_ = nullptr;
  std::istream* stream_ = nullptr;
  const char* text_ = nullptr;  // a string's bytes
  size_t size_ = 0;
  std::shared_ptr<const std::string> owned_;  // a string taken over
  size_t offset_ = 0;
  // Bytes read while looking for a byte-order mark that turned out not to be one.
  unsigned char lead_[3] = {0, 0, 0};
  unsigned char lead_size_ = 0;
  unsigned char lead_next_ = 0;
  bool started_ = false;
};

}  // namespace reflex

#endif
