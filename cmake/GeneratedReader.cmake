# add_generated_reader(<name> <description.tn> [LEXER_ONLY] [PREFIX <text>])
#
# Builds the program that tarnel generates for a description, as a user
# builds it: tarnel writes the .lex, .grm, .cpp and .hpp files into
# generated/<name> of the current binary directory, Bison turns the .grm
# into C++, add_lex_scanner (LexScanner.cmake) the .lex, and the sources
# make the executable <name>_reader. The files are named after the
# description (calc.tn gives calc.lex and so on), so <name> may differ from
# that name. LEXER_ONLY is for a description without grammar rules, for
# which tarnel writes no .grm. PREFIX puts <text> in front of the file names
# (tarnel's -o<dir>/<text>).
include_guard(GLOBAL)
find_program(BISON_EXECUTABLE bison REQUIRED)

function(add_generated_reader name description)
  cmake_parse_arguments(PARSE_ARGV 2 GEN "LEXER_ONLY" "PREFIX" "")
  get_filename_component(base ${description} NAME_WE)
  set(base ${GEN_PREFIX}${base})
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/generated/${name})
  set(outputs ${dir}/${base}.lex ${dir}/${base}.cpp ${dir}/${base}.hpp)
  set(sources ${dir}/${base}.cpp)
  if(NOT GEN_LEXER_ONLY)
    list(APPEND outputs ${dir}/${base}.grm)
    list(APPEND sources ${dir}/${base}.grm.cpp)
  endif()
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    # tarnel's own parser keeps some texts that its code actions take (a
    # sanitizer build would report them as leaks and fail the step).
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:tarnel> -o${dir}/${GEN_PREFIX} ${description}
    DEPENDS tarnel ${description}
    COMMENT "tarnel ${description}"
    VERBATIM)
  if(NOT GEN_LEXER_ONLY)
    add_custom_command(
      OUTPUT ${dir}/${base}.grm.cpp
      COMMAND ${BISON_EXECUTABLE} -Wno-other -o ${dir}/${base}.grm.cpp ${dir}/${base}.grm
      DEPENDS ${dir}/${base}.grm
      COMMENT "bison ${base}.grm"
      VERBATIM)
  endif()
  add_executable(${name}_reader ${sources})
  add_lex_scanner(TARGET ${name}_reader INPUT ${dir}/${base}.lex)
endfunction()
