# The real program under a real X server, driven by key events.
if(VELMORA_FREEDESKTOP)
  add_test(NAME e2e_xvfb COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/xvfb_test.sh $<TARGET_FILE:velmora>)
  set_tests_properties(e2e_xvfb PROPERTIES TIMEOUT 180)
  add_test(NAME e2e_case_insensitive COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/case_insensitive_test.sh $<TARGET_FILE:velmora_core_tests>)
  set_tests_properties(e2e_case_insensitive PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77)
  add_test(NAME e2e_race COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/race_test.sh $<TARGET_FILE:velmora>)
  set_tests_properties(e2e_race PROPERTIES TIMEOUT 240)
  add_test(NAME e2e_undo COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/undo_test.sh $<TARGET_FILE:velmora> $<TARGET_FILE:velmora-undo> ${CMAKE_CURRENT_SOURCE_DIR}/packaging/velmora.desktop)
  set_tests_properties(e2e_undo PROPERTIES TIMEOUT 120)
endif()

# Started without a file: the chooser, driven by key events under Xvfb.
if(VELMORA_FREEDESKTOP)
  add_test(NAME e2e_chooser COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/chooser_test.sh $<TARGET_FILE:velmora>)
  set_tests_properties(e2e_chooser PROPERTIES TIMEOUT 120)
endif()

# The rule those scripts end each program with (tests/lib/xvfb.sh), on
# stand-in programs: no X server needed.
if(VELMORA_FREEDESKTOP)
  add_test(NAME e2e_lib_finish COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/lib/finish_test.sh)
  set_tests_properties(e2e_lib_finish PROPERTIES TIMEOUT 60)
endif()
