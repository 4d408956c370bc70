# Cross build of the core and the command-line tool for 64-bit Windows with Debian's
# MinGW-w64 (posix threads flavour), run under Wine. scripts/test-windows.sh uses it:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#         -DQUOX_WINDOWS_DEPS=<prefix with GoogleTest, libsquish and the header-only libraries>
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(quox_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${quox_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${quox_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${quox_mingw}-windres)

# Libraries and headers come from the MinGW sysroot and the prefix the script fills,
# never from the host's /usr/include.
set(QUOX_WINDOWS_DEPS "" CACHE PATH "Prefix with the Windows builds of GoogleTest and libsquish")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUOX_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${quox_mingw} ${QUOX_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe per program: no MinGW runtime DLLs to put beside it, and zlib
# (libz-mingw-w64-dev) linked in rather than taken from its DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(ZLIB_USE_STATIC_LIBS ON)

# add_test runs the programs through Wine.
find_program(QUOX_WINE NAMES wine wine64)
if(QUOX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUOX_WINE})
endif()
