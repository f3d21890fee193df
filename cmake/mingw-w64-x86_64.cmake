# Cross-compiling for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix, the
# variant with std::thread). The programs it builds run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QF_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QF_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QF_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QF_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QF_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: no MinGW runtime libraries to copy next to them for Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test executables run through Wine, or through the emulator given at configure time (the test
# stages give scripts/wine-run.sh).
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
