# Cross builds for 64-bit Windows with Debian's mingw-w64 compilers:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...
# The -posix compilers are the ones with C++11 threads (the win32 variants
# have no std::thread). Programs are linked statically, so they run without
# the compiler's DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SULO_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
