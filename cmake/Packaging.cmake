# `make package`: a .deb of the installed tree, quorvel_<version>_<arch>.deb, whose run-time
# dependencies dpkg-shlibdeps reads from the programs and modules themselves.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR Olvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Olvex Quorvel maintainers <quorvel@olvex.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scheduled checks on databases, files and machines")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvel runs the events of a project file: each checks something (an SQL statement on a\n"
    "SQLite, PostgreSQL or ODBC connection, a file or folder, a performance counter), decides\n"
    "by its condition whether to act, and acts. It runs in a window or headless, also as a\n"
    "systemd service, and writes execution reports, HTML summaries and Prometheus metrics.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
# A Debian package lives under /usr, whatever prefix `make install` uses in this tree.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://olvex.invalid/quorvel")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The maintainer script makes the service's user. The window loads Qt plugins that no program
# links: the platform plugins (xcb, wayland) and the SVG image format of its icons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser")
if(QUORVEL_UI)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", qt6-qpa-plugins, libqt6svg6")
endif()
# Opening reports and files from the window uses xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, sqlite3")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "prometheus-node-exporter, odbc-postgresql, libsqliteodbc")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
