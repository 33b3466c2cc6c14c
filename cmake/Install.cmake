# Where an installation puts Quorvel's files:
#   bin/quorvel                          the program
#   libexec/quorvel/quorvel-window       the main window (ui/CMakeLists.txt)
#   lib/<arch>/quorvel/                  modules loaded on demand (database drivers, HTTP)
#   share/quorvel/                       head.htm, help/, examples/
#   share/applications, share/mime/packages, share/icons/hicolor, share/man/man1
#   lib/systemd/system/quorvel@.service  headless runs as a service
# The program finds share/quorvel from its own location (external/support/SharedFiles.cpp), so the
# installed tree may sit under any prefix.
set(QUORVEL_DATADIR ${CMAKE_INSTALL_DATADIR}/quorvel)

install(TARGETS quorvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${RUNTIME_FILES} DESTINATION ${QUORVEL_DATADIR})

# The help pages may not exist yet in every checkout; the glob re-runs cmake when they appear.
file(GLOB QUORVEL_HELP_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/help/*)
if(QUORVEL_HELP_FILES)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/res/help/ DESTINATION ${QUORVEL_DATADIR}/help)
endif()
file(GLOB QUORVEL_EXAMPLES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.qvl ${PROJECT_SOURCE_DIR}/examples/*.sql)
install(FILES ${QUORVEL_EXAMPLES} DESTINATION ${QUORVEL_DATADIR}/examples)

# Desktop integration: the launcher opens .qvl files, which the MIME type names and gives an icon.
install(FILES res/desktop/quorvel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES res/desktop/quorvel-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME quorvel.xml)
set(QUORVEL_ICONS ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES res/icons/quorvel.svg DESTINATION ${QUORVEL_ICONS}/scalable/apps)
install(FILES res/icons/quorvel.svg DESTINATION ${QUORVEL_ICONS}/scalable/mimetypes
        RENAME application-x-quorvel-project.svg)
# Menus and file managers that do not draw SVG want bitmaps of the usual sizes.
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  set(QUORVEL_PNGS)
  foreach(size 16 22 24 32 48 64 128 256)
    set(png ${PROJECT_BINARY_DIR}/icons/${size}/quorvel.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${PROJECT_SOURCE_DIR}/res/icons/quorvel.svg
      DEPENDS ${PROJECT_SOURCE_DIR}/res/icons/quorvel.svg VERBATIM)
    list(APPEND QUORVEL_PNGS ${png})
    install(FILES ${png} DESTINATION ${QUORVEL_ICONS}/${size}x${size}/apps)
    install(FILES ${png} DESTINATION ${QUORVEL_ICONS}/${size}x${size}/mimetypes
            RENAME application-x-quorvel-project.png)
  endforeach()
  add_custom_target(quorvel_icons ALL DEPENDS ${QUORVEL_PNGS})
else()
  message(STATUS "rsvg-convert not found (Debian package librsvg2-bin): only the SVG icon is installed")
endif()

configure_file(res/man/quorvel.1.in ${PROJECT_BINARY_DIR}/man/quorvel.1 @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/man/quorvel.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES res/systemd/quorvel@.service DESTINATION lib/systemd/system)
