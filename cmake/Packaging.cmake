# SPDX-License-Identifier: GPL-3.0-or-later
# Install layout and the Debian package (cmake --build build --target package).
# The program and its helpers go to lib/morvello, out of the PATH; the menu's
# "morvello" is the launcher, which finds them from its own folder.
include(GNUInstallDirs)

install(TARGETS morvello RUNTIME DESTINATION lib/morvello)
if(TARGET morvello-check)
  install(TARGETS morvello-check RUNTIME DESTINATION lib/morvello)
endif()
install(TARGETS morvello-launcher RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The teacher's register needs no data folder: it goes straight on the PATH.
install(TARGETS morvello-registro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/morvello-registro.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(_man ${CMAKE_BINARY_DIR}/morvello-registro.1.gz)
add_custom_command(OUTPUT ${_man}
  COMMAND sh -c "${GZIP_EXECUTABLE} -9 -n -c \"$1\" > \"$2\"" gzip ${CMAKE_SOURCE_DIR}/packaging/morvello-registro.1 ${_man}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/morvello-registro.1 VERBATIM)
add_custom_target(morvello-registro-man ALL DEPENDS ${_man})
install(FILES ${_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The data folder as it is at install time, so new content needs no edit
# here; a developer's own archive and export template never go in.
install(DIRECTORY permorvello/ DESTINATION ${CMAKE_INSTALL_DATADIR}/morvello/permorvello
  REGEX "/[Tt][Ee][Ss][Tt][Ii]1\\.[Mm][Dd][Bb](-.*)?$" EXCLUDE
  REGEX "/[Ee][Xx][Pp][Oo][Rr][Tt][Tt][Ee][Ss][Tt][Ii]\\.[Mm][Dd][Bb](-.*)?$" EXCLUDE)

install(FILES packaging/morvello.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/local.morvello.morvello.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/morvello.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES packaging/morvello-64.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps RENAME morvello.png)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvello)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "esercizi di analisi dei testi italiani per la scuola media")
set(CPACK_PACKAGE_DESCRIPTION "Morvello is a desktop program for pupils of a lower secondary school (11-14) \
who practise the analysis of Italian texts: sequences of expository and narrative passages, narrative \
structures, poetic devices and rhetorical figures. Every answer is judged on the spot and each pupil's \
score is kept in a results archive in the user's data folder.")
set(CPACK_PACKAGE_CONTACT "Morvello <morvello@localhost>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries the binaries link come from dpkg-shlibdeps; these are
# loaded at run time and no linker sees them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation")
include(CPack)
