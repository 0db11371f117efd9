# Strict warnings and Windows-1252 literals for every target of ours (not for third-party code).
function(norv_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  # clang knows no execution character set but UTF-8. Its one use here, the
  # fuzz tree, builds only sources whose literals are ASCII, the same bytes
  # in both sets.
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_compile_options(${target} PRIVATE -fexec-charset=CP1252)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
