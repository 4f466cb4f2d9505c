# Installing and packaging. On Linux: the program with its desktop entry, icon, manual page and
# documents under GNUInstallDirs (`cmake --install`), and CPack's Debian package of the same tree
# (scripts/package). The Windows build gets the README.txt that ships beside gravefall.scr.
# The version is the project's; dates honour SOURCE_DATE_EPOCH so that a package is reproducible.
include_guard(GLOBAL)

set(GRAVEFALL_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(GRAVEFALL_MAINTAINER "Gravefall developers <developers@gravefall.example>"
  CACHE STRING "Maintainer of the packages, as 'Name <address>'")

# LICENSE is the one place of the copyright line and the licence text.
set(license_file ${CMAKE_SOURCE_DIR}/LICENSE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${license_file})
file(READ ${license_file} GRAVEFALL_LICENSE_TEXT)
file(STRINGS ${license_file} copyright_line REGEX "^Copyright " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright (\\([cC]\\) )?" "" GRAVEFALL_COPYRIGHT_HOLDERS "${copyright_line}")
string(TIMESTAMP GRAVEFALL_RELEASE_DATE "%Y-%m-%d" UTC)

if(WIN32)
  # Notepad's line ends. NEWLINE_STYLE converts only the template's own lines, not the text
  # substituted into them, hence the second pass over the filled-in file.
  configure_file(${GRAVEFALL_PACKAGING_DIR}/README-windows.txt.in ${CMAKE_BINARY_DIR}/packaging/README.txt @ONLY)
  configure_file(${CMAKE_BINARY_DIR}/packaging/README.txt ${CMAKE_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
  return()
endif()

include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(generated ${CMAKE_BINARY_DIR}/packaging)
set(docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/gravefall)

# gzip -n: no name or time stamp in the header, so the bytes depend on the text alone.
function(_gravefall_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9 -n -c ${source} > ${output}
    DEPENDS ${source}
    VERBATIM)
endfunction()

configure_file(${CMAKE_SOURCE_DIR}/docs/gravefall.6.in ${generated}/gravefall.6 @ONLY)
_gravefall_gzip(${generated}/gravefall.6 ${generated}/gravefall.6.gz)

# Debian's copyright file: the licence text as a DEP-5 paragraph body (blank lines become " .").
string(REGEX REPLACE "^.*\nCopyright [^\n]*\n\n" "" expat "${GRAVEFALL_LICENSE_TEXT}")
string(STRIP "${expat}" expat)
string(REPLACE "\n\n" "\n.\n" expat "${expat}")
string(REPLACE "\n" "\n " expat "${expat}")
set(GRAVEFALL_EXPAT_TEXT " ${expat}")
configure_file(${GRAVEFALL_PACKAGING_DIR}/copyright.in ${generated}/copyright @ONLY)

# A native package's changelog: one entry for this version.
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${generated}/changelog.in
  "gravefall (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
  "  * Gravefall ${PROJECT_VERSION}.\n\n"
  " -- ${GRAVEFALL_MAINTAINER}  ${changelog_date}\n")
configure_file(${generated}/changelog.in ${generated}/changelog COPYONLY)
_gravefall_gzip(${generated}/changelog ${generated}/changelog.gz)

add_custom_target(gravefall_package_files ALL DEPENDS ${generated}/gravefall.6.gz ${generated}/changelog.gz)

# Components: `program` is everything a plain install and the package share; a plain install adds
# LICENSE (`licence`), the package Debian's copyright and changelog instead (`debian`).
install(TARGETS gravefall RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
# A stripped install also drops the compilers' .comment and .note sections, as Debian's dh_strip does.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/gravefall\" COMMAND_ERROR_IS_FATAL ANY)
  endif()" COMPONENT program)
install(FILES ${GRAVEFALL_PACKAGING_DIR}/gravefall.desktop
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications COMPONENT program)
# What the Linux screen-saver hosts read: xfce4-screensaver's and mate-screensaver's entry, and
# xscreensaver's description of the display mode.
install(FILES ${GRAVEFALL_PACKAGING_DIR}/screensaver/gravefall.desktop
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications/screensavers COMPONENT program)
install(FILES ${GRAVEFALL_PACKAGING_DIR}/screensaver/gravefall.xml
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/xscreensaver/config COMPONENT program)
set(icon_count 0)
foreach(art IN LISTS GRAVEFALL_ART_FILES)
  if(art MATCHES "/icon_([0-9]+)\\.png$")
    set(size ${CMAKE_MATCH_1})
    install(FILES ${art} RENAME gravefall.png
      DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps COMPONENT program)
    math(EXPR icon_count "${icon_count} + 1")
  endif()
endforeach()
if(icon_count EQUAL 0)
  message(FATAL_ERROR "packaging: the art generator lists no icon_N.png to install")
endif()
install(FILES ${generated}/gravefall.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT program)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${docdir} COMPONENT program)
install(FILES ${license_file} DESTINATION ${docdir} COMPONENT licence)
install(FILES ${generated}/copyright ${generated}/changelog.gz DESTINATION ${docdir}
  COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gravefall)
set(CPACK_PACKAGE_VENDOR "Gravefall developers")
set(CPACK_PACKAGE_CONTACT "${GRAVEFALL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop toy: zombies roam over a copy of your desktop")
set(CPACK_PACKAGE_DESCRIPTION "Gravefall reads your desktop (the wallpaper and every icon with its image,
position and name), redraws it in a full-screen OpenGL 3.3 window and lets a
growing crowd of animated zombies shamble and run across it. Any key press,
or moving the mouse more than 5 pixels, ends it.

It takes the usual screen-saver switches, so idle tools such as xss-lock or
xautolock can start it. It reads the desktop folder, the icon theme and the
wallpaper setting of the common desktop environments.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL program debian)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Added to what dpkg-shlibdeps finds: GLFW opens libGL at run time, so no link records it. The
# Mesa drivers draw; SVG icons and GNOME's wallpaper setting need a loader and the schemas.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri, librsvg2-common, gsettings-desktop-schemas")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xss-lock | xautolock")
include(CPack)
