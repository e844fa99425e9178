# The installer for Windows users, beside the zip: cmake --build build-win --target setup
# writes ravelin-<version>-setup.exe, made by NSIS's makensis (scripts/deps installs it)
# from what cmake --install puts in the zip.
find_program(RAVELIN_MAKENSIS makensis)
if(NOT RAVELIN_MAKENSIS)
  message(STATUS "makensis not found: no target setup (the installer)")
  return()
endif()
set(ravelin_setup ${CMAKE_BINARY_DIR}/ravelin-${PROJECT_VERSION}-setup.exe)
set(ravelin_staging ${CMAKE_BINARY_DIR}/setup/files)
set(ravelin_setup_list ${CMAKE_BINARY_DIR}/setup/files.nsh)
set(ravelin_setup_programs ravelin-cli)
if(TARGET ravelin)
  list(APPEND ravelin_setup_programs ravelin)
endif()
add_custom_target(setup
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${ravelin_staging}
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${ravelin_staging} --strip
  COMMAND ${CMAKE_COMMAND} -DSTAGING=${ravelin_staging} -DOUT=${ravelin_setup_list}
          -P ${CMAKE_SOURCE_DIR}/cmake/windows/installer_files.cmake
  COMMAND ${RAVELIN_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DOUTFILE=${ravelin_setup}
          -DICON=${CMAKE_BINARY_DIR}/cli/ravelin-cli.ico -DFILES=${ravelin_setup_list}
          ${CMAKE_SOURCE_DIR}/cmake/windows/installer.nsi
  BYPRODUCTS ${ravelin_setup}
  COMMENT "Making ravelin-${PROJECT_VERSION}-setup.exe"
  VERBATIM)
add_dependencies(setup ${ravelin_setup_programs} ravelin_translations)
