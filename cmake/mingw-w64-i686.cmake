# Cross build for 32-bit Windows: the shipped programs. A 32-bit installer
# runs on 32- and 64-bit Windows alike and, on 64-bit Windows, is redirected
# to SysWOW64 like the 32-bit programs whose files it updates.
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake [-DNORV_MINGW_LIBS=<prefix>]
set(CMAKE_SYSTEM_PROCESSOR x86)
set(NORV_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
