# SPDX-License-Identifier: GPL-3.0-or-later
# Qt's text-to-speech library as Qt6::TextToSpeech. Debian 12's
# qt6-speech-dev ships a CMake package that asks for the whole of Qt Quick's
# development files (for its QML module, which the program does not use):
# when that is missing, the library and its headers are taken as they are.
find_package(Qt6TextToSpeech QUIET)
if(NOT TARGET Qt6::TextToSpeech)
  find_library(MORVELLO_QT6_TTS_LIBRARY NAMES Qt6TextToSpeech REQUIRED)
  get_target_property(_qtcore_includes Qt6::Core INTERFACE_INCLUDE_DIRECTORIES)
  find_path(MORVELLO_QT6_TTS_INCLUDE NAMES QtTextToSpeech/qtexttospeech.h
            HINTS ${_qtcore_includes} PATH_SUFFIXES .. qt6 REQUIRED)
  add_library(Qt6::TextToSpeech UNKNOWN IMPORTED)
  set_target_properties(Qt6::TextToSpeech PROPERTIES
    IMPORTED_LOCATION "${MORVELLO_QT6_TTS_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${MORVELLO_QT6_TTS_INCLUDE};${MORVELLO_QT6_TTS_INCLUDE}/QtTextToSpeech"
    INTERFACE_LINK_LIBRARIES Qt6::Core)
  # Its header includes one of Qt Quick's, for marks that matter only there.
  find_path(MORVELLO_QT_QMLINTEGRATION NAMES QtQmlIntegration/qqmlintegration.h HINTS ${_qtcore_includes}
            PATH_SUFFIXES .. qt6)
  if(NOT MORVELLO_QT_QMLINTEGRATION)
    set_property(TARGET Qt6::TextToSpeech APPEND PROPERTY INTERFACE_INCLUDE_DIRECTORIES
                 ${CMAKE_SOURCE_DIR}/cmake/qmlshim)
  endif()
  message(STATUS "Qt text-to-speech: ${MORVELLO_QT6_TTS_LIBRARY}")
endif()
