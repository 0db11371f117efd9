# The version resource and application manifest of a Windows program.
#   norv_windows_resources(TARGET DESCRIPTION <text> EXECUTION_LEVEL <level> [DPI_AWARE])
# DPI_AWARE declares the program system-DPI aware: for windows that scale
# their own layout to the screen's DPI, which Windows must then not stretch.
set(NORV_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")

function(norv_windows_resources target)
  cmake_parse_arguments(arg "DPI_AWARE" "DESCRIPTION;EXECUTION_LEVEL" "" ${ARGN})
  set(NORV_RC_DESCRIPTION "${arg_DESCRIPTION}")
  set(NORV_RC_EXECUTION_LEVEL "${arg_EXECUTION_LEVEL}")
  set(NORV_RC_INTERNAL_NAME "${target}")
  set(NORV_RC_FILE_NAME "${target}.exe")
  set(NORV_RC_YEAR 2026)
  set(NORV_RC_WINDOWS_SETTINGS "")
  if(arg_DPI_AWARE)
    string(CONCAT NORV_RC_WINDOWS_SETTINGS
      "  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
      "    <windowsSettings>\n"
      "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>\n"
      "    </windowsSettings>\n"
      "  </application>\n")
  endif()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources)
  set(NORV_RC_MANIFEST ${dir}/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/program.manifest.in ${NORV_RC_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/version.rc.in ${dir}/version.rc @ONLY)
  set_source_files_properties(${dir}/version.rc PROPERTIES OBJECT_DEPENDS ${NORV_RC_MANIFEST})
  target_sources(${target} PRIVATE ${dir}/version.rc)
endfunction()
