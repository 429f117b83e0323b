# Runs the command-line tool with --json and compares its standard output with a file, the
# document's path aside (it names the file as each system sees it), and the version.
#   cmake -DTOOL=... -DTOOL_ARGS="a|b|c" -DEXPECTED=file.json [-DEMULATOR=...] -P compare_json.cmake
string(REPLACE "|" ";" arguments "${TOOL_ARGS}")
execute_process(COMMAND ${EMULATOR} ${TOOL} ${arguments}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "exit status ${status}\n${output}${errors}")
endif()
file(READ "${EXPECTED}" expected)
string(REGEX REPLACE "^{\"document\": \"[^\"]*\"" "{\"document\": \"DOCUMENT\"" output "${output}")
# The version that made the output, where the output names it, is not the fixture's concern.
string(REGEX REPLACE "\"version\": \"[^\"]*\"" "\"version\": \"VERSION\"" output "${output}")
string(REPLACE "\r\n" "\n" output "${output}")
if(NOT output STREQUAL expected)
    file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/compare_json.out" "${output}")
    message(FATAL_ERROR "the output differs from ${EXPECTED}; it is in "
        "${CMAKE_CURRENT_BINARY_DIR}/compare_json.out")
endif()
