# The same Windows target built with Debian's Clang and LLD (a second
# compiler: scripts/build-clang.sh). The mingw-w64 headers and libraries,
# the resource compiler and GCC's C++ library with posix threads come from
# the GCC cross toolchain; Clang 14 does not find that library by itself (it
# reads no version in the folder name "12-posix"), so it is named here.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${TIKO_MINGW_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${TIKO_MINGW_PREFIX})
set(CMAKE_SYSROOT /usr/${TIKO_MINGW_PREFIX})

file(GLOB TIKO_GCC_LIBRARY /usr/lib/gcc/${TIKO_MINGW_PREFIX}/*-posix)
if(NOT TIKO_GCC_LIBRARY)
    message(FATAL_ERROR "No GCC for ${TIKO_MINGW_PREFIX} with posix threads (g++-mingw-w64-x86-64-posix)")
endif()
list(GET TIKO_GCC_LIBRARY 0 TIKO_GCC_LIBRARY)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${TIKO_GCC_LIBRARY}/include/c++
    ${TIKO_GCC_LIBRARY}/include/c++/${TIKO_MINGW_PREFIX} ${TIKO_GCC_LIBRARY}/include/c++/backward)
# GCC's driver adds winpthreads for the posix thread model; Clang's does not.
set(TIKO_CLANG_LINKER_FLAGS "-fuse-ld=lld -L${TIKO_GCC_LIBRARY} -lpthread")
set(CMAKE_EXE_LINKER_FLAGS_INIT ${TIKO_CLANG_LINKER_FLAGS})
set(CMAKE_SHARED_LINKER_FLAGS_INIT ${TIKO_CLANG_LINKER_FLAGS})
