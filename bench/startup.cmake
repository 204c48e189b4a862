# Start-up speed of the program against a bare Qt window with the same
# controls, under a private Xvfb (for a Windows build: under Wine on it). Run by hand (build/velmora_startup_bench);
# it is a measurement, not a test, so CTest does not run it. The bare window
# uses Qt but holds no class of its own for moc: it is made before moc is
# turned on for the window's targets.
if(VELMORA_FREEDESKTOP)
  find_package(X11)
  if(X11_FOUND)
    add_executable(velmora_bare_window bench/bare_window.cpp)
    # The window's control table names the name commands' functions, so the
    # bare window links the core (and its ICU, which Qt's own core loads
    # anyway); it builds the controls but calls none of them.
    target_link_libraries(velmora_bare_window PRIVATE Qt6::Widgets velmora_core)
    target_include_directories(velmora_bare_window PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
    velmora_warnings(velmora_bare_window)

    add_executable(velmora_startup_bench bench/startup_harness.cpp)
    target_link_libraries(velmora_startup_bench PRIVATE X11::X11)
    target_compile_definitions(velmora_startup_bench PRIVATE
      VELMORA_PROGRAM="$<TARGET_FILE:velmora>"
      VELMORA_BARE_WINDOW="$<TARGET_FILE:velmora_bare_window>")
    add_dependencies(velmora_startup_bench velmora velmora_bare_window)
    velmora_warnings(velmora_startup_bench)
  else()
    message(STATUS "Xlib headers not found (libx11-dev): no start-up benchmark")
  endif()
elseif(WIN32 AND VELMORA_BUILD_UI)
  # The bare window for Windows, which the host's velmora_startup_bench --wine
  # compares with velmora.exe under Wine (scripts/windows-window-check.sh --bench).
  add_executable(velmora_bare_window WIN32 bench/bare_window.cpp)
  target_link_libraries(velmora_bare_window PRIVATE Qt6::Widgets velmora_core)
  target_include_directories(velmora_bare_window PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  velmora_warnings(velmora_bare_window)
endif()
