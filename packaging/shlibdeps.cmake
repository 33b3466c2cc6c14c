# CPack runs this after staging the packages' files (after strip.cmake). The package quorvel
# depends on the libraries that its program links, and only recommends those of its modules
# (lib/<multiarch>/quorvel/*.so): a module is loaded the first time a project uses it, so a
# system that does without PostgreSQL, ODBC or remote counters does without libpq, unixODBC and
# libcurl too, and the program says which package to install when a project needs one.
# dpkg-shlibdeps reads both kinds in one run, so a library that the program needs as well stays in
# Depends only. CPack's own scan is off for this package: it would put everything in Depends.
set(staged "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/headless")
if(NOT IS_DIRECTORY "${staged}")
  set(staged "${CPACK_TEMPORARY_INSTALL_DIRECTORY}") # a tree without the window: one component
endif()
file(GLOB programs "${staged}/usr/bin/*")
file(GLOB modules "${staged}/usr/lib/*/quorvel/*.so")
if(NOT programs OR NOT modules)
  message(FATAL_ERROR "shlibdeps.cmake: no program or no module staged in ${staged}")
endif()
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps REQUIRED)
# dpkg-shlibdeps wants to run in a source tree: a folder with debian/control.
set(work "${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps")
file(MAKE_DIRECTORY "${work}/debian")
file(WRITE "${work}/debian/control" "")
list(TRANSFORM programs PREPEND "-e")
list(TRANSFORM modules PREPEND "-e")
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C
                  ${DPKG_SHLIBDEPS} -O -dDepends ${programs} -dRecommends ${modules}
                WORKING_DIRECTORY "${work}" OUTPUT_VARIABLE fields ERROR_VARIABLE errors RESULT_VARIABLE failed)
file(REMOVE_RECURSE "${work}")
if(failed)
  message(FATAL_ERROR "dpkg-shlibdeps: ${errors}")
endif()
foreach(field Depends Recommends)
  string(TOUPPER ${field} upper)
  if(fields MATCHES "shlibs:${field}=([^\n]*)")
    set(found "${CMAKE_MATCH_1}")
    if(CPACK_DEBIAN_HEADLESS_PACKAGE_${upper})
      set(found "${CPACK_DEBIAN_HEADLESS_PACKAGE_${upper}}, ${found}")
    endif()
    set(CPACK_DEBIAN_HEADLESS_PACKAGE_${upper} "${found}")
  endif()
endforeach()
message(STATUS "quorvel: Depends: ${CPACK_DEBIAN_HEADLESS_PACKAGE_DEPENDS}")
message(STATUS "quorvel: Recommends: ${CPACK_DEBIAN_HEADLESS_PACKAGE_RECOMMENDS}")
