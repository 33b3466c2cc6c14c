# Where an installation puts Quorvel's files, and which package takes them (install component):
#   headless (package quorvel)
#     bin/quorvel                          the program
#     lib/<arch>/quorvel/                  modules loaded on demand (database drivers, HTTP)
#     share/quorvel/                       head.htm, examples/
#     share/man/man1/quorvel.1.gz, share/man/man5/quorvel.qvl.5.gz
#     lib/systemd/system/quorvel@.service, quorvel@.timer   headless runs as a service
#     lib/sysusers.d, lib/tmpfiles.d       the service's user and folders
#     /etc/quorvel/                        the service's projects
#     /etc/logrotate.d/quorvel             rotation of /var/log/quorvel (a conffile)
#   gui (package quorvel-gui)
#     libexec/quorvel/quorvel-window       the main window (ui/CMakeLists.txt)
#     share/quorvel/help/, share/applications, share/mime/packages, share/icons/hicolor
# The program finds share/quorvel from its own location (external/support/SharedFiles.cpp), so the
# installed tree may sit under any prefix.
set(QUORVEL_DATADIR ${CMAKE_INSTALL_DATADIR}/quorvel)

install(TARGETS quorvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${RUNTIME_FILES} DESTINATION ${QUORVEL_DATADIR})

# The help pages may not exist yet in every checkout; the glob re-runs cmake when they appear.
file(GLOB QUORVEL_HELP_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/help/*)
if(QUORVEL_HELP_FILES)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/res/help/ DESTINATION ${QUORVEL_DATADIR}/help COMPONENT gui)
endif()
file(GLOB QUORVEL_EXAMPLES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.qvl ${PROJECT_SOURCE_DIR}/examples/*.sql)
install(FILES ${QUORVEL_EXAMPLES} DESTINATION ${QUORVEL_DATADIR}/examples)

# Desktop integration: the launcher opens .qvl files, which the MIME type names and gives an icon.
install(FILES res/desktop/quorvel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT gui)
install(FILES res/desktop/quorvel-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME quorvel.xml
        COMPONENT gui)
set(QUORVEL_ICONS ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES res/icons/quorvel.svg DESTINATION ${QUORVEL_ICONS}/scalable/apps COMPONENT gui)
install(FILES res/icons/quorvel.svg DESTINATION ${QUORVEL_ICONS}/scalable/mimetypes
        RENAME application-x-quorvel-project.svg COMPONENT gui)
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
    install(FILES ${png} DESTINATION ${QUORVEL_ICONS}/${size}x${size}/apps COMPONENT gui)
    install(FILES ${png} DESTINATION ${QUORVEL_ICONS}/${size}x${size}/mimetypes
            RENAME application-x-quorvel-project.png COMPONENT gui)
  endforeach()
  add_custom_target(quorvel_icons ALL DEPENDS ${QUORVEL_PNGS})
else()
  message(STATUS "rsvg-convert not found (Debian package librsvg2-bin): only the SVG icon is installed")
endif()

# The manual page compressed, as Debian wants it (-n: no name or time inside, so every build of the
# same text gives the same bytes).
configure_file(res/man/quorvel.1.in ${PROJECT_BINARY_DIR}/man/quorvel.1 @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/man/quorvel.1.gz
  COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${PROJECT_BINARY_DIR}/man/quorvel.1 ${PROJECT_BINARY_DIR}/man/quorvel.1.gz
  DEPENDS ${PROJECT_BINARY_DIR}/man/quorvel.1 VERBATIM)
add_custom_target(quorvel_man ALL DEPENDS ${PROJECT_BINARY_DIR}/man/quorvel.1.gz)
install(FILES ${PROJECT_BINARY_DIR}/man/quorvel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# quorvel.qvl(5), the project file's sections and keys, is printed by a program from the table the
# program reads files by (model/ProjectSchema), so that the page cannot fall behind it.
add_executable(qvl-man app/tools/qvl-man.cpp)
target_link_libraries(qvl-man PRIVATE quorvel_core)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/man/quorvel.qvl.5 ${PROJECT_BINARY_DIR}/man/quorvel.qvl.5.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
  COMMAND qvl-man ${PROJECT_VERSION} > ${PROJECT_BINARY_DIR}/man/quorvel.qvl.5
  COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${PROJECT_BINARY_DIR}/man/quorvel.qvl.5 ${PROJECT_BINARY_DIR}/man/quorvel.qvl.5.gz
  DEPENDS qvl-man VERBATIM)
add_custom_target(quorvel_man5 ALL DEPENDS ${PROJECT_BINARY_DIR}/man/quorvel.qvl.5.gz)
install(FILES ${PROJECT_BINARY_DIR}/man/quorvel.qvl.5.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man5)

# The service: a template unit per project, a template timer for projects whose events end, the
# system user and its folders (made by the package's postinst through systemd-sysusers and
# systemd-tmpfiles), and the folder of the service's projects.
install(FILES res/systemd/quorvel@.service res/systemd/quorvel@.timer DESTINATION lib/systemd/system)
install(FILES res/systemd/quorvel.sysusers DESTINATION lib/sysusers.d RENAME quorvel.conf)
install(FILES res/systemd/quorvel.tmpfiles DESTINATION lib/tmpfiles.d RENAME quorvel.conf)
# /etc/quorvel and the rotation of /var/log/quorvel (/etc/logrotate.d/quorvel) lie outside every
# prefix. The packages (CPack stages them in DESTDIR) and staged installs get them; an install
# straight into a prefix of one's own without the right to write /etc goes on without them.
install(CODE "set(QUORVEL_LOGROTATE \"${PROJECT_SOURCE_DIR}/res/logrotate/quorvel\")")
install(CODE [[
  if(NOT "$ENV{DESTDIR}" STREQUAL "")
    file(MAKE_DIRECTORY "$ENV{DESTDIR}/etc/quorvel")
    # file(INSTALL) puts DESTDIR before an absolute destination itself.
    file(INSTALL "${QUORVEL_LOGROTATE}" DESTINATION /etc/logrotate.d
         FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  else()
    execute_process(COMMAND mkdir -p /etc/quorvel RESULT_VARIABLE failed ERROR_QUIET)
    if(NOT failed)
      execute_process(COMMAND install -m 644 "${QUORVEL_LOGROTATE}" /etc/logrotate.d/quorvel
                      RESULT_VARIABLE failed ERROR_QUIET)
    endif()
    if(failed)
      message(STATUS "Not made: /etc/quorvel, /etc/logrotate.d/quorvel (no right to write /etc; "
                     "only the service needs them)")
    endif()
  endif()
]])
