# Installation as a Linux desktop program: both programs, their manual pages, the desktop
# entry, the MIME type of script files, the icons, the AppStream metadata and the
# documentation a Debian package carries. CPack makes a .deb of it.
include(GNUInstallDirs)
set(ravelin_data ${CMAKE_SOURCE_DIR}/data)
set(ravelin_id io.github.ravelin.Ravelin)
set(RAVELIN_MAINTAINER "" CACHE STRING
    "The package's maintainer, \"Name <address>\" (empty: the project, without an address)")

# Gzipped the way Debian wants it: best compression, no name or time stamp inside.
function(ravelin_gzip source target)
  add_custom_command(OUTPUT ${target} COMMAND gzip -9nc ${source} > ${target}
                     DEPENDS ${source} VERBATIM)
endfunction()
set(ravelin_generated ${CMAKE_BINARY_DIR}/generated)
foreach(page ravelin ravelin-cli)
  configure_file(${CMAKE_SOURCE_DIR}/man/${page}.1.in ${ravelin_generated}/man/${page}.1 @ONLY)
  ravelin_gzip(${ravelin_generated}/man/${page}.1 ${ravelin_generated}/man/${page}.1.gz)
  list(APPEND ravelin_docs ${ravelin_generated}/man/${page}.1.gz)
endforeach()
# The changelog is signed by the maintainer; without one, by the project without an address.
if(RAVELIN_MAINTAINER)
  set(RAVELIN_CHANGELOG_SIGNER "${RAVELIN_MAINTAINER}")
else()
  set(RAVELIN_CHANGELOG_SIGNER "Ravelin developers <>")
endif()
configure_file(${ravelin_data}/changelog.in ${ravelin_generated}/changelog @ONLY)
ravelin_gzip(${ravelin_generated}/changelog ${ravelin_generated}/changelog.gz)
add_custom_target(ravelin_docs ALL DEPENDS ${ravelin_docs} ${ravelin_generated}/changelog.gz)

# The web address, when the build names one, and the screenshots published under it
# (AppStream takes screenshots only as web addresses; data/screenshots holds the files).
set(RAVELIN_METAINFO_WEB "")
if(RAVELIN_HOMEPAGE)
  string(CONCAT RAVELIN_METAINFO_WEB "\n  <url type=\"homepage\">${RAVELIN_HOMEPAGE}</url>\n"
         "  <screenshots>\n"
         "    <screenshot type=\"default\">\n"
         "      <caption>The server list</caption>\n"
         "      <image>${RAVELIN_HOMEPAGE}/screenshots/main_window.png</image>\n"
         "    </screenshot>\n"
         "    <screenshot>\n"
         "      <caption>The options</caption>\n"
         "      <image>${RAVELIN_HOMEPAGE}/screenshots/options_general.png</image>\n"
         "    </screenshot>\n"
         "  </screenshots>")
endif()
configure_file(${ravelin_data}/${ravelin_id}.metainfo.xml.in
               ${ravelin_generated}/${ravelin_id}.metainfo.xml @ONLY)

install(TARGETS ravelin ravelin-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ravelin_docs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The desktop entry and the AppStream file carry the translations of po/ (built there).
install(FILES ${ravelin_generated}/translated/${ravelin_id}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ravelin_data}/ravelin-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ravelin.xml)
install(FILES ${ravelin_generated}/translated/${ravelin_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ravelin_data}/icons/ravelin.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${ravelin_data}/icons/ravelin-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ravelin.png)
endforeach()
install(FILES ${ravelin_data}/copyright ${ravelin_generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ravelin)
install(FILES ${CMAKE_SOURCE_DIR}/examples/demo.rvs ${CMAKE_SOURCE_DIR}/examples/sample.met
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ravelin/examples)

set(CPACK_PACKAGE_NAME ravelin)
set(CPACK_PACKAGE_VENDOR "Ravelin")
set(CPACK_PACKAGE_CONTACT "Ravelin developers")
if(RAVELIN_MAINTAINER)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${RAVELIN_MAINTAINER}")
endif()
if(RAVELIN_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${RAVELIN_HOMEPAGE}")
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps the server list of eDonkey-network clients healthy")
# One string: CMake would join a list with ";", and Debian's lines stay under 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Ravelin reads the server list of an ed2k client and other lists,\n"
       "downloads more from configured addresses, tests which servers accept\n"
       "a connection and writes the good ones back or hands them to the\n"
       "running aMule. Contains the desktop program ravelin and ravelin-cli,\n"
       "which runs Ravelin's scripts from cron.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ca-certificates, xdg-utils")
# The External Connection hand-over (EDGUI=0) runs amulecmd.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "amule-utils | amule-daemon")
# The MIME, desktop and icon databases are refreshed by the triggers of their own
# packages; the package needs no scripts. Qt loads its window-system plugin at run time,
# which no library dependency shows.
find_program(RAVELIN_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(RAVELIN_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6widgets6 (>= 6.2), libqt6gui6 (>= 6.2), libqt6core6 (>= 6.2), qt6-qpa-plugins, libssl3, libstdc++6, libgcc-s1, libc6")
endif()
include(CPack)
