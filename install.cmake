# Installation on Linux and other freedesktop systems, relative to the prefix
# (the folders are GNUInstallDirs' defaults: bin, share, share/man):
#   lib/velmora/velmora                    the program, in a folder of its own,
#                                          where Undo.log and words.txt live
#                                          when the folder can be written
#   bin/velmora                            relative symlink to it (the program
#                                          finds its folder via /proc/self/exe,
#                                          so the link leads to the real one)
#   share/applications/velmora.desktop     menu entry; it claims no file types
#   share/icons/hicolor/*/apps/velmora.{png,svg}
#   share/kio/servicemenus/velmora.desktop (Dolphin context menu)
#   share/man/man1/velmora.1.gz
#   share/metainfo/io.github.velmora.Velmora.metainfo.xml
# Windows and macOS need their own bundling (Qt libraries beside the program
# or inside the bundle), which this file does not attempt.
if(NOT (VELMORA_BUILD_UI AND UNIX AND NOT APPLE))
  return()
endif()

# The program folder is lib/velmora, not CMAKE_INSTALL_LIBDIR: on Debian that
# is the multiarch lib/x86_64-linux-gnu, which is meant for shared libraries.
# A package's private programs go in /usr/lib/<package> (Debian Policy 9.1.1,
# FHS /usr/lib), and the per-user install mirrors it in ~/.local/lib/velmora.
set(VELMORA_PROGRAM_DIR lib/velmora)
set(VELMORA_PACKAGING ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(VELMORA_ICONS ${CMAKE_CURRENT_SOURCE_DIR}/src/ui/icons)
set(VELMORA_METAINFO io.github.velmora.Velmora.metainfo.xml)
set(VELMORA_GENERATED ${CMAKE_BINARY_DIR}/packaging)
set(VELMORA_DATA ${CMAKE_INSTALL_DATAROOTDIR})

install(TARGETS velmora RUNTIME DESTINATION ${VELMORA_PROGRAM_DIR})

# The link is made once in the build tree; installing a symlink copies the
# link itself, so it stays relative and works under any prefix or DESTDIR.
file(RELATIVE_PATH velmora_link_target /prefix/${CMAKE_INSTALL_BINDIR}
     /prefix/${VELMORA_PROGRAM_DIR}/velmora)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
file(CREATE_LINK ${velmora_link_target} ${CMAKE_BINARY_DIR}/install-links/velmora SYMBOLIC)
install(PROGRAMS ${CMAKE_BINARY_DIR}/install-links/velmora DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${VELMORA_PACKAGING}/velmora.desktop DESTINATION ${VELMORA_DATA}/applications)
install(FILES ${VELMORA_PACKAGING}/${VELMORA_METAINFO} DESTINATION ${VELMORA_DATA}/metainfo)

foreach(size IN ITEMS 16 24 32 48 256)
  install(FILES ${VELMORA_ICONS}/velmora-${size}.png
          DESTINATION ${VELMORA_DATA}/icons/hicolor/${size}x${size}/apps
          RENAME velmora.png)
endforeach()
install(FILES ${VELMORA_ICONS}/velmora.svg DESTINATION ${VELMORA_DATA}/icons/hicolor/scalable/apps)

# The manual page is installed compressed, as man and Debian expect; -n
# leaves out the name and time, so a rebuild is identical.
find_program(VELMORA_GZIP gzip)
function(velmora_gzip source output)
  add_custom_command(OUTPUT ${output}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${output}
    COMMAND ${VELMORA_GZIP} -9nf ${output}
    DEPENDS ${source} VERBATIM)
endfunction()
if(VELMORA_GZIP)
  velmora_gzip(${VELMORA_PACKAGING}/velmora.1 ${VELMORA_GENERATED}/velmora.1)
  add_custom_target(velmora_compressed_docs ALL DEPENDS ${VELMORA_GENERATED}/velmora.1.gz)
  install(FILES ${VELMORA_GENERATED}/velmora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  install(FILES ${VELMORA_PACKAGING}/velmora.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# KIO shows a service menu only when its file is executable or owned by root.
# The mode is chosen by the prefix when installing, since `cmake --install
# --prefix` may change it: under /usr and /usr/local, which root writes, the
# file is an ordinary 644 data file (Debian's lintian also asks for that);
# under any other prefix, such as ~/.local, it keeps the executable bit that
# KIO needs of a file the user owns.
install(CODE "set(VELMORA_SERVICE_MENU \"${VELMORA_PACKAGING}/dolphin/velmora.desktop\")
  set(VELMORA_SERVICE_MENU_DIR \"${VELMORA_DATA}/kio/servicemenus\")
  set(VELMORA_APPLICATIONS_DIR \"${VELMORA_DATA}/applications\")")
install(CODE [[
  set(mode OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  if(NOT CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/*$")
    list(APPEND mode OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
  endif()
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${VELMORA_SERVICE_MENU_DIR}"
       TYPE FILE PERMISSIONS ${mode} FILES "${VELMORA_SERVICE_MENU}")
]])

# Refresh the desktop's menu cache when installing in place. A packager's
# DESTDIR staging leaves that to the package manager: on Debian, dpkg's
# triggers of desktop-file-utils, man-db and hicolor-icon-theme refresh it.
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    find_program(VELMORA_UPDATE_DESKTOP_DB update-desktop-database)
    if(VELMORA_UPDATE_DESKTOP_DB)
      execute_process(COMMAND ${VELMORA_UPDATE_DESKTOP_DB} -q
                              "${CMAKE_INSTALL_PREFIX}/${VELMORA_APPLICATIONS_DIR}")
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

  find_program(VELMORA_APPSTREAMCLI appstreamcli)
  if(VELMORA_APPSTREAMCLI)
    # --strict: an info-level finding fails too; only pedantic hints pass.
    add_test(NAME metainfo_valid
             COMMAND ${VELMORA_APPSTREAMCLI} validate --no-net --strict
                     ${VELMORA_PACKAGING}/${VELMORA_METAINFO})
  else()
    message(STATUS "appstreamcli not found: metainfo test left out")
  endif()

  find_program(VELMORA_GROFF groff)
  if(VELMORA_GROFF)
    # -ww reports every warning, -z renders nothing: any output is a fault.
    add_test(NAME man_page_renders
             COMMAND ${VELMORA_GROFF} -man -Tutf8 -ww -z ${VELMORA_PACKAGING}/velmora.1)
    set_tests_properties(man_page_renders PROPERTIES FAIL_REGULAR_EXPRESSION ".")
  else()
    message(STATUS "groff not found: manual page test left out")
  endif()

  # These tests install into the build folder's manifest in turn.
  add_test(NAME install_layout
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/layout_test.sh
                   ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR})
  set_tests_properties(install_layout PROPERTIES TIMEOUT 120 RESOURCE_LOCK install_manifest)
  add_test(NAME install_claims_no_file_types
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/mime_test.sh
                   ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR})
  set_tests_properties(install_claims_no_file_types PROPERTIES
                       TIMEOUT 120 RESOURCE_LOCK install_manifest SKIP_RETURN_CODE 77)
endif()
