# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the staged installation before it
# becomes the Debian package: the manual pages compressed, and README.Debian,
# copyright and changelog.Debian.gz in /usr/share/doc/torvik-setup. A plain
# `cmake --install` installs none of this.
set(source ${CMAKE_CURRENT_LIST_DIR}/..)
set(usr ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc ${usr}/share/doc/${CPACK_PACKAGE_NAME})

file(GLOB manual_pages ${usr}/share/man/man1/*.1)
execute_process(COMMAND gzip -9n ${manual_pages} COMMAND_ERROR_IS_FATAL ANY)

file(COPY ${source}/dist/README.Debian ${source}/dist/copyright DESTINATION ${doc}
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# The changelog is dated by SOURCE_DATE_EPOCH, else by the last commit, so
# that the same sources give the same package; CPack then dates the packaged
# files no later than that too.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${source}
    OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(commit_time)
    set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
  endif()
endif()
string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(version ${CPACK_PACKAGE_VERSION})
file(WRITE ${doc}/changelog.Debian "\
${CPACK_PACKAGE_NAME} (${version}-${CPACK_DEBIAN_PACKAGE_RELEASE}) unstable; urgency=medium

  * Release ${version}: installable desktop application.

 -- ${CPACK_PACKAGE_CONTACT}  ${date}
")
execute_process(COMMAND gzip -9n ${doc}/changelog.Debian COMMAND_ERROR_IS_FATAL ANY)
