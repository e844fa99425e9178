# Installation on Linux, in two components that CPack makes two Debian packages of:
# "cli" (ravelin-cli, its manual pages, the translations, the systemd user timer, the
# documentation and examples; no Qt, no window system) for headless machines, and "gui"
# (the desktop program, its desktop entry, MIME type, icons and AppStream metadata), which
# depends on the first.
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
foreach(page ravelin.1 ravelin-cli.1 ravelin.ini.5)
  configure_file(${CMAKE_SOURCE_DIR}/man/${page}.in ${ravelin_generated}/man/${page} @ONLY)
  ravelin_gzip(${ravelin_generated}/man/${page} ${ravelin_generated}/man/${page}.gz)
  list(APPEND ravelin_docs ${ravelin_generated}/man/${page}.gz)
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

install(TARGETS ravelin-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)
install(FILES ${ravelin_generated}/man/ravelin-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT cli)
install(FILES ${ravelin_generated}/man/ravelin.ini.5.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man5
        COMPONENT cli)
# User units: systemctl --user enable --now ravelin-update.timer
install(FILES ${ravelin_data}/systemd/ravelin-update.service ${ravelin_data}/systemd/ravelin-update.timer
        DESTINATION lib/systemd/user COMPONENT cli)
# Each package carries its own copyright and changelog, as Debian wants.
install(FILES ${ravelin_data}/copyright ${ravelin_generated}/changelog.gz
              ${CMAKE_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ravelin-cli COMPONENT cli)
install(FILES ${CMAKE_SOURCE_DIR}/examples/demo.rvs ${CMAKE_SOURCE_DIR}/examples/sample.met
              ${CMAKE_SOURCE_DIR}/examples/update.rvs
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ravelin-cli/examples COMPONENT cli)

if(RAVELIN_QT)
  install(TARGETS ravelin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT gui)
endif()
install(FILES ${ravelin_generated}/man/ravelin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT gui)
# The desktop entry and the AppStream file carry the translations of po/ (built there).
install(FILES ${ravelin_generated}/translated/${ravelin_id}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT gui)
install(FILES ${ravelin_data}/ravelin-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ravelin.xml COMPONENT gui)
install(FILES ${ravelin_generated}/translated/${ravelin_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT gui)
install(FILES ${ravelin_data}/icons/ravelin.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT gui)
foreach(size 16 32 48 64 128 256)
  install(FILES ${ravelin_data}/icons/ravelin-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ravelin.png
          COMPONENT gui)
endforeach()
install(FILES ${ravelin_data}/copyright ${ravelin_generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ravelin COMPONENT gui)

set(CPACK_PACKAGE_NAME ravelin)
set(CPACK_PACKAGE_VENDOR "Ravelin")
set(CPACK_PACKAGE_CONTACT "Ravelin developers")
if(RAVELIN_MAINTAINER)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${RAVELIN_MAINTAINER}")
endif()
if(RAVELIN_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${RAVELIN_HOMEPAGE}")
endif()
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL cli gui)
set(CPACK_DEBIAN_CLI_PACKAGE_NAME ravelin-cli)
set(CPACK_DEBIAN_GUI_PACKAGE_NAME ravelin)
# One string each: CMake would join a list with ";", and Debian's lines stay under 80
# columns. The first line is the summary.
string(CONCAT CPACK_COMPONENT_CLI_DESCRIPTION
       "keeps the server list of eDonkey-network clients healthy (command line)\n"
       "Ravelin reads the server list of an ed2k client and other lists,\n"
       "downloads more from configured addresses, tests which servers accept\n"
       "a connection and writes the good ones back or hands them to the\n"
       "running aMule. This package holds ravelin-cli, which runs Ravelin's\n"
       "scripts without a window, from cron or its daily systemd user timer;\n"
       "it needs no window system.")
string(CONCAT CPACK_COMPONENT_GUI_DESCRIPTION
       "keeps the server list of eDonkey-network clients healthy (desktop)\n"
       "Ravelin reads the server list of an ed2k client and other lists,\n"
       "downloads more from configured addresses, tests which servers accept\n"
       "a connection and writes the good ones back or hands them to the\n"
       "running aMule. This package holds the desktop program ravelin, with\n"
       "its list view, script editor and options dialog.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_CLI_PACKAGE_RECOMMENDS "ca-certificates")
set(CPACK_DEBIAN_GUI_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
# The External Connection hand-over (EDGUI=0) runs amulecmd, which only amule-utils holds.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "amule-utils")
# The same version of the core: the desktop program shares its files and settings.
set(ravelin_cli_exact "ravelin-cli (= ${PROJECT_VERSION})")
# The MIME, desktop and icon databases are refreshed by the triggers of their own
# packages; the packages need no scripts. Qt loads its window-system plugin at run time,
# which no library dependency shows.
find_program(RAVELIN_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(RAVELIN_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS "${ravelin_cli_exact}, qt6-qpa-plugins")
else()
  set(CPACK_DEBIAN_CLI_PACKAGE_DEPENDS "libssl3, zlib1g, libstdc++6, libgcc-s1, libc6")
  set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS
      "${ravelin_cli_exact}, libqt6widgets6 (>= 6.2), libqt6network6 (>= 6.2), libqt6gui6 (>= 6.2), libqt6core6 (>= 6.2), qt6-qpa-plugins, libssl3, libstdc++6, libgcc-s1, libc6")
endif()
include(CPack)
