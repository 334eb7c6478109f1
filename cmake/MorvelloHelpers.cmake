# SPDX-License-Identifier: GPL-3.0-or-later
# One static library per subsystem: every .cpp of the folder goes in, so adding
# a file never needs a CMake edit.
function(morvello_library name)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${_sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LINKS})
endfunction()

# An activity: a library of its own on the kit, linked by the shell and the
# content checker without either naming it.
function(morvello_activity name)
  morvello_library(${name} LINKS morvello_kit morvello_text morvello_core)
  set_property(GLOBAL APPEND PROPERTY MORVELLO_ACTIVITY_LIBRARIES ${name})
endfunction()

# The constant tables of an activity (keys, titles, passages) are written at
# build time from its catalogues in content/ (content/FORMAT.md) by the content
# tool: the program reads no file for them, and a catalogue edited is a
# library rebuilt.
function(morvello_content_tables target library)
  set(_out ${CMAKE_CURRENT_BINARY_DIR}/${library}_tables.cpp)
  list(TRANSFORM ARGN PREPEND ${CMAKE_SOURCE_DIR}/content/)
  add_custom_command(OUTPUT ${_out}
    COMMAND morvello-content --tables ${library} ${CMAKE_SOURCE_DIR}/content ${_out}
    DEPENDS morvello-content ${ARGN}
    COMMENT "Writing the ${library} tables from content/"
    VERBATIM)
  target_sources(${target} PRIVATE ${_out})
endfunction()

# Every tst_*.cpp of a test folder becomes its own Qt Test executable and CTest
# case, run on the offscreen platform. A folder links what its layer needs:
# morvello_doubles or morvello_testfiles for a layer alone, morvello_testsupport
# for a whole program over a temporary folder.
function(morvello_tests folder)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  file(GLOB _support CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/support_*.cpp)
  foreach(_t ${_tests})
    get_filename_component(_n ${_t} NAME_WE)
    set(_target ${folder}_${_n})
    add_executable(${_target} ${_t} ${_support})
    target_link_libraries(${_target} PRIVATE ${ARG_LINKS} Qt6::Test)
    target_compile_definitions(${_target} PRIVATE MORVELLO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    add_test(NAME ${folder}/${_n} COMMAND ${_target})
    set_tests_properties(${folder}/${_n} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
      TIMEOUT 300)
  endforeach()
endfunction()
