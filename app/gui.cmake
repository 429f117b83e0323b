# The Windows program Strandix!.exe. (The portable logic of View Results and Save Results,
# app/result_paths.cpp, is part of strandix_app_core.)
if(WIN32)
    add_executable(strandix_gui WIN32
        ${CMAKE_CURRENT_LIST_DIR}/dialog_win32.cpp
        ${CMAKE_CURRENT_LIST_DIR}/splash_dialog_win32.cpp
        ${CMAKE_CURRENT_LIST_DIR}/els_dialog_win32.cpp
        ${CMAKE_CURRENT_LIST_DIR}/result_commands_win32.cpp
        ${CMAKE_CURRENT_LIST_DIR}/els_app_win32.cpp
        $<TARGET_OBJECTS:strandix_resources>)
    set_target_properties(strandix_gui PROPERTIES OUTPUT_NAME "Strandix!")
    strandix_target_options(strandix_gui)
    target_link_libraries(strandix_gui PRIVATE
        strandix_setup strandix_app_win32 strandix_app_core strandix_results
        comctl32 comdlg32 shell32 gdi32 user32 advapi32)
endif()
