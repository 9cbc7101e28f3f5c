# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the POSIX-threads variant, which
# gives std::thread and std::mutex). Test binaries run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZKF_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZKF_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZKF_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZKF_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZKF_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt for Windows, cross-built by scripts/build-qt-windows.sh into its cache: used when that
# cache holds a complete install (the script prints the prefix it would use without building).
# Qt's host tools (moc, uic, rcc) are Debian's own of the same version.
if(NOT DEFINED ZKF_QT_WINDOWS_PREFIX)
  execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../scripts/build-qt-windows.sh --prefix
                  OUTPUT_VARIABLE ZKF_QT_WINDOWS_PREFIX OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_QUIET)
endif()
if(ZKF_QT_WINDOWS_PREFIX AND EXISTS ${ZKF_QT_WINDOWS_PREFIX}/.complete)
  list(APPEND CMAKE_FIND_ROOT_PATH ${ZKF_QT_WINDOWS_PREFIX})
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
endif()

find_program(ZKF_WINE NAMES wine wine64)
if(ZKF_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZKF_WINE})
endif()

# GCC 12's -Wrestrict misfires inside libstdc++'s string concatenation at -O3 (GCC bug 105329):
# "a" + std::to_string(n) is reported as an overlapping memcpy of 2^63 bytes.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
# MinGW's own C99 printf family instead of msvcrt's, which on Windows 7-era runtimes prints
# "%zu" literally; XVclUtil/PrintfFormat.h checks the formats against it.
string(APPEND CMAKE_CXX_FLAGS_INIT " -D__USE_MINGW_ANSI_STDIO=1")
