# SPDX-License-Identifier: MIT
# Install rules for the three programs and their desktop files, and the Debian package that
# CPack makes of them (scripts/package.sh).
include(GNUInstallDirs)

set(QUORVEL_PACKAGING_DIR ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
# Directories a umask of 002 would make group-writable, which Debian forbids in a package.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS quorvel quorvel-batch quorvel-page RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${QUORVEL_PACKAGING_DIR}/org.quorvel.Quorvel.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUORVEL_PACKAGING_DIR}/org.quorvel.Quorvel.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The layouts of the hosts the package knows besides the built-in one; the programs read them
# from /usr/share/quorvel/layouts.
install(DIRECTORY ${QUORVEL_PACKAGING_DIR}/layouts/
  DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvel/layouts FILES_MATCHING PATTERN "*.layout")
# Installed, not enabled: the README says how a user turns it on.
install(FILES ${QUORVEL_PACKAGING_DIR}/quorvel-batch.service DESTINATION lib/systemd/user)
install(DIRECTORY ${QUORVEL_PACKAGING_DIR}/icons/hicolor
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons FILES_MATCHING PATTERN "*.png")

# Debian wants manual pages and the package's change log compressed, without a time stamp.
set(quorvel_compressed_docs)
function(quorvel_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh ${source} ${output}
    DEPENDS ${source} VERBATIM)
  set(quorvel_compressed_docs ${quorvel_compressed_docs} ${output} PARENT_SCOPE)
endfunction()
set(quorvel_docs_dir ${CMAKE_CURRENT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${quorvel_docs_dir})
foreach(page quorvel quorvel-batch quorvel-page)
  quorvel_gzip(${QUORVEL_PACKAGING_DIR}/man/${page}.1 ${quorvel_docs_dir}/${page}.1.gz)
  install(FILES ${quorvel_docs_dir}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
quorvel_gzip(${QUORVEL_PACKAGING_DIR}/deb/changelog ${quorvel_docs_dir}/changelog.Debian.gz)
add_custom_target(quorvel_docs ALL DEPENDS ${quorvel_compressed_docs})
install(FILES ${quorvel_docs_dir}/changelog.Debian.gz ${QUORVEL_PACKAGING_DIR}/deb/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quorvel developers <dev@quorvel.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "download manager for file-hosting download pages")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Quorvel works a queue of file-hosting download pages unattended: it\n"
  "presses the free-user button, waits out the countdown and downloads the\n"
  "file. The main window is in Simplified Chinese. quorvel-batch does the\n"
  "same work without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quorvel.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the binaries' libraries do not name: Qt loads the X11 plugin and the Chinese translation
# at run time, and the window's font is a CJK one.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-noto-cjk")
include(CPack)
