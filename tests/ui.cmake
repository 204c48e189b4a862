# The window's tests (QtTest), on Qt's offscreen platform.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(velmora_ui_tests
  tests/ui/main.cpp
  tests/ui/file_chooser_test.cpp
  tests/ui/frm_quick_ren_commands_test.cpp
  tests/ui/frm_quick_ren_keyboard_test.cpp
  tests/ui/frm_quick_ren_test.cpp
  tests/ui/qt_desktop_test.cpp
  tests/ui/window_system_test.cpp)
target_include_directories(velmora_ui_tests PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR}/tests/ui)
target_link_libraries(velmora_ui_tests PRIVATE velmora_app velmora_ui Qt6::Test)
velmora_warnings(velmora_ui_tests)
add_test(NAME velmora_ui_tests COMMAND velmora_ui_tests)
set_tests_properties(velmora_ui_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
