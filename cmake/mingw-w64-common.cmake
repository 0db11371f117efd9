# Shared by the MinGW-w64 toolchain files, which set NORV_MINGW_TRIPLET and
# CMAKE_SYSTEM_PROCESSOR first (posix threads, Debian's compilers).
# NORV_MINGW_LIBS: where scripts/build-mingw-libs installed libjpeg, giflib
# and libdeflate for this architecture.
set(CMAKE_SYSTEM_NAME Windows)

find_program(CMAKE_C_COMPILER NAMES ${NORV_MINGW_TRIPLET}-gcc-posix ${NORV_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${NORV_MINGW_TRIPLET}-g++-posix ${NORV_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${NORV_MINGW_TRIPLET}-windres REQUIRED)

# Passed on to try_compile projects, which re-read this file.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES NORV_MINGW_LIBS)
set(CMAKE_FIND_ROOT_PATH /usr/${NORV_MINGW_TRIPLET})
if(NORV_MINGW_LIBS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${NORV_MINGW_LIBS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static zlib, so the programs import only system DLLs.
set(ZLIB_USE_STATIC_LIBS ON)

# GCC 12 reports false -Wrestrict overlaps inside std::string when it
# inlines string concatenation; our targets build with -Werror.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
