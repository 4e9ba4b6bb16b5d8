# Generates a scanner with lexgen and compiles it, expecting the compiler to
# reject the action on each line of LINES (a list) of the description
# (run in script mode).
#   LEXGEN    the lexgen executable
#   INPUT     the description
#   CXX       the C++ compiler
#   INCLUDE   the run-time headers
#   WORK      a directory for the generated source
#   LINES     the description's lines whose actions must fail
cmake_minimum_required(VERSION 3.25)
file(MAKE_DIRECTORY "${WORK}")
get_filename_component(name "${INPUT}" NAME)
execute_process(COMMAND "${LEXGEN}" -o "${WORK}/${name}.cpp" "${INPUT}"
  RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status STREQUAL "0")
  message(FATAL_ERROR "lexgen failed: ${err}")
endif()
execute_process(COMMAND "${CXX}" -std=c++17 -fsyntax-only "-I${INCLUDE}" "${WORK}/${name}.cpp"
  RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_VARIABLE out)
if(status STREQUAL "0")
  message(FATAL_ERROR "${name} compiled")
endif()
foreach(line IN LISTS LINES)
  if(NOT err MATCHES "${name}:${line}:[0-9]+: error")
    message(FATAL_ERROR "no error for the action on line ${line} of ${name}:\n${err}")
  endif()
endforeach()
