# Cross-compiles for 64-bit Windows with Debian's mingw-w64 and runs the
# results under Wine. The -posix compilers carry std::thread, which GoogleTest
# needs.
#
# Without Qt (the core and its tests) programs are linked -static, leaving no
# MinGW runtime DLL for Wine to find. With -DVELMORA_QT_WINDOWS=<folder>, the
# Qt for Windows that scripts/qt-windows.sh builds, the window is built too,
# and the programs share the compiler's runtime DLLs with Qt's, which need
# them anyway.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELMORA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELMORA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# try_compile projects read this file again: they need the same choice.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELMORA_QT_WINDOWS)
if(VELMORA_QT_WINDOWS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${VELMORA_QT_WINDOWS})
  list(APPEND CMAKE_PREFIX_PATH ${VELMORA_QT_WINDOWS})
  # moc, rcc and uic come from the host's Qt of the same version.
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
else()
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
endif()

# Test programs (and GoogleTest's discovery) run through Wine.
find_program(VELMORA_WINE wine)
if(VELMORA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELMORA_WINE})
endif()
