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
    PROPERTIES RESOURCE_LOCK "StrandixSettingsKey;StrandixProgram" TIMEOUT 180)
