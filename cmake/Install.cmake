# Install layout and the Debian package.
#
# The program reads VELTRUM.db and Category/*.itm from its own directory,
# so it is installed as one self-contained directory
#
#   <prefix>/lib/veltrum/veltrum
#   <prefix>/lib/veltrum/VELTRUM.db
#   <prefix>/lib/veltrum/Category/Category0NN.itm
#
# with <prefix>/bin/veltrum a relative symbolic link to the executable (the
# program resolves the link when it looks for its own directory), plus the
# desktop entry and the icon for menus and launchers.
#
#   cmake --install build/release --prefix /opt/veltrum
#   cd build/release && cpack -G DEB

set(VELTRUM_INSTALL_DIR lib/veltrum)

install(TARGETS veltrum RUNTIME DESTINATION ${VELTRUM_INSTALL_DIR})
install(FILES ${VELTRUM_RUNTIME_DIR}/VELTRUM.db DESTINATION ${VELTRUM_INSTALL_DIR})
install(DIRECTORY ${VELTRUM_RUNTIME_DIR}/Category
        DESTINATION ${VELTRUM_INSTALL_DIR}
        FILES_MATCHING PATTERN "*.itm")

# The link is made in the build tree and installed as a link, so that it
# stays relative wherever the tree is installed or packaged.
set(veltrum_bin_link ${CMAKE_BINARY_DIR}/packaging/bin/veltrum)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/bin)
file(CREATE_LINK ../${VELTRUM_INSTALL_DIR}/veltrum ${veltrum_bin_link} SYMBOLIC)
install(FILES ${veltrum_bin_link} DESTINATION bin)

install(FILES ${CMAKE_SOURCE_DIR}/packaging/veltrum.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/veltrum.svg
        DESTINATION share/icons/hicolor/scalable/apps)

# Debian package: cpack -G DEB in the release build directory.
set(VELTRUM_PACKAGE_MAINTAINER
    "Veltrum maintainers <maintainers@veltrum.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME veltrum)
set(CPACK_PACKAGE_VENDOR "Veltrum")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VELTRUM_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Voltage control program for equipment crates")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A desktop configurator for equipment crates. The engineer picks plug-in\n"
    "blocks from a catalog, puts them into a crate, ticks one of seven crate\n"
    "types and sees at once whether the summed currents on the +5 V, +7 V and\n"
    "-7 V channels, the summed power and the slots stay within that crate's\n"
    "limits. The user interface is in Russian. A sample catalog is included.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VELTRUM_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Libraries the executable links come from dpkg-shlibdeps (dpkg-dev). The
# window system plugin and Qt's translations are loaded at run time, so no
# library dependency names them: they are listed here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")

include(CPack)
