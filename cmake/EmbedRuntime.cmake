# Assembles the AST runtime from its text pieces (run in script mode).
#   PIECES_DIR  folder of the pieces, named NN-name.inc, in header order
#   OUT_DIR     where ast_runtime.hpp, rt_pieces.hpp and rt_pieces.cpp go
#
# Every piece begins with a newline. ast_runtime.hpp is the header the
# programs compile: all pieces in order, with the namespace that the printing
# pieces open closed at the end. rt_pieces.cpp holds the same texts as named
# constants for the header writer of generated programs.
cmake_minimum_required(VERSION 3.25)
file(GLOB pieces RELATIVE ${PIECES_DIR} ${PIECES_DIR}/[0-9][0-9]-*.inc)
list(SORT pieces)
list(LENGTH pieces count)
if(NOT count EQUAL 19)
  message(FATAL_ERROR "expected 19 runtime pieces, found ${count}")
endif()

set(hdr "// Assembled from runtime/pieces at build time; edit the pieces.\n")
string(APPEND hdr "#ifndef AST_RUNTIME_HPP\n#define AST_RUNTIME_HPP 1\n")
set(decl "// Assembled from runtime/pieces at build time; edit the pieces.\n")
string(APPEND decl "#ifndef RT_PIECES_HPP\n#define RT_PIECES_HPP 1\n\n")
set(src "// Assembled from runtime/pieces at build time; edit the pieces.\n")
string(APPEND src "#include \"rt_pieces.hpp\"\n\n")
set(table "const rt_piece_entry rt_piece_table[rt_piece_count] = {\n")

foreach(file IN LISTS pieces)
  string(REGEX REPLACE "^[0-9][0-9]-(.*)\\.inc$" "\\1" name ${file})
  file(READ ${PIECES_DIR}/${file} text)
  if(text MATCHES "\\)RT_PIECE\"")
    message(FATAL_ERROR "${file} contains the raw-string delimiter")
  endif()
  string(APPEND hdr "\n${text}")
  string(APPEND decl "extern const char *const ${name};\n")
  string(APPEND src "const char *const ${name} = R\"RT_PIECE(\n${text})RT_PIECE\";\n")
  string(APPEND table "    {\"${name}\", ${name}},\n")
endforeach()

string(APPEND hdr "}\n#endif\n")
string(APPEND decl "\nstruct rt_piece_entry {\n  const char *name;\n  const char *text;\n};\n")
string(APPEND decl "constexpr int rt_piece_count = 19;\n")
string(APPEND decl "// The pieces in header order.\nextern const rt_piece_entry rt_piece_table[rt_piece_count];\n")
string(APPEND decl "\n#endif\n")
string(APPEND table "};\n")
string(APPEND src "\n${table}")

# Write only what changed, so that dependants are not rebuilt needlessly.
foreach(pair "ast_runtime.hpp;hdr" "rt_pieces.hpp;decl" "rt_pieces.cpp;src")
  list(GET pair 0 out)
  list(GET pair 1 var)
  set(old "")
  if(EXISTS ${OUT_DIR}/${out})
    file(READ ${OUT_DIR}/${out} old)
  endif()
  if(NOT old STREQUAL "${${var}}")
    file(WRITE ${OUT_DIR}/${out} "${${var}}")
  endif()
endforeach()
