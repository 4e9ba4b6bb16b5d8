#include "scanner_glue.hpp"

#include <cstdlib>
#include <iostream>

void yyerror(const std::string& msg) {
  std::cerr << msg << std::endl;
  exit(1);
}
