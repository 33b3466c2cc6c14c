# `make package`: two .deb files from the installed tree, one per install component
# (cmake/Install.cmake):
#   quorvel_<version>_<arch>.deb      the program, its modules, the manual, the service (no Qt)
#   quorvel-gui_<version>_<arch>.deb  the main window and its desktop files; needs quorvel of the
#                                     same version
# Run-time dependencies are read from the programs and modules by dpkg-shlibdeps, so the window's
# Qt libraries land in quorvel-gui only. The libraries of the modules, which load only when a
# project needs them (libpq, unixODBC, libcurl, libmicrohttpd), are Recommends of quorvel (packaging/shlibdeps.cmake).

# The package's version is the newest entry of packaging/changelog: the program's version and a
# Debian revision ("0.1.0-1").
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog QUORVEL_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT QUORVEL_CHANGELOG_TOP MATCHES "^quorvel \\(([^)-]+)-([^)]+)\\)")
  message(FATAL_ERROR "packaging/changelog does not begin with an entry 'quorvel (VERSION-REVISION)'")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog is at ${CMAKE_MATCH_1}, the project at ${PROJECT_VERSION}: "
                      "add an entry for the new version")
endif()
set(QUORVEL_DEBIAN_REVISION ${CMAKE_MATCH_2})
set(QUORVEL_PACKAGE_VERSION ${PROJECT_VERSION}-${QUORVEL_DEBIAN_REVISION})

# Every package carries the copyright file, the changelog and its lintian overrides in folders
# named after itself. The changelog is compressed as Debian wants it.
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
  COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/packaging/changelog
          ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(quorvel_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz)
foreach(component_package headless:quorvel gui:quorvel-gui)
  string(REPLACE ":" ";" pair ${component_package})
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
  install(FILES packaging/${package}.lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME ${package} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL headless)
if(QUORVEL_UI)
  list(APPEND CPACK_COMPONENTS_ALL gui)
endif()
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR Olvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${QUORVEL_DEBIAN_REVISION})
set(CPACK_PACKAGE_CONTACT "Olvex Quorvel maintainers <quorvel@olvex.invalid>")
# A Debian package lives under /usr, whatever prefix `make install` uses in this tree.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://olvex.invalid/quorvel")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Installed programs and modules carry no symbols or debug information.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/strip.cmake ${PROJECT_SOURCE_DIR}/packaging/shlibdeps.cmake)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Description lines stay within 80 columns (the summary line comes first).
set(CPACK_DEBIAN_HEADLESS_PACKAGE_NAME quorvel)
set(CPACK_DEBIAN_HEADLESS_DESCRIPTION [=[scheduled checks on databases, files and machines
Quorvel runs the events of a project file: each checks something (an SQL
statement on a SQLite, PostgreSQL or ODBC connection, a file or folder, a
performance counter), decides by its condition whether to act, and acts.
.
This package runs projects headless, also as the systemd service
quorvel@NAME or on its timer, and writes execution reports, HTML summaries
and Prometheus metrics. It needs no graphical libraries; the main window is
in the package quorvel-gui.]=])
# The postinst makes the service's user with adduser where systemd-sysusers is missing.
set(CPACK_DEBIAN_HEADLESS_PACKAGE_DEPENDS "adduser")
set(CPACK_DEBIAN_HEADLESS_PACKAGE_SHLIBDEPS OFF)
# logrotate keeps the reports and logs in /var/log/quorvel in bounds (/etc/logrotate.d/quorvel).
set(CPACK_DEBIAN_HEADLESS_PACKAGE_RECOMMENDS "sqlite3, logrotate")
set(CPACK_DEBIAN_HEADLESS_PACKAGE_SUGGESTS "quorvel-gui, prometheus-node-exporter, odbc-postgresql, libsqliteodbc")
set(CPACK_DEBIAN_HEADLESS_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/conffiles
  ${PROJECT_SOURCE_DIR}/packaging/postinst ${PROJECT_SOURCE_DIR}/packaging/prerm ${PROJECT_SOURCE_DIR}/packaging/postrm)

set(CPACK_DEBIAN_GUI_PACKAGE_NAME quorvel-gui)
set(CPACK_DEBIAN_GUI_DESCRIPTION [=[main window of Quorvel, scheduled checks on databases and files
The window of Quorvel: the project's events in a list, an editor for each
event with SQL highlighting, runs with a live console, and viewers for the
execution report, the logs and the HTML reports. It opens .qvl files from
the desktop.]=])
# The window loads Qt plugins that no program links: the platform plugins (xcb, wayland) and the
# SVG image format of its icons. Opening reports and files uses xdg-open.
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS "quorvel (= ${QUORVEL_PACKAGE_VERSION}), qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_GUI_PACKAGE_RECOMMENDS "xdg-utils")
# Up to 0.1.0 one package quorvel held the window's files too: they move to this one.
set(CPACK_DEBIAN_GUI_PACKAGE_REPLACES "quorvel (<< 0.1.0-1)")
set(CPACK_DEBIAN_GUI_PACKAGE_BREAKS "quorvel (<< 0.1.0-1)")
set(CPACK_DEBIAN_GUI_PACKAGE_SECTION admin)
include(CPack)
