# The Windows build of the window, tried under Wine on the Linux host that
# cross-built it (tests/win/window_test.sh): the folder cmake --install makes,
# driven with xdotool on an Xvfb of its own; then the installer, when cpack
# has made it. Skipped (77) where Wine, Xvfb or xdotool are missing.
if(WIN32 AND CMAKE_CROSSCOMPILING AND VELMORA_BUILD_UI)
  # A stand-in for rundll32.exe that records the "Open With" command line.
  add_executable(velmora_record_command_line WIN32 tests/support/record_command_line_win.cpp)
  target_link_options(velmora_record_command_line PRIVATE -municode -static)
  velmora_warnings(velmora_record_command_line)

  add_test(NAME windows_window
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/win/window_test.sh
                   ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/tests/support/bell_watch.c
                   $<TARGET_FILE:velmora_record_command_line>
                   ${VELMORA_WINDOWS_INSTALLER})
  # The build's own Wine prefix, made once, so that each run starts quickly.
  set_tests_properties(windows_window PROPERTIES TIMEOUT 400 SKIP_RETURN_CODE 77
                       ENVIRONMENT "VELMORA_WINEPREFIX=${CMAKE_BINARY_DIR}/wine")
endif()
