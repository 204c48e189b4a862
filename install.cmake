# Installation on Linux and other freedesktop systems:
#   <prefix>/lib/velmora/velmora           the program, in a folder of its own,
#                                          where Undo.log and words.txt live
#   <prefix>/lib/velmora/libvelmora-gio.so the desktop module it loads for "run"
#                                          and the file chooser
#   <prefix>/bin/velmora                   relative symlink to it (the program
#                                          finds its folder via /proc/self/exe,
#                                          so the link leads to the real one)
#   <prefix>/share/applications/velmora.desktop
#   <prefix>/share/icons/hicolor/*/apps/velmora.{png,svg}
#   <prefix>/share/kio/servicemenus/velmora.desktop   (Dolphin context menu)
# Windows and macOS need their own bundling (Qt libraries beside the program
# or inside the bundle), which this file does not attempt.
if(NOT (VELMORA_BUILD_UI AND UNIX AND NOT APPLE))
  return()
endif()

set(VELMORA_PROGRAM_DIR lib/velmora)
set(VELMORA_PACKAGING ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(VELMORA_ICONS ${CMAKE_CURRENT_SOURCE_DIR}/src/ui/icons)

install(TARGETS velmora RUNTIME DESTINATION ${VELMORA_PROGRAM_DIR})
# The desktop module (GIO), which the program loads from its own folder.
install(TARGETS velmora_gio LIBRARY DESTINATION ${VELMORA_PROGRAM_DIR})

# The link is made once in the build tree; installing a symlink copies the
# link itself, so it stays relative and works under any prefix or DESTDIR.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
file(CREATE_LINK ../${VELMORA_PROGRAM_DIR}/velmora
     ${CMAKE_BINARY_DIR}/install-links/velmora SYMBOLIC)
install(PROGRAMS ${CMAKE_BINARY_DIR}/install-links/velmora DESTINATION bin)

install(FILES ${VELMORA_PACKAGING}/velmora.desktop DESTINATION share/applications)

foreach(size IN ITEMS 16 24 32 48 256)
  install(FILES ${VELMORA_ICONS}/velmora-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps
          RENAME velmora.png)
endforeach()
install(FILES ${VELMORA_ICONS}/velmora.svg DESTINATION share/icons/hicolor/scalable/apps)

# KIO reads service menus from here (KDE Frameworks 5.85 and later); the
# executable bit is what KIO asks of menus outside the system folders.
install(PROGRAMS ${VELMORA_PACKAGING}/dolphin/velmora.desktop
        DESTINATION share/kio/servicemenus)

# Refresh the desktop's MIME-to-program cache when installing in place (a
# packager's DESTDIR staging leaves that to the package's own triggers).
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    find_program(VELMORA_UPDATE_DESKTOP_DB update-desktop-database)
    if(VELMORA_UPDATE_DESKTOP_DB)
      execute_process(COMMAND ${VELMORA_UPDATE_DESKTOP_DB} -q
                              "${CMAKE_INSTALL_PREFIX}/share/applications")
    endif()
  endif()
]])

if(VELMORA_BUILD_TESTS)
  find_program(VELMORA_DESKTOP_FILE_VALIDATE desktop-file-validate)
  if(VELMORA_DESKTOP_FILE_VALIDATE)
    # The tool exits 0 on some errors ("will be fatal in the future"), so
    # any error or warning line fails the test.
    add_test(NAME desktop_entry_valid
             COMMAND ${VELMORA_DESKTOP_FILE_VALIDATE} ${VELMORA_PACKAGING}/velmora.desktop)
    set_tests_properties(desktop_entry_valid PROPERTIES
                         FAIL_REGULAR_EXPRESSION "error|warning")
  else()
    message(STATUS "desktop-file-validate not found: desktop entry test left out")
  endif()

  add_test(NAME install_layout
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/layout_test.sh
                   ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR})
  set_tests_properties(install_layout PROPERTIES TIMEOUT 120)
endif()
