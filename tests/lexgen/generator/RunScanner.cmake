# Runs a test scanner on one input and compares what it printed with the
# expected file (run in script mode).
#   SCANNER   the executable
#   INPUT     the input file; it is also the scanner's standard input
#   EXPECTED  the expected output: standard output, then "--- stderr" and
#             the standard error when there is any, then "--- exit N" for a
#             non-zero exit status
#   ARGS      arguments separated by "|"; @INPUT@ stands for the input's
#             file name (the scanner runs in the input's directory)
cmake_minimum_required(VERSION 3.25)
get_filename_component(dir "${INPUT}" DIRECTORY)
get_filename_component(name "${INPUT}" NAME)
set(args "")
if(DEFINED ARGS AND NOT ARGS STREQUAL "")
  string(REPLACE "|" ";" args "${ARGS}")
  list(TRANSFORM args REPLACE "@INPUT@" "${name}")
endif()
execute_process(COMMAND "${SCANNER}" ${args}
  WORKING_DIRECTORY "${dir}"
  INPUT_FILE "${INPUT}"
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
set(actual "${out}")
if(NOT err STREQUAL "")
  string(APPEND actual "--- stderr\n${err}")
endif()
if(NOT status STREQUAL "0")
  string(APPEND actual "--- exit ${status}\n")
endif()
set(expected "")
if(EXISTS "${EXPECTED}")
  file(READ "${EXPECTED}" expected)
endif()
if(NOT actual STREQUAL expected)
  get_filename_component(case "${EXPECTED}" NAME_WE)
  set(saved "${CMAKE_CURRENT_BINARY_DIR}/${case}.actual")
  file(WRITE "${saved}" "${actual}")
  message(FATAL_ERROR "output differs from ${EXPECTED}; actual output in ${saved}:\n${actual}")
endif()
