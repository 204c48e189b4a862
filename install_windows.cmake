# The Windows folder a user gets, relative to the install prefix, and the two
# packages made from it (cpack): a portable zip and a per-user installer.
#   velmora.exe, velmora-undo.exe      the programs; Undo.log and words.txt
#                                      live beside them when the folder can
#                                      be written (else %LOCALAPPDATA%\Velmora)
#   Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll
#   platforms/qwindows.dll             Qt's Windows platform plugin
#   styles/qwindowsvistastyle.dll      the system's look for buttons and lists
#   libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll
#                                      the compiler's runtime, shared with Qt
# The installer (NSIS) needs no administrator: it installs into
# %LOCALAPPDATA%\Programs\Velmora, adds a Start menu entry, a "Send To" entry
# and an uninstaller that leaves only the user's Undo.log and words.txt.
if(NOT WIN32 OR NOT VELMORA_BUILD_UI)
  return()
endif()

install(TARGETS velmora velmora-undo RUNTIME DESTINATION .)
# Every DLL installed, relative to the prefix, for the strip below.
set(velmora_dlls)
foreach(module IN ITEMS Core Gui Widgets)
  install(FILES $<TARGET_FILE:Qt6::${module}> DESTINATION .)
  list(APPEND velmora_dlls $<TARGET_FILE_NAME:Qt6::${module}>)
endforeach()
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
list(APPEND velmora_dlls platforms/$<TARGET_FILE_NAME:Qt6::QWindowsIntegrationPlugin>)
if(TARGET Qt6::QWindowsVistaStylePlugin)
  install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
  list(APPEND velmora_dlls styles/$<TARGET_FILE_NAME:Qt6::QWindowsVistaStylePlugin>)
endif()

# The runtime DLLs of the compiler that built Qt and the programs, found
# where that compiler keeps them.
foreach(dll IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
    find_file(dll_path_${dll} ${dll} PATHS /usr/${VELMORA_MINGW_PREFIX}/lib NO_DEFAULT_PATH)
    set(dll_path ${dll_path_${dll}})
  endif()
  if(NOT EXISTS "${dll_path}")
    message(FATAL_ERROR "The compiler's runtime ${dll} was not found for the Windows folder")
  endif()
  install(FILES ${dll_path} DESTINATION .)
  list(APPEND velmora_dlls ${dll})
endforeach()
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

# Debian's compiler runtime and our Qt build come with their debugging
# sections; a stripping install (cpack, cmake --install --strip) drops them,
# as it does for the programs: the folder shrinks from 57 MB to 25 MB.
string(JOIN " " velmora_dlls ${velmora_dlls})
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(dll IN ITEMS ${velmora_dlls})
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${dll}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME Velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Rename one file quickly")
set(CPACK_PACKAGE_FILE_NAME Velmora-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
# Kept apart: include(CPack) leaves CPACK_PACKAGE_FILE_NAME set to the
# source package's name.
set(VELMORA_WINDOWS_INSTALLER ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.exe)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Velmora)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# The zip unpacks to one folder, Velmora-<version>-win64, ready to run.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# ...which the installer cannot use: it is turned off for NSIS alone.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows/cpack_generator.cmake)
# Our own template: CMake's asks for administrator rights and writes to the
# machine's registry; this one installs for the user alone.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows)
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_SOURCE_DIR}/src/app/velmora.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_SOURCE_DIR}/src/app/velmora.ico)
set(CPACK_NSIS_DISPLAY_NAME Velmora)
set(CPACK_NSIS_PACKAGE_NAME Velmora)
include(CPack)
