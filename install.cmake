# Installation on Linux and other freedesktop systems, relative to the prefix
# (the folders are GNUInstallDirs' defaults: bin, share, share/man):
#   lib/velmora/velmora                    the program, in a folder of its own,
#                                          where Undo.log and words.txt live
#                                          when the folder can be written
#   lib/velmora/velmora-undo               its undo companion, beside it
#   lib/velmora/libvelmora-gio.so          the desktop module it loads for "run"
#                                          and the file chooser
#   bin/velmora, bin/velmora-undo          relative symlinks to them (the
#                                          programs find their folder via
#                                          /proc/self/exe, so the link leads
#                                          to the real one)
#   share/applications/velmora.desktop     menu entry; it claims no file types
#   share/icons/hicolor/*/apps/velmora.{png,svg}
#   share/kio/servicemenus/velmora.desktop (Dolphin context menu)
#   share/velmora/Rename with Velmora, velmora-action.xml (GNOME Files script,
#                                          Thunar action, copied by hand)
#   share/velmora/window.png               the window as the metainfo's screenshot shows it
#   share/man/man1/velmora.1.gz, velmora-undo.1.gz
#   share/metainfo/io.github.velmora.Velmora.metainfo.xml
# The .deb (cpack -G DEB) adds share/doc/velmora/{copyright,changelog.gz}.
# Windows and macOS need their own bundling (Qt libraries beside the program
# or inside the bundle), which this file does not attempt.
if(NOT VELMORA_FREEDESKTOP)
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
set(VELMORA_MAINTAINER "Velmora developers <velmora@example.org>")
set(VELMORA_GENERATED ${CMAKE_BINARY_DIR}/packaging)
set(VELMORA_DATA ${CMAKE_INSTALL_DATAROOTDIR})

# velmora-undo sits beside velmora, so that both find the same Undo.log.
install(TARGETS velmora velmora-undo RUNTIME DESTINATION ${VELMORA_PROGRAM_DIR})
# The desktop module (GIO), which the program loads from its own folder.
install(TARGETS velmora_gio LIBRARY DESTINATION ${VELMORA_PROGRAM_DIR})

# The links are made once in the build tree; installing a symlink copies the
# link itself, so it stays relative and works under any prefix or DESTDIR.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
foreach(program IN ITEMS velmora velmora-undo)
  file(RELATIVE_PATH link_target /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${VELMORA_PROGRAM_DIR}/${program})
  file(CREATE_LINK ${link_target} ${CMAKE_BINARY_DIR}/install-links/${program} SYMBOLIC)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/install-links/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

install(FILES ${VELMORA_PACKAGING}/${VELMORA_METAINFO} DESTINATION ${VELMORA_DATA}/metainfo)
# GNOME Files and Thunar take these by hand, from a folder that outlasts the
# source tree.
install(PROGRAMS "${VELMORA_PACKAGING}/nautilus/Rename with Velmora" DESTINATION ${VELMORA_DATA}/velmora)
install(FILES ${VELMORA_PACKAGING}/thunar/velmora-action.xml DESTINATION ${VELMORA_DATA}/velmora)
# The screenshot software centres show (by its address in the metainfo), also
# at hand without a network.
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/docs/window.png DESTINATION ${VELMORA_DATA}/velmora)

foreach(size IN ITEMS 16 24 32 48 256)
  install(FILES ${VELMORA_ICONS}/velmora-${size}.png
          DESTINATION ${VELMORA_DATA}/icons/hicolor/${size}x${size}/apps
          RENAME velmora.png)
endforeach()
install(FILES ${VELMORA_ICONS}/velmora.svg DESTINATION ${VELMORA_DATA}/icons/hicolor/scalable/apps)

# Manual pages and the package changelog are installed compressed, as man and
# Debian expect; -n leaves out the name and time, so a rebuild is identical.
find_program(VELMORA_GZIP gzip)
function(velmora_gzip source output)
  add_custom_command(OUTPUT ${output}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${output}
    COMMAND ${VELMORA_GZIP} -9nf ${output}
    DEPENDS ${source} VERBATIM)
endfunction()
if(VELMORA_GZIP)
  velmora_gzip(${VELMORA_PACKAGING}/velmora.1 ${VELMORA_GENERATED}/velmora.1)
  velmora_gzip(${VELMORA_PACKAGING}/velmora-undo.1 ${VELMORA_GENERATED}/velmora-undo.1)
  velmora_gzip(${VELMORA_PACKAGING}/debian/changelog ${VELMORA_GENERATED}/changelog)
  add_custom_target(velmora_compressed_docs ALL
    DEPENDS ${VELMORA_GENERATED}/velmora.1.gz ${VELMORA_GENERATED}/velmora-undo.1.gz
            ${VELMORA_GENERATED}/changelog.gz)
  install(FILES ${VELMORA_GENERATED}/velmora.1.gz ${VELMORA_GENERATED}/velmora-undo.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  install(FILES ${VELMORA_PACKAGING}/velmora.1 ${VELMORA_PACKAGING}/velmora-undo.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# KIO shows a service menu only when its file is executable or owned by root.
# The mode is chosen by the prefix when installing, since `cmake --install
# --prefix` may change it: under /usr and /usr/local, which root writes, the
# file is an ordinary 644 data file (Debian's lintian also asks for that);
# under any other prefix, such as ~/.local, it keeps the executable bit that
# KIO needs of a file the user owns.
#
# The menu entry and the service menu start the command by its full path
# under any other prefix too: its bin folder may not be on the session's PATH
# (~/.local/bin is added at the next login, /opt/... never).
install(CODE "set(VELMORA_SERVICE_MENU \"${VELMORA_PACKAGING}/dolphin/velmora.desktop\")
  set(VELMORA_MENU_ENTRY \"${VELMORA_PACKAGING}/velmora.desktop\")
  set(VELMORA_ENTRIES_STAGE \"${VELMORA_GENERATED}/entries\")
  set(VELMORA_BIN_DIR \"${CMAKE_INSTALL_BINDIR}\")
  set(VELMORA_SERVICE_MENU_DIR \"${VELMORA_DATA}/kio/servicemenus\")
  set(VELMORA_APPLICATIONS_DIR \"${VELMORA_DATA}/applications\")")
install(CODE [[
  set(mode OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  set(menu "${VELMORA_SERVICE_MENU}")
  set(entry "${VELMORA_MENU_ENTRY}")
  if(NOT CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/*$")
    list(APPEND mode OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
    string(REGEX REPLACE "/+$" "" bin "${CMAKE_INSTALL_PREFIX}/${VELMORA_BIN_DIR}")
    # Quoted as the desktop entry format asks: \ " ` $ escaped inside the
    # quotes, every backslash doubled again as a string value, % doubled.
    set(quoted "${bin}")
    foreach(special IN ITEMS "\\" "\"" "`" "$")
      string(REPLACE "${special}" "\\${special}" quoted "${quoted}")
    endforeach()
    string(REPLACE "\\" "\\\\" quoted "${quoted}")
    string(REPLACE "%" "%%" quoted "${quoted}")
    file(MAKE_DIRECTORY "${VELMORA_ENTRIES_STAGE}/applications" "${VELMORA_ENTRIES_STAGE}/servicemenus")
    foreach(pair IN ITEMS "entry;applications" "menu;servicemenus")
      list(GET pair 0 var)
      list(GET pair 1 sub)
      file(READ "${${var}}" text)
      foreach(program IN ITEMS velmora velmora-undo)
        string(REPLACE "\nExec=${program} " "\nExec=\"${quoted}/${program}\" " text "${text}")
      endforeach()
      file(WRITE "${VELMORA_ENTRIES_STAGE}/${sub}/velmora.desktop" "${text}")
      set(${var} "${VELMORA_ENTRIES_STAGE}/${sub}/velmora.desktop")
    endforeach()
  endif()
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${VELMORA_APPLICATIONS_DIR}"
       TYPE FILE FILES "${entry}")
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${VELMORA_SERVICE_MENU_DIR}"
       TYPE FILE PERMISSIONS ${mode} FILES "${menu}")
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

# ---------------------------------------------------------------- the .deb
# Debian's copyright file, made from LICENSE so the terms are written once.
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE velmora_license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${velmora_license}")
set(VELMORA_COPYRIGHT "${CMAKE_MATCH_1}")
string(FIND "${velmora_license}" "Permission is hereby granted" velmora_terms_start)
string(SUBSTRING "${velmora_license}" ${velmora_terms_start} -1 velmora_terms)
string(STRIP "${velmora_terms}" velmora_terms)
string(REPLACE "\n\n" "\n.\n" velmora_terms "${velmora_terms}")
string(REPLACE "\n" "\n " VELMORA_LICENSE_TERMS " ${velmora_terms}")
configure_file(${VELMORA_PACKAGING}/debian/copyright.in ${VELMORA_GENERATED}/copyright @ONLY)

# Only the package carries these, in a component a plain install leaves out.
if(VELMORA_GZIP)
  install(FILES ${VELMORA_GENERATED}/copyright ${VELMORA_GENERATED}/changelog.gz
          DESTINATION ${VELMORA_DATA}/doc/velmora COMPONENT debian EXCLUDE_FROM_ALL)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "${VELMORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "rename one file quickly from a small window")
# Debian shows the description as written: lines of at most 79 characters.
set(CPACK_PACKAGE_DESCRIPTION [[
Velmora opens one small window on a file and splits its name into a base
name and an extension. Type the new name, or rewrite it with one click (case,
spaces, dashes and underscores, %20 escapes, CamelCase, a list of often-used
names, or a title read from the file), then press Enter: the file is renamed
in its folder.

Velmora never replaces another file: a name that is taken gets a number.
Each rename is written to an undo log. It is started from the file manager's
context menu or its Open With dialog.]])
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
# Staging through DESTDIR with the prefix /usr keeps the real prefix in view
# of the install code above, which chooses the service menu's mode by it.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# One package holding every component, the Debian files included.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELMORA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Without the Wayland platform plugin Qt falls back to XWayland, with a
# warning at every start in a Wayland session.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${VELMORA_PACKAGING}/debian/postinst ${VELMORA_PACKAGING}/debian/postrm)
# Last of all install rules: CPack packs the components known at this point.
include(CPack)

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
    foreach(page IN ITEMS velmora velmora-undo)
      add_test(NAME ${page}_man_page_renders
               COMMAND ${VELMORA_GROFF} -man -Tutf8 -ww -z ${VELMORA_PACKAGING}/${page}.1)
      set_tests_properties(${page}_man_page_renders PROPERTIES FAIL_REGULAR_EXPRESSION ".")
    endforeach()
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
  add_test(NAME deb_package
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/deb_test.sh
                   ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR})
  set_tests_properties(deb_package PROPERTIES
                       TIMEOUT 180 RESOURCE_LOCK install_manifest SKIP_RETURN_CODE 77)
endif()
