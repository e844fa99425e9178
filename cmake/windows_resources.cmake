# The resources of a Windows program: the icon, put together from the PNGs of data/icons at
# build time, the version and the program's manifest, compiled by MinGW's windres.
enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# ravelin_windows_resources(TARGET DESCRIPTION MANIFEST): MANIFEST is configured with
# @RAVELIN_RC_VERSION@; DESCRIPTION is what Explorer shows as the file's description.
function(ravelin_windows_resources target description manifest)
  set(pngs)
  foreach(size 16 32 48 256)
    list(APPEND pngs ${CMAKE_SOURCE_DIR}/data/icons/ravelin-${size}.png)
  endforeach()
  set(RAVELIN_ICO ${CMAKE_CURRENT_BINARY_DIR}/${target}.ico)
  add_custom_command(
    OUTPUT ${RAVELIN_ICO}
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/cmake/windows/png_icon.py ${RAVELIN_ICO}
            ${pngs}
    DEPENDS ${CMAKE_SOURCE_DIR}/cmake/windows/png_icon.py ${pngs}
    VERBATIM)
  set(RAVELIN_RC_NAME ${target})
  set(RAVELIN_RC_DESCRIPTION ${description})
  set(RAVELIN_RC_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0)
  set(RAVELIN_RC_VERSION_COMMAS ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0)
  set(RAVELIN_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${manifest} ${RAVELIN_MANIFEST} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/windows/program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  # windres reads the icon and the manifest while it compiles the script.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${RAVELIN_ICO};${RAVELIN_MANIFEST}")
endfunction()
