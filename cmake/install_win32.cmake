# The download for Windows users: a zip (cpack -G ZIP) that unpacks into the chosen folder
# as ravelin.exe, ravelin-cli.exe, README.md, COPYING, examples\ and the catalogues in
# locale\ (po/), where the programs find them beside themselves; the installer
# (installer.cmake) holds the same files. Everything is linked statically
# (cmake/mingw-w64.cmake), so the programs need no DLL beside them.
install(TARGETS ravelin-cli RUNTIME DESTINATION .)
if(TARGET ravelin)
  install(TARGETS ravelin RUNTIME DESTINATION .)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/COPYING DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/examples/demo.rvs ${CMAKE_SOURCE_DIR}/examples/sample.met
        DESTINATION examples)

set(CPACK_PACKAGE_NAME ravelin)
set(CPACK_PACKAGE_VENDOR "Ravelin")
set(CPACK_SYSTEM_NAME win64)
set(CPACK_GENERATOR ZIP)
# Flat: Explorer's "Extract All" already makes a folder of the zip's name.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
