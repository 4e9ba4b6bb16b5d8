# add_lex_scanner(TARGET <target> INPUT <file.lex>)
#
# Turns a scanner description into a C++ source in the binary directory and
# compiles it into <target>, with the run-time library it needs. By default
# the source comes from the project's lexgen and links lexgen_runtime; with
# USE_REFLEX=ON it comes from an installed RE/flex (`reflex --flex`) and links
# RE/flex's library. Call it in the directory that creates the target. The
# directory of the .lex is on the target's include path, so a %top block may
# include a header that lies next to it.
#
# Generated sources are not the project's own code: they are compiled
# without -Werror. The glue text every scanner description carries compares
# the (already non-negative) signed file index with the size of the name
# list, so -Wsign-compare is off for them.

if(USE_REFLEX)
  find_program(REFLEX_EXECUTABLE reflex REQUIRED)
  find_path(REFLEX_INCLUDE_DIR reflex/flexlexer.h REQUIRED)
  find_library(REFLEX_LIBRARY NAMES reflex REQUIRED)
  message(STATUS "Scanners are built with RE/flex: ${REFLEX_EXECUTABLE}")
endif()

# The run-time library of the scanners as one target, for code that uses
# reflex::Pattern itself (tarnel checks the patterns of a description with
# it): lexgen's library, or RE/flex's with USE_REFLEX.
if(NOT TARGET scanner_runtime)
  add_library(scanner_runtime INTERFACE)
  if(USE_REFLEX)
    target_include_directories(scanner_runtime INTERFACE "${REFLEX_INCLUDE_DIR}")
    target_link_libraries(scanner_runtime INTERFACE "${REFLEX_LIBRARY}")
  else()
    target_link_libraries(scanner_runtime INTERFACE lexgen_runtime)
  endif()
endif()

function(add_lex_scanner)
  cmake_parse_arguments(PARSE_ARGV 0 LEX "" "TARGET;INPUT" "")
  if(NOT LEX_TARGET OR NOT LEX_INPUT OR LEX_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "usage: add_lex_scanner(TARGET <target> INPUT <file.lex>)")
  endif()
  if(NOT TARGET ${LEX_TARGET})
    message(FATAL_ERROR "add_lex_scanner: no target ${LEX_TARGET}")
  endif()
  get_target_property(target_dir ${LEX_TARGET} SOURCE_DIR)
  if(NOT target_dir STREQUAL CMAKE_CURRENT_SOURCE_DIR)
    message(FATAL_ERROR "add_lex_scanner: call it where ${LEX_TARGET} is created (${target_dir})")
  endif()

  get_filename_component(input "${LEX_INPUT}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  get_filename_component(input_dir "${input}" DIRECTORY)
  get_filename_component(name "${input}" NAME_WE)
  set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/${LEX_TARGET}_scanners")
  set(output "${out_dir}/${name}.lex.cpp")

  if(USE_REFLEX)
    add_custom_command(OUTPUT "${output}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${out_dir}"
      COMMAND "${REFLEX_EXECUTABLE}" --flex "--outfile=${output}" "${input}"
      DEPENDS "${input}"
      COMMENT "reflex --flex ${LEX_INPUT}"
      VERBATIM)
  else()
    add_custom_command(OUTPUT "${output}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${out_dir}"
      COMMAND lexgen -o "${output}" "${input}"
      DEPENDS "${input}" lexgen
      COMMENT "lexgen ${LEX_INPUT}"
      VERBATIM)
  endif()
  target_link_libraries(${LEX_TARGET} PUBLIC scanner_runtime)
  target_sources(${LEX_TARGET} PRIVATE "${output}")
  target_include_directories(${LEX_TARGET} PRIVATE "${input_dir}")
  set_source_files_properties("${output}" PROPERTIES
    GENERATED TRUE COMPILE_OPTIONS "-Wno-error;-Wno-sign-compare")
endfunction()
