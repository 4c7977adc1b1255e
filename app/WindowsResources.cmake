# torvik_windows_resources(TARGET DESCRIPTION) gives a Windows program of this
# project its resources: the program's icon (TORVIK_WINDOWS_ICON, made in the
# same folder) and the version information that Explorer shows in the file's
# properties, with DESCRIPTION as its file description.
function(torvik_windows_resources target description)
  set(icon "${TORVIK_WINDOWS_ICON}")
  list(JOIN TORVIK_VERSION_NUMBERS "," version_numbers)
  file(READ ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/WindowsResources.rc.in template)
  string(CONFIGURE "${template}" resources @ONLY)
  # The file name is known once the target's name and suffix are.
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  file(GENERATE OUTPUT ${rc} CONTENT "${resources}")
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${icon})
endfunction()
