# Runs the command-line tool once and compares what it printed, and optionally a file it wrote,
# with fixture files byte for byte (standard output with its line ends made \n, as a console
# program on Windows writes \r\n).
#   cmake -DTOOL=... -DTOOL_ARGS="a|b|c" -DEXPECT_OUTPUT_FILE=path [-DEMULATOR=...]
#         [-DWRITTEN=path -DEXPECT_WRITTEN_FILE=path] -P compare_tool_output.cmake
string(REPLACE "|" ";" arguments "${TOOL_ARGS}")
if(DEFINED WRITTEN)
    file(REMOVE "${WRITTEN}")
endif()
execute_process(COMMAND ${EMULATOR} ${TOOL} ${arguments}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "exit status ${status}\n${output}${errors}")
endif()
string(REPLACE "\r\n" "\n" output "${output}")
file(READ "${EXPECT_OUTPUT_FILE}" expected)
if(NOT output STREQUAL expected)
    message(FATAL_ERROR "output differs from ${EXPECT_OUTPUT_FILE}:\n${output}")
endif()
if(DEFINED WRITTEN)
    file(SHA256 "${WRITTEN}" written)
    file(SHA256 "${EXPECT_WRITTEN_FILE}" wanted)
    if(NOT written STREQUAL wanted)
        message(FATAL_ERROR "${WRITTEN} differs from ${EXPECT_WRITTEN_FILE}")
    endif()
endif()
