# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (package
# g++-mingw-w64-x86-64-posix: the "posix" variant, whose std::thread and
# std::mutex the standard library needs) and runs the results under Wine
# (package wine64):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DORNVEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DORNVEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DORNVEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DORNVEL_MINGW_TRIPLE}-windres)

# Libraries and packages for the target only: the build machine's GoogleTest or
# Qt are Linux libraries.
set(CMAKE_FIND_ROOT_PATH /usr/${DORNVEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own run-time (libstdc++, libgcc, winpthread) linked in, so each
# executable runs on its own, under Wine here or copied to a Windows machine.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Wine keeps its Windows installation (the prefix, made at its first start) in
# the build folder, says nothing of its own, and needs no display for console
# programs. Mono and Gecko are switched off: nothing here needs .NET or HTML,
# and without them the first start offers no downloads.
find_program(DORNVEL_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(DORNVEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml= DISPLAY= ${DORNVEL_WINE})
endif()

# The whole program needs Qt for Windows, which scripts/windows-qt.sh builds
# (Debian has none for MinGW): DORNVEL_QT_WINDOWS names its prefix, empty for
# the default one. Without it only the standard-library core is built. Qt's
# moc, rcc and uic are the build machine's (Debian's Qt 6.4.2, the same
# version).
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DORNVEL_QT_WINDOWS)
if(DEFINED DORNVEL_QT_WINDOWS)
  if(DORNVEL_QT_WINDOWS STREQUAL "")
    set(DORNVEL_QT_WINDOWS $ENV{HOME}/.cache/dornvel/qt-6.4.2-mingw-w64)
  endif()
  if(NOT EXISTS ${DORNVEL_QT_WINDOWS}/lib/cmake/Qt6/Qt6Config.cmake)
    message(FATAL_ERROR "No Qt for Windows in ${DORNVEL_QT_WINDOWS}: scripts/windows-qt.sh builds it")
  endif()
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${DORNVEL_QT_WINDOWS})
  list(PREPEND CMAKE_PREFIX_PATH ${DORNVEL_QT_WINDOWS})
endif()
