# The Debian packages, made by `cpack` (or the `package` target) in the build
# folder:
#   dornvel_<version>_<arch>.deb      the program, its menu entry, icon,
#                                     AppStream metadata and manual page
#   dornvel-sim_<version>_<arch>.deb  the simulated meter, for trying the
#                                     program and testing it without the device
# Their dependencies are read from the binaries (dpkg-shlibdeps, package
# dpkg-dev); each carries the licence as its machine-readable copyright file
# and the changelog.
if(NOT TARGET dornvel)
  return()
endif()

# The package version is the project's "1.00" as it stands, with no Debian
# revision: the project makes these packages itself (a native package), and the
# version is the one the program reports. dpkg compares runs of digits as
# numbers, so "1.00" equals "1.0" and later releases sort in order as long as
# the minor number keeps its two digits (1.01 ... 1.09, 1.10).
set(CPACK_PACKAGE_NAME dornvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the dornvel developers")
set(DORNVEL_MAINTAINER "the dornvel developers <dornvel@example.org>" CACHE STRING
  "Maintainer line of the Debian packages")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DORNVEL_MAINTAINER})
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE dornvel)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)

set(CPACK_COMPONENTS_ALL dornvel)
set(CPACK_DEBIAN_DORNVEL_PACKAGE_NAME dornvel)
set(CPACK_COMPONENT_DORNVEL_DESCRIPTION
"test and set-up tool for an insulation-resistance meter (Modbus RTU)
dornvel is the Modbus RTU master for an insulation-resistance meter on a
serial line. Once a second it polls the meter's insulation resistance, its
protection switch, its slave id and its baud rate and shows them in one
window. The technician picks the serial port, the baud rate and the slave id
to address, and can re-program the device's own slave id and baud rate.")
if(TARGET dornvel-sim)
  list(APPEND CPACK_COMPONENTS_ALL sim)
  set(CPACK_DEBIAN_SIM_PACKAGE_NAME dornvel-sim)
  set(CPACK_COMPONENT_SIM_DESCRIPTION
"simulated insulation-resistance meter for trying and testing dornvel
dornvel-sim is a Modbus RTU slave (built on libmodbus) that behaves like the
meter dornvel polls. It serves on a pseudo-terminal, or on a serial port, and
can be told to misbehave: silence, late, corrupted, foreign, split, truncated
or babbling replies, exceptions and hang-ups, at chosen requests or at random.")
endif()

# The licence in the machine-readable copyright format, its text indented as
# that format wants, and the changelog compressed without a timestamp.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE dornvel_license)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)\n\n(.*)$" dornvel_license "${dornvel_license}")
set(dornvel_holder ${CMAKE_MATCH_1})
string(STRIP "${CMAKE_MATCH_2}" dornvel_license_text)
string(REPLACE "\n\n" "\n.\n" dornvel_license_text "${dornvel_license_text}")
string(REPLACE "\n" "\n " dornvel_license_text "${dornvel_license_text}")
file(WRITE ${PROJECT_BINARY_DIR}/packaging/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: dornvel
Upstream-Contact: ${DORNVEL_MAINTAINER}

Files: *
Copyright: ${dornvel_holder}
License: Expat
 ${dornvel_license_text}
")
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${DORNVEL_CHANGELOG} ${PROJECT_BINARY_DIR}/packaging/changelog
  COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/packaging/changelog
  DEPENDS ${DORNVEL_CHANGELOG}
  VERBATIM)
add_custom_target(dornvel-changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)

foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  string(TOUPPER ${component} dornvel_component)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_DEBIAN_${dornvel_component}_PACKAGE_NAME} COMPONENT ${component})
endforeach()

include(CPack)
