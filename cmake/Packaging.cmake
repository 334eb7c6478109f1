# SPDX-License-Identifier: GPL-3.0-or-later
# Install layout and the Debian package (cmake --build build --target package).
# The program and its helpers go to lib/morvello, out of the PATH; the menu's
# "morvello" is the launcher, which finds them from its own folder.
include(GNUInstallDirs)

install(TARGETS morvello RUNTIME DESTINATION lib/morvello)
if(TARGET morvello-check)
  install(TARGETS morvello-check RUNTIME DESTINATION lib/morvello)
  # A teacher types "morvello-check FOLDER" from a terminal: the PATH gets a
  # relative link, so an unpacked tree works wherever it lies.
  set(_check_link ${CMAKE_BINARY_DIR}/packaging/morvello-check)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
  file(CREATE_LINK ../lib/morvello/morvello-check ${_check_link} SYMBOLIC)
  install(FILES ${_check_link} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS morvello-launcher RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The teacher's register needs no data folder: it goes straight on the PATH.
install(TARGETS morvello-registro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/morvello-registro.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The technician types it on the server, from a terminal.
install(TARGETS morvello-server-setup RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(_man ${CMAKE_BINARY_DIR}/morvello-registro.1.gz)
add_custom_command(OUTPUT ${_man}
  COMMAND sh -c "${GZIP_EXECUTABLE} -9 -n -c \"$1\" > \"$2\"" gzip ${CMAKE_SOURCE_DIR}/packaging/morvello-registro.1 ${_man}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/morvello-registro.1 VERBATIM)
add_custom_target(morvello-registro-man ALL DEPENDS ${_man})
install(FILES ${_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# A stripped install (the package's) also drops the compiler's notes, as
# Debian's own packaging does; they only name the compiler.
find_program(MORVELLO_OBJCOPY NAMES objcopy)
if(MORVELLO_OBJCOPY)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(_f lib/morvello/morvello lib/morvello/morvello-check ${CMAKE_INSTALL_BINDIR}/morvello
                 ${CMAKE_INSTALL_BINDIR}/morvello-registro)
        set(_path \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${_f}\")
        if(EXISTS \"\${_path}\" AND NOT IS_SYMLINK \"\${_path}\")
          execute_process(COMMAND \"${MORVELLO_OBJCOPY}\" --remove-section=.comment --remove-section=.note \"\${_path}\")
        endif()
      endforeach()
    endif()")
endif()

# The data folder as it is at install time, so new content needs no edit
# here; a developer's own archive and export template never go in.
install(DIRECTORY permorvello/ DESTINATION ${CMAKE_INSTALL_DATADIR}/morvello/permorvello
  REGEX "/[Tt][Ee][Ss][Tt][Ii]1\\.[Mm][Dd][Bb](-.*)?$" EXCLUDE
  REGEX "/[Ee][Xx][Pp][Oo][Rr][Tt][Tt][Ee][Ss][Tt][Ii]\\.[Mm][Dd][Bb](-.*)?$" EXCLUDE)

set(MORVELLO_APP_ID org.morvello.morvello)
install(FILES packaging/${MORVELLO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/${MORVELLO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY packaging/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# Debian wants the changelog and the manual pages compressed at the highest
# level and without a name or time stamp in the gzip header, so that two
# builds of the same tree give the same bytes.
set(_doc ${CMAKE_INSTALL_DATADIR}/doc/morvello)
set(_gzipped)
function(morvello_gzip source target)
  add_custom_command(OUTPUT ${target}
    COMMAND gzip -9n -c ${source} > ${target}
    DEPENDS ${source} VERBATIM)
endfunction()
morvello_gzip(${CMAKE_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
list(APPEND _gzipped ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz DESTINATION ${_doc})
install(FILES packaging/copyright DESTINATION ${_doc})
# Each override is named, with its reason, in the README.
install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME morvello)
file(GLOB _manpages CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/packaging/man/*.1)
foreach(_page ${_manpages})
  get_filename_component(_name ${_page} NAME)
  morvello_gzip(${_page} ${CMAKE_BINARY_DIR}/packaging/${_name}.gz)
  list(APPEND _gzipped ${CMAKE_BINARY_DIR}/packaging/${_name}.gz)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${_name}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(morvello-packaging-files ALL DEPENDS ${_gzipped})

# The package's version is the changelog's latest entry, whose upstream part
# must be the project's version.
file(STRINGS packaging/changelog _first LIMIT_COUNT 1)
if(NOT _first MATCHES "^morvello \\(([^-()]+)-([^()]+)\\) ")
  message(FATAL_ERROR "packaging/changelog: the first line is not \"morvello (VERSION-REVISION) ...\"")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog is at ${CMAKE_MATCH_1}, the project at ${PROJECT_VERSION}: add a changelog entry")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_2})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvello)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Italian text analysis exercises for lower secondary school")
# Lines of at most 79 columns, as Debian's tools show them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Morvello is a desktop program for pupils of a lower secondary school (11-14)"
  "who practise the analysis of Italian texts: sequences of expository and"
  "narrative passages, narrative structures, poetic devices and rhetorical"
  "figures. Every answer is judged on the spot and each pupil's score is kept"
  "in a results archive in the user's data folder, which the results screen"
  "shows, prints and exports. Everything the pupil sees is in Italian.")
set(CPACK_PACKAGE_CONTACT "Morvello <morvello@morvello.org>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries the binaries link come from dpkg-shlibdeps; these are
# loaded at run time and no linker sees them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation, fonts-opendyslexic")
# The voice that reads passages aloud: without it "Leggi" says why and stays
# off, and nothing else changes. The lab server is an option too: without its
# driver the program keeps to the file archive; the server itself goes on one
# machine only.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-speech-speechd-plugin, speech-dispatcher, speech-dispatcher-espeak-ng, libqt6sql6-psql")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "postgresql-15")
include(CPack)
