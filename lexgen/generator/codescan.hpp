// Brace balance of C++ code fed line by line, skipping string, character
// and raw-string literals and comments.
#ifndef LEXGEN_CODESCAN_HPP
#define LEXGEN_CODESCAN_HPP

#include <string>

namespace lexgen {

class CodeScanner {
 public:
  // Scans one line (without its newline). Comments and raw strings may
  // span lines; other literals end with their line.
  void feed(const std::string& line);
  // Braces open minus braces closed; negative after an unbalanced "}".
  int depth() const { return depth_; }
  // Whether the code so far ends inside braces, a comment or a raw string.
  bool open() const { return depth_ > 0 || state_ == BlockComment || state_ == Raw; }

 private:
  enum State { Code, BlockComment, Raw };
  State state_ = Code;
  int depth_ = 0;
  std::string raw_end_;  // ")delim\"" that ends the raw string
};

}  // namespace lexgen

#endif
