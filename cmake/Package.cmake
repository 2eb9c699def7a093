# What `cmake --install` puts in place and the Debian package CPack makes of it:
#
#   cpack -G DEB            in the build folder (scripts/package.sh also checks the result)
#
# The programs, the desktop entry, the *.vks MIME type, the icons, the AppStream metainfo, the
# manual pages, and in /usr/share/doc/quillon the copyright file in Debian's machine-readable
# format and the changelog. The package's Depends come from dpkg-shlibdeps.

include(GNUInstallDirs)

set(QUILLON_MAINTAINER "Korvan Corp <quillon@example.org>")
set(QUILLON_METAINFO ${PROJECT_SOURCE_DIR}/res/org.example.quillon.metainfo.xml)
# The package's name, lower case whatever the project's is: Debian's folders for it use it.
set(QUILLON_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillon)

install(TARGETS quillon quillon_gen_day RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(NOT UNIX)
  return()
endif()

install(FILES res/quillon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES res/quillon-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
  RENAME quillon.xml)
install(FILES res/icons/quillon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES res/icons/quillon-16.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/16x16/apps
  RENAME quillon.svg)
install(FILES ${QUILLON_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES res/debian/copyright docs/settings.md DESTINATION ${QUILLON_DOC_DIR})

# The date of this version's release, from its <release> in the metainfo, for the changelog's
# trailer line (RFC 2822, the weekday included: Debian's tools check that it is the right one).
function(quillon_release_date OUT_VAR)
  file(READ ${QUILLON_METAINFO} strMetainfo)
  string(REPLACE "." "\\." strVersion "${PROJECT_VERSION}")
  if(strMetainfo MATCHES "<release version=\"${strVersion}\" date=\"([0-9]+)-([0-9]+)-([0-9]+)\"")
    set(nYear ${CMAKE_MATCH_1})
    set(nMonth ${CMAKE_MATCH_2})
    set(strDay ${CMAKE_MATCH_3})
  else()
    message(WARNING "${QUILLON_METAINFO} has no <release> for version ${PROJECT_VERSION}: "
      "the package's changelog is dated today, and scripts/package.sh will fail")
    string(TIMESTAMP nYear "%Y" UTC)
    string(TIMESTAMP nMonth "%m" UTC)
    string(TIMESTAMP strDay "%d" UTC)
  endif()
  # Without their leading zeros, so that nothing reads them as octal.
  string(REGEX REPLACE "^0" "" nMonth ${nMonth})
  string(REGEX REPLACE "^0" "" nDay ${strDay})
  # Sakamoto's weekday rule, 0 for Sunday.
  set(MONTH_OFFSETS 0 3 2 5 0 3 5 1 4 6 2 4)
  set(MONTH_NAMES Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  set(WEEKDAY_NAMES Sun Mon Tue Wed Thu Fri Sat)
  math(EXPR nIndex "${nMonth} - 1")
  list(GET MONTH_OFFSETS ${nIndex} nOffset)
  list(GET MONTH_NAMES ${nIndex} strMonth)
  set(nY ${nYear})
  if(nMonth LESS 3)
    math(EXPR nY "${nY} - 1")
  endif()
  math(EXPR nWeekday "(${nY} + ${nY} / 4 - ${nY} / 100 + ${nY} / 400 + ${nOffset} + ${nDay}) % 7")
  list(GET WEEKDAY_NAMES ${nWeekday} strWeekday)
  set(${OUT_VAR} "${strWeekday}, ${strDay} ${strMonth} ${nYear} 00:00:00 +0000" PARENT_SCOPE)
endfunction()
quillon_release_date(QUILLON_RELEASE_DATE)
# A new <release> dates the changelog anew.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUILLON_METAINFO})

# Manual pages and the changelog carry the version; Debian wants them compressed with gzip -9
# and without a time stamp in the header, so that the same sources give the same package.
set(QUILLON_GENERATED_DOCS
  docs/quillon.1.in ${CMAKE_INSTALL_MANDIR}/man1
  docs/quillon_gen_day.1.in ${CMAKE_INSTALL_MANDIR}/man1
  res/debian/changelog.in ${QUILLON_DOC_DIR})
find_program(QUILLON_GZIP gzip)
set(compressed)
while(QUILLON_GENERATED_DOCS)
  list(POP_FRONT QUILLON_GENERATED_DOCS strSource strDestination)
  get_filename_component(strName ${strSource} NAME_WLE)
  set(strOut ${PROJECT_BINARY_DIR}/docs/${strName})
  configure_file(${strSource} ${strOut} @ONLY)
  if(QUILLON_GZIP)
    add_custom_command(OUTPUT ${strOut}.gz
      COMMAND ${QUILLON_GZIP} -9nkf ${strOut}
      DEPENDS ${strOut}
      COMMENT "Compressing ${strName}")
    list(APPEND compressed ${strOut}.gz)
    install(FILES ${strOut}.gz DESTINATION ${strDestination})
  else()
    install(FILES ${strOut} DESTINATION ${strDestination})
  endif()
endwhile()
add_custom_target(quillon_docs ALL DEPENDS ${compressed})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR "Korvan Corp")
set(CPACK_PACKAGE_CONTACT ${QUILLON_MAINTAINER})
set(CPACK_PACKAGE_HOMEPAGE_URL https://quillon.example.org/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for a day of electric-field readings from a field mill")
# Lines of at most 79 characters: the package's description is shown as it is written here.
set(CPACK_PACKAGE_DESCRIPTION
  "Quillon opens one day of readings written by a field-mill sensor's logging
program (a VKS-10/20 data file, *.vks) and plots every reading against the
time of day in a strip chart that fills its window. It zooms and pans the day,
reads out single readings, draws warning and alert levels, follows a file
while the logger writes it, and prints the chart on one page.

From the command line it summarises a day as JSON and exports the chart as
PNG, SVG or PDF without a display. quillon_gen_day writes realistic sample
days, at once or as a logger does, to try Quillon without a field mill.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# Folders as Debian has them whatever the umask of whoever builds the package.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
