# Runs the command-line tool once, as a script would, and checks its exit status and what it
# printed; optionally the file it wrote.
#   cmake -DTOOL=... -DTOOL_ARGS="a|b|c" -DEXPECT_STATUS=N -DEXPECT_OUTPUT=regex
#         [-DEMULATOR=...] [-DEXPECT_FILE=path -DEXPECT_FILE_CONTENT=regex]
#         [-DPIPE_FROM=file] -P run_tool.cmake
# PIPE_FROM: the file's bytes reach the tool's standard input through a pipe.
string(REPLACE "|" ";" arguments "${TOOL_ARGS}")
if(DEFINED EXPECT_FILE)
    file(REMOVE "${EXPECT_FILE}")
endif()
if(DEFINED PIPE_FROM)
    execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${PIPE_FROM}
        COMMAND ${EMULATOR} ${TOOL} ${arguments}
        RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
    # The status of the last command of the pipeline is the tool's.
    list(GET status -1 status)
else()
    execute_process(COMMAND ${EMULATOR} ${TOOL} ${arguments}
        RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
endif()
if(NOT status EQUAL EXPECT_STATUS)
    message(FATAL_ERROR "exit status ${status}, expected ${EXPECT_STATUS}\n${output}${errors}")
endif()
if(NOT "${output}${errors}" MATCHES "${EXPECT_OUTPUT}")
    message(FATAL_ERROR "output does not match '${EXPECT_OUTPUT}':\n${output}${errors}")
endif()
if(DEFINED EXPECT_FILE)
    if(NOT EXISTS "${EXPECT_FILE}")
        message(FATAL_ERROR "${EXPECT_FILE} was not written")
    endif()
    file(READ "${EXPECT_FILE}" content)
    if(NOT content MATCHES "${EXPECT_FILE_CONTENT}")
        message(FATAL_ERROR "${EXPECT_FILE} does not match '${EXPECT_FILE_CONTENT}'")
    endif()
endif()
