# Strict warnings and Windows-1252 literals for every target of ours (not for third-party code).
function(norv_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -fexec-charset=CP1252)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
