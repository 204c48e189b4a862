# The real program under X11 window managers and Wayland compositors. Each
# script exits 77 (skipped) when its window manager or compositor is missing;
# scripts/packages.txt installs xfwm4 and weston, so CI runs both. The Wayland
# script also covers mutter where mutter and xwayland are installed.
if(VELMORA_FREEDESKTOP)
  add_test(NAME wm_xfwm4 COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/wm/x11_wm_test.sh $<TARGET_FILE:velmora> xfwm4)
  add_test(NAME wm_wayland COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/wm/wayland_test.sh $<TARGET_FILE:velmora>)
  # Started with "-st" alone, the program asks for its file: a stand-in for
  # the desktop portal's chooser gives it.
  set_tests_properties(wm_xfwm4 wm_wayland PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77
                       ENVIRONMENT "VELMORA_TEST_PORTAL=$<TARGET_FILE:velmora_test_portal>")
endif()
