# Runs the command-line tool once and compares what it printed, and optionally a file it wrote,
# with fixture files byte for byte (standard output with its line ends made \n, as a console
# program on Windows writes \r\n). What differs between machines and days is a placeholder in
# the fixtures: the SAMPLE path, and the version and the date of "strandix VERSION on DATE".
#   cmake -DTOOL=... -DTOOL_ARGS="a|b|c" -DEXPECT_OUTPUT_FILE=path [-DEMULATOR=...]
#         [-DSAMPLE=path] [-DWRITTEN=path -DEXPECT_WRITTEN_FILE=path] -P compare_tool_output.cmake
function(with_placeholders variable)
    set(text "${${variable}}")
    if(DEFINED SAMPLE)
        string(REPLACE "${SAMPLE}" "SAMPLE" text "${text}")
    endif()
    string(REGEX REPLACE "strandix [^ <\n]+ on [0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]"
        "strandix VERSION on DATE" text "${text}")
    set(${variable} "${text}" PARENT_SCOPE)
endfunction()
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
with_placeholders(output)
file(READ "${EXPECT_OUTPUT_FILE}" expected)
if(NOT output STREQUAL expected)
    message(FATAL_ERROR "output differs from ${EXPECT_OUTPUT_FILE}:\n${output}")
endif()
if(DEFINED WRITTEN)
    file(READ "${WRITTEN}" written)
    with_placeholders(written)
    file(READ "${EXPECT_WRITTEN_FILE}" wanted)
    if(NOT written STREQUAL wanted)
        message(FATAL_ERROR "${WRITTEN} differs from ${EXPECT_WRITTEN_FILE}")
    endif()
endif()
