# SPDX-License-Identifier: MIT
# Install layout and the Debian package.
#
# The program reads VELTRUM.db and Category/*.itm from its own directory.
# The catalog itself is configuration an administrator may replace, so it
# is installed in the system configuration directory and the program
# directory holds links to it:
#
#   <prefix>/lib/veltrum/veltrum                  the program
#   <etc>/veltrum/VELTRUM.db                      the catalog
#   <etc>/veltrum/Category/Category0NN.itm        its category lists
#   <prefix>/lib/veltrum/VELTRUM.db               -> <etc>/veltrum/VELTRUM.db
#   <prefix>/lib/veltrum/Category/Category0NN.itm -> <etc>/veltrum/Category/...
#   <prefix>/bin/veltrum                          -> ../lib/veltrum/veltrum
#
# where <etc> is /etc for the prefix /usr (the package) and <prefix>/etc
# otherwise. The program resolves its own executable's path (through the
# bin link) and opens the catalog links there. Category stays a real
# directory of links: dpkg cannot turn the directory an earlier package
# installed into a link, while it replaces files by links on upgrade. The
# category files are a fixed set (the category list and the subcategories
# of categories 21, 22 and 24).
#
# Besides: the desktop entry, AppStream metadata, the icon in every hicolor
# size, the man page and the Debian documents.
#
#   cmake --install build/release --prefix /opt/veltrum
#   cpack --config build/release/CPackConfig.cmake -B build/release

set(VELTRUM_INSTALL_DIR lib/veltrum)
set(VELTRUM_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
set(VELTRUM_DOC_DIR share/doc/veltrum)

install(TARGETS veltrum RUNTIME DESTINATION ${VELTRUM_INSTALL_DIR})
# The maintainer's tool takes the catalog directory on its command line, so
# it needs no catalog beside it: it goes to bin/ itself.
install(TARGETS veltrum-catalog RUNTIME DESTINATION bin)

# The catalog directory is decided at install time, when the prefix is known.
set(veltrum_category_names)
foreach(file IN LISTS VELTRUM_SAMPLE_CATEGORY_FILES)
  get_filename_component(name ${file} NAME)
  list(APPEND veltrum_category_names ${name})
endforeach()
install(CODE "
  if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
    set(veltrum_catalog_dir /etc/veltrum)
  else()
    set(veltrum_catalog_dir \"\${CMAKE_INSTALL_PREFIX}/etc/veltrum\")
  endif()
  file(INSTALL DESTINATION \"\${veltrum_catalog_dir}\" TYPE FILE
       FILES \"${VELTRUM_RUNTIME_DIR}/VELTRUM.db\")
  file(INSTALL DESTINATION \"\${veltrum_catalog_dir}/Category\" TYPE FILE
       FILES ${VELTRUM_SAMPLE_CATEGORY_FILES})
  set(program_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VELTRUM_INSTALL_DIR}\")
  file(MAKE_DIRECTORY \"\${program_dir}/Category\")
  message(STATUS \"Linking: \${program_dir}/VELTRUM.db -> \${veltrum_catalog_dir}/VELTRUM.db\")
  file(CREATE_LINK \"\${veltrum_catalog_dir}/VELTRUM.db\" \"\${program_dir}/VELTRUM.db\" SYMBOLIC)
  foreach(name ${veltrum_category_names})
    file(CREATE_LINK \"\${veltrum_catalog_dir}/Category/\${name}\"
         \"\${program_dir}/Category/\${name}\" SYMBOLIC)
  endforeach()
")

# The bin link is made in the build tree and installed as a link, so that
# it stays relative wherever the tree is installed or packaged.
set(veltrum_bin_link ${VELTRUM_PACKAGING_DIR}/bin/veltrum)
file(MAKE_DIRECTORY ${VELTRUM_PACKAGING_DIR}/bin)
file(CREATE_LINK ../${VELTRUM_INSTALL_DIR}/veltrum ${veltrum_bin_link} SYMBOLIC)
install(FILES ${veltrum_bin_link} DESTINATION bin)

# Desktop integration.
set(VELTRUM_APPSTREAM_ID invalid.veltrum.Veltrum)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/veltrum.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${VELTRUM_APPSTREAM_ID}.metainfo.xml
        DESTINATION share/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/veltrum.svg
        DESTINATION share/icons/hicolor/scalable/apps)
foreach(size IN LISTS VELTRUM_ICON_SIZES)
  install(FILES ${VELTRUM_ICON_DIR}/${size}x${size}/veltrum.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/veltrum-basket.xml DESTINATION share/mime/packages)

# Documents, compressed as Debian wants them (gzip -9n: no name, no time,
# so that the same sources give the same package).
find_program(GZIP_TOOL gzip REQUIRED)
set(veltrum_gzipped)
foreach(pair "packaging/veltrum.1:veltrum.1.gz" "packaging/veltrum-catalog.1:veltrum-catalog.1.gz"
             "packaging/debian/changelog:changelog.gz"
             "README.md:README.md.gz")
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 source)
  list(GET pair 1 output)
  add_custom_command(
    OUTPUT ${VELTRUM_PACKAGING_DIR}/${output}
    COMMAND ${GZIP_TOOL} -9n -c ${CMAKE_SOURCE_DIR}/${source} > ${VELTRUM_PACKAGING_DIR}/${output}
    DEPENDS ${CMAKE_SOURCE_DIR}/${source}
    COMMENT "Compressing ${output}")
  list(APPEND veltrum_gzipped ${VELTRUM_PACKAGING_DIR}/${output})
endforeach()
add_custom_target(veltrum_documents ALL DEPENDS ${veltrum_gzipped})
install(FILES ${VELTRUM_PACKAGING_DIR}/veltrum.1.gz ${VELTRUM_PACKAGING_DIR}/veltrum-catalog.1.gz
        DESTINATION share/man/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/copyright
              ${VELTRUM_PACKAGING_DIR}/changelog.gz ${VELTRUM_PACKAGING_DIR}/README.md.gz
        DESTINATION ${VELTRUM_DOC_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/lintian-overrides
        DESTINATION share/lintian/overrides RENAME veltrum)

# Debian package: cpack -G DEB in the release build directory. The
# maintainer is a fact of the project, as in the copyright file and the
# changelog, not a setting: a build directory never keeps an older one.
set(VELTRUM_PACKAGE_MAINTAINER "Veltrum maintainers <maintainers@veltrum.invalid>")

set(CPACK_PACKAGE_NAME veltrum)
set(CPACK_PACKAGE_VENDOR "Veltrum maintainers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VELTRUM_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "voltage control program for equipment crates")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A desktop configurator for equipment crates. The engineer picks plug-in\n"
    "blocks from a catalog, puts them into a crate, ticks one of seven crate\n"
    "types and sees at once whether the summed currents on the +5 V, +7 V and\n"
    "-7 V channels, the summed power and the slots stay within that crate's\n"
    "limits. The user interface is in Russian. A sample catalog is included;\n"
    "it is kept in /etc/veltrum and can be replaced there. veltrum-catalog,\n"
    "the maintainer's tool, checks a catalog and exports and imports it as\n"
    "CSV for editing in a spreadsheet.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# Install with DESTDIR, so that the install code sees the real prefix /usr
# and puts the catalog in /etc.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VELTRUM_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://veltrum.invalid/)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Libraries the executable links come from dpkg-shlibdeps (dpkg-dev). The
# window system plugin and Qt's translations are loaded at run time, so no
# library dependency names them: they are listed here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland, sqlite3")

# The catalog files are conffiles: dpkg keeps a replaced catalog across
# upgrades and reinstalls (asking the administrator when the package's own
# catalog changed too), leaves it on remove and deletes it on purge; the
# postrm takes what else is left in /etc/veltrum on purge.
set(veltrum_conffiles "/etc/veltrum/VELTRUM.db\n")
foreach(name IN LISTS veltrum_category_names)
  string(APPEND veltrum_conffiles "/etc/veltrum/Category/${name}\n")
endforeach()
file(WRITE ${VELTRUM_PACKAGING_DIR}/control/conffiles ${veltrum_conffiles})
file(COPY ${CMAKE_SOURCE_DIR}/packaging/debian/postrm DESTINATION ${VELTRUM_PACKAGING_DIR}/control
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                      WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${VELTRUM_PACKAGING_DIR}/control/conffiles ${VELTRUM_PACKAGING_DIR}/control/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Directories in the package are 0755 whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

include(CPack)
