# Windows only: the utilities against the real system, and whole setup and uninstall runs.
# The setup dialog is built from the program's own template: the runner carries the resources.
strandix_add_test(setup_win32_tests shell_files_win32_test.cpp
    $<TARGET_OBJECTS:strandix_resources>)
target_link_libraries(setup_win32_tests PRIVATE strandix_setup ole32 uuid shell32 advapi32)

# Whole runs write the settings key of the current user, the uninstall entry and the shortcut:
# one at a time, and never beside another test that writes the settings key.
add_executable(setup_e2e_tests setup_e2e_win32_test.cpp)
strandix_target_options(setup_e2e_tests)
target_link_libraries(setup_e2e_tests PRIVATE strandix_setup strandix_app_win32 GTest::gtest_main GTest::gmock
    ole32 uuid shell32 advapi32)

# The runs install and uninstall the real program, as a copy named for the test.
add_dependencies(setup_e2e_tests strandix_gui)
add_custom_command(TARGET setup_e2e_tests POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:strandix_gui>
        $<TARGET_FILE_DIR:setup_e2e_tests>/setup_real_program.exe)
target_compile_definitions(setup_e2e_tests PRIVATE SETUP_TEST_PROGRAM_NAME="setup_real_program.exe")
gtest_discover_tests(setup_e2e_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES RESOURCE_LOCK "StrandixSettingsKey;StrandixProgram"
        TIMEOUT ${STRANDIX_WINE_WINDOW_TEST_TIMEOUT})

# A planted library: a DLL that marks its own loading, copied beside setup.exe under the names of
# system libraries; and a probe that loads those names with and without the program's
# restriction of the library search, to show that the planted copies would otherwise be found.
add_library(planted_library SHARED planted_library_win32.cpp)
set_target_properties(planted_library PROPERTIES PREFIX "")
strandix_target_options(planted_library)
if(NOT MSVC)
    target_link_options(planted_library PRIVATE -static)
endif()
add_executable(library_search_probe library_search_probe_win32.cpp
    ${PROJECT_SOURCE_DIR}/app/library_search_win32.cpp)
strandix_target_options(library_search_probe)
add_dependencies(setup_e2e_tests planted_library library_search_probe)
target_compile_definitions(setup_e2e_tests PRIVATE
    PLANTED_LIBRARY_NAME="$<TARGET_FILE_NAME:planted_library>"
    LIBRARY_SEARCH_PROBE_NAME="$<TARGET_FILE_NAME:library_search_probe>")
