# SPDX-License-Identifier: GPL-3.0-or-later
# Debian's hardening flags, as dpkg-buildflags gives them with every hardening
# feature on: stack protector, fortified C library calls, format checks,
# relocations made read-only and bound at start. Every build on a machine that
# has dpkg-buildflags gets them, so the tests run the code the package ships.
# The build type keeps its own optimisation and debug flags.
option(MORVELLO_HARDENING "Compile and link with Debian's dpkg-buildflags (hardening=+all)" ON)
find_program(MORVELLO_DPKG_BUILDFLAGS dpkg-buildflags)

if(MORVELLO_HARDENING AND MORVELLO_DPKG_BUILDFLAGS)
  set(_options "hardening=+all")
  if(DEFINED ENV{DEB_BUILD_MAINT_OPTIONS})
    string(APPEND _options " $ENV{DEB_BUILD_MAINT_OPTIONS}")
  endif()
  foreach(_kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=${_options}" ${MORVELLO_DPKG_BUILDFLAGS} --get ${_kind}
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
      OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE _rc)
    if(NOT _rc EQUAL 0)
      message(FATAL_ERROR "dpkg-buildflags --get ${_kind} failed (${_rc}); configure with -DMORVELLO_HARDENING=OFF to build without it")
    endif()
    separate_arguments(_flags UNIX_COMMAND "${_flags}")
    list(FILTER _flags EXCLUDE REGEX "^-(O[0-9sg]?|g[0-9]?)$")
    # The prefix map names the checkout's folder, which differs for every
    # clone .ci/run makes: the compiler cache would never hit. The package's
    # binaries are stripped, so the paths it maps do not reach it anyway.
    list(FILTER _flags EXCLUDE REGEX "^-f(file|debug|macro)-prefix-map=")
    set(MORVELLO_${_kind} ${_flags})
  endforeach()
  add_compile_options(${MORVELLO_CPPFLAGS} ${MORVELLO_CXXFLAGS})
  add_link_options(${MORVELLO_LDFLAGS})
  message(STATUS "Hardening flags: ${MORVELLO_CPPFLAGS} ${MORVELLO_CXXFLAGS} | ${MORVELLO_LDFLAGS}")
endif()

# Position-independent executables, which Debian's compiler makes by default;
# said here so that another compiler does the same.
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
