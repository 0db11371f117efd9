# Strict warnings and Windows-1252 literals for every target of ours (not for third-party code).
#
# Warnings are errors where the project's own scripts and CI build
# (scripts/build turns NORV_WERROR on); a plain configure only warns, so a
# compiler that finds a new false positive never stops a user's build.
option(NORV_WERROR "Treat compiler warnings as errors" OFF)

function(norv_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(NORV_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # GCC 12 reports -Wrestrict inside libstdc++'s std::string (insert and
  # replace inlined at -O3, GCC bug 105329) for code such as "." + text:
  # false positives in the library, not in ours. Off for that compiler only.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
     AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  # Program texts are Windows-1252. The sources write every character beyond
  # ASCII as a \x escape, the same bytes under any compiler (clang knows no
  # execution character set but UTF-8); GCC still takes the set, so that a
  # text written plainly is right in the programs it builds. The installer's
  # tests fail on a text that is not Windows-1252 (tests/install/TextsTest.cpp).
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_compile_options(${target} PRIVATE -fexec-charset=CP1252)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
