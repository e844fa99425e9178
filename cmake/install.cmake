# Installation as a Linux desktop program: both programs, the desktop entry, the MIME type
# of script files, the icons and the AppStream metadata. CPack makes a .deb of it.
include(GNUInstallDirs)
set(ravelin_data ${CMAKE_SOURCE_DIR}/data)

install(TARGETS ravelin ravelin-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ravelin_data}/ravelin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ravelin_data}/ravelin-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ravelin.xml)
install(FILES ${ravelin_data}/io.github.ravelin.Ravelin.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ravelin_data}/icons/ravelin.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${ravelin_data}/icons/ravelin-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ravelin.png)
endforeach()

set(CPACK_PACKAGE_NAME ravelin)
set(CPACK_PACKAGE_VENDOR "Ravelin")
set(CPACK_PACKAGE_CONTACT "Ravelin developers <ravelin@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps the server list of eDonkey-network clients healthy")
set(CPACK_PACKAGE_DESCRIPTION
    "Ravelin reads the server list of an ed2k client and other lists, downloads more from\n"
    "configured addresses, tests which servers accept a connection and writes the good\n"
    "ones back. Contains the desktop program ravelin and the headless ravelin-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
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
