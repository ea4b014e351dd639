# What both mingw-w64 toolchain files share; SULO_MINGW_TRIPLET names the target.
set(CMAKE_C_COMPILER ${SULO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SULO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${SULO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SULO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Further prefixes of libraries built for the target (Qt, libjpeg-turbo), as a
# ';'-separated list in SULO_WINDOWS_PREFIXES: searched like the compiler's own.
if(DEFINED ENV{SULO_WINDOWS_PREFIXES})
  list(APPEND CMAKE_FIND_ROOT_PATH $ENV{SULO_WINDOWS_PREFIXES})
endif()
