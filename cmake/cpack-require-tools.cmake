# Read by cpack before it packages. The Debian generator derives the package's
# dependencies with dpkg-shlibdeps and, without it, only warns and builds a
# package that depends on nothing: stop instead, naming what to install.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(BRELOX_DPKG_SHLIBDEPS dpkg-shlibdeps)
  find_program(BRELOX_FILE file)
  if(NOT BRELOX_DPKG_SHLIBDEPS OR NOT BRELOX_FILE)
    message(FATAL_ERROR "building the .deb needs dpkg-shlibdeps and file: apt-get install dpkg-dev file")
  endif()
endif()
