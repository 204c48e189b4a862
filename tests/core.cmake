# The core's tests (GoogleTest, no Qt): one file per source file it exercises,
# the per-OS ones beside the per-OS sources they test.
add_executable(velmora_core_tests
  tests/core/application_test.cpp
  tests/core/codec_test.cpp
  tests/core/errors_test.cpp
  tests/core/files_test.cpp
  tests/core/modes_test.cpp
  tests/core/name_functions_reference_test.cpp
  tests/core/name_functions_test.cpp
  tests/core/paths_test.cpp
  tests/core/rename_test.cpp
  tests/core/run_file_test.cpp
  tests/core/text_file_test.cpp
  tests/core/text_test.cpp
  tests/core/title_test.cpp
  tests/core/undo_log_test.cpp
  tests/core/undo_test.cpp
  tests/core/unicode_test.cpp
  tests/core/word_list_test.cpp)
if(WIN32)
  # velmora's resources, manifest and all: UTF-8 as the code page, as the
  # programs run.
  target_sources(velmora_core_tests PRIVATE
    src/app/velmora.rc
    tests/core/application_win_test.cpp
    tests/core/codec_win_test.cpp
    tests/core/filesystem_win_test.cpp
    tests/core/real_shell_win_test.cpp
    tests/core/win_error_win_test.cpp)
else()
  target_sources(velmora_core_tests PRIVATE
    tests/core/application_posix_test.cpp
    tests/core/codec_posix_test.cpp
    tests/core/filesystem_posix_test.cpp
    tests/core/native_file_posix_test.cpp
    tests/core/rename_posix_test.cpp
    tests/core/undo_log_posix_test.cpp
    tests/core/undo_posix_test.cpp)
endif()
if(LINUX)
  target_sources(velmora_core_tests PRIVATE tests/core/real_shell_gio_test.cpp)
  # The shell's tests stand in for the desktop portal on a bus of their own.
  target_link_libraries(velmora_core_tests PRIVATE PkgConfig::GIO)
  # The same stand-in as a program, for the scripts that start the real
  # program without a file under window managers and compositors.
  add_executable(velmora_test_portal tests/support/test_portal.cpp)
  target_include_directories(velmora_test_portal PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  target_link_libraries(velmora_test_portal PRIVATE PkgConfig::GIO)
  velmora_warnings(velmora_test_portal)
endif()
target_include_directories(velmora_core_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
target_link_libraries(velmora_core_tests PRIVATE
  velmora_app velmora_undo_command velmora_os_shell GTest::gtest GTest::gtest_main)
velmora_warnings(velmora_core_tests)
if(MINGW)
  # The compiler's runtime linked in: beside a Qt for Windows the build links
  # it as DLLs, which the test program would not find under Wine.
  target_link_options(velmora_core_tests PRIVATE -static)
endif()
gtest_discover_tests(velmora_core_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES ENVIRONMENT "VELMORA_TEST_BUILD_DIR=${CMAKE_BINARY_DIR}")

if(WIN32)
  # The file text codec again, in a program without velmora's manifest: the
  # system's code page, as on a Windows that ignores the manifest's UTF-8.
  add_executable(velmora_codec_ansi_tests tests/core/codec_win_test.cpp tests/core/files_test.cpp)
  target_include_directories(velmora_codec_ansi_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  target_link_libraries(velmora_codec_ansi_tests PRIVATE velmora_core GTest::gtest GTest::gtest_main)
  velmora_warnings(velmora_codec_ansi_tests)
  target_link_options(velmora_codec_ansi_tests PRIVATE -static)
  gtest_discover_tests(velmora_codec_ansi_tests DISCOVERY_TIMEOUT 60 TEST_SUFFIX .ansi)
endif()
