# Cross build for 64-bit Windows (norvarc.exe for x64 systems).
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake [-DNORV_MINGW_LIBS=<prefix>]
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(NORV_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
