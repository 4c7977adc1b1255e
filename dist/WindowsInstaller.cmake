# The Windows program as its installer lays it out: torvik-setup.exe beside
# the Qt and MinGW-w64 run-time libraries it loads, the Windows platform and
# style plugins in the folders Qt looks in beside the program, and the NSIS
# installer made by `cpack -G NSIS` (scripts/build-windows.sh) from this
# folder's NSIS.template.in, with a Start-menu entry, an uninstaller and the
# choice of putting the installation folder on PATH.
install(TARGETS torvik-setup torvik-setup-console RUNTIME DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets> DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
# The compiler's run-time libraries, which the program and Qt link to.
foreach(library libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${library}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    find_file(path ${library} PATHS /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH NO_CACHE REQUIRED)
  endif()
  install(FILES ${path} DESTINATION .)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_GENERATOR NSIS)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME torvik-setup)
set(CPACK_PACKAGE_VENDOR "${TORVIK_VENDOR}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Setup utility for the Torvik KVM switch")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Torvik Setup")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_NSIS_DISPLAY_NAME "${TORVIK_PRODUCT}")
set(CPACK_NSIS_PACKAGE_NAME "${TORVIK_PRODUCT} ${PROJECT_VERSION}")
# The script is ours (NSIS.template.in): CPack's puts shortcuts and PATH
# entries into a "bin" folder this layout does not have, and its PATH code
# can cut a long PATH short. It gives the installer file the programs'
# version information.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_TORVIK_PRODUCT "${TORVIK_PRODUCT}")
set(CPACK_TORVIK_COPYRIGHT "${TORVIK_COPYRIGHT}")
list(JOIN TORVIK_VERSION_NUMBERS "." CPACK_TORVIK_VERSION_NUMBERS)
# The program's icon (its first icon resource) in Add/Remove Programs and on
# the Start-menu entry; the installer and the uninstaller show it too.
set(CPACK_NSIS_INSTALLED_ICON_NAME torvik-setup.exe)
set(CPACK_NSIS_MUI_ICON ${TORVIK_WINDOWS_ICON})
set(CPACK_NSIS_MUI_UNIICON ${TORVIK_WINDOWS_ICON})
# A 64-bit installer for a 64-bit program: it runs where 32-bit programs
# cannot (a 64-bit-only Wine) and installs into the 64-bit Program Files.
# makensis is told its target before the script, through a wrapper: CPack
# hands its extra arguments to a shell, which would split "Target amd64-unicode".
find_program(MAKENSIS makensis)
if(MAKENSIS)
  set(makensis_64 ${CMAKE_CURRENT_BINARY_DIR}/makensis-amd64)
  file(WRITE ${makensis_64} "#!/bin/sh\nexec '${MAKENSIS}' '-XTarget amd64-unicode' \"$@\"\n")
  file(CHMOD ${makensis_64} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
    WORLD_EXECUTE)
  set(CPACK_NSIS_EXECUTABLE ${makensis_64})
endif()
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# Every shipped executable and library without symbols or debug information
# (the compiler's run-time libraries come with theirs): CPACK_STRIP_FILES
# would strip the program only.
set(CPACK_TORVIK_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/WindowsStrip.cmake)
include(CPack)
