# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#     -DCMAKE_PREFIX_PATH=<the Windows Qt> -DQT_HOST_PATH=/usr \
#     -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
# (or -DMAPQUILL_BUILD_GUI=OFF without Qt). scripts/windows-check.sh does this.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)

# The Windows Qt is found under the prefixes in CMAKE_PREFIX_PATH, which must
# therefore be search roots too; Qt's build tools (moc, rcc, uic) are the
# build machine's own, found through QT_HOST_PATH.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Header-only libraries from the build machine (CLI11, doctest) are found
# through a folder that holds only them, so no Linux header is mixed in:
# pass -DMQ_CLI11_INCLUDE_DIR=... -DMQ_DOCTEST_INCLUDE_DIR=... (the Windows
# check script does).

# CTest runs the tests through Wine.
find_program(MQ_WINE wine)
if(MQ_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MQ_WINE})
endif()
