# SPDX-License-Identifier: MIT
# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (POSIX threads, for std::thread and
# std::mutex). Used for the static Qt, for uchardet and for Logwarden itself. scripts/windows
# keys its cached builds of those by the compiler's version, not by this file: after a change here
# that alters the code they compile, delete them (~/.cache/logwarden/windows).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_AR ${triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${triple}-ranlib CACHE FILEPATH "")

# Target libraries and headers come from the MinGW sysroot and from CMAKE_PREFIX_PATH (the static
# Qt, uchardet); programs run during the build (moc, rcc, uic) are the host's.
# A prefix that is itself a find root is searched as it is, not re-rooted under the sysroot.
set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest runs the test executables under Wine, in the prefix given at configure time (WINEPREFIX)
# if any.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/wine-emulator.sh)
if(DEFINED ENV{WINEPREFIX})
  set(CMAKE_CROSSCOMPILING_EMULATOR env "WINEPREFIX=$ENV{WINEPREFIX}" ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()
