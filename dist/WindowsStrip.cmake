# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the staged installation before it
# becomes the Windows installer: every executable and library in it stripped
# with the cross toolchain's strip (CPACK_TORVIK_STRIP).
file(GLOB_RECURSE binaries ${CPACK_TEMPORARY_DIRECTORY}/*.exe ${CPACK_TEMPORARY_DIRECTORY}/*.com
  ${CPACK_TEMPORARY_DIRECTORY}/*.dll)
execute_process(COMMAND ${CPACK_TORVIK_STRIP} --strip-unneeded ${binaries} COMMAND_ERROR_IS_FATAL ANY)
