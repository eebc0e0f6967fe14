# Cross-compiling toolchain: Debian's mingw-w64 with the posix thread model
# (the win32 model has no std::mutex, which GoogleTest needs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TIKO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TIKO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TIKO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TIKO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TIKO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test executables run under Wine through the project's wrapper, which sets
# the prefix, the code page and the display.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec.sh)
