# The Debian package, made by CPack: `cmake --build build --target package` gives
# build/quxfamily_<version>_<arch>.deb. What goes into it is in packaging/CMakeLists.txt.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quxfamily)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "${QUX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUX_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "configuration host and tools for QUX infrared temperature sensors")
# The extended description, one paragraph in lines of at most 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "orbexa configures and monitors QUX family infrared temperature sensors over a\n"
    "serial line: it identifies a sensor, reads, edits and writes its parameters\n"
    "(emissivity, switching points and outputs, analog output, laser, unit, baud\n"
    "rate), shows the live temperature on a chart, and saves and loads sensor\n"
    "settings files (.ovs), in English or German. quxctl does the same from the\n"
    "command line for production lines and service scripts, and quxsim simulates a\n"
    "sensor on a pseudo-terminal, with fault injection, for training and trials.")
# The libraries the programs link are found by dpkg-shlibdeps, our own ones in the private
# folder. Qt loads the SVG icon engine at run time, which no link shows.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/_CPack_Packages/Linux/DEB/${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-Linux/usr/${QUX_APPDIR})
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5svg5")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qttranslations5-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/control/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Only what the install rules name: no headers or test programs.
set(CPACK_DEB_COMPONENT_INSTALL OFF)
include(CPack)
