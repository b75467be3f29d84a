# The Debian package, made by `cpack -G DEB` in a Release build configured with
# CMAKE_INSTALL_PREFIX=/usr (scripts/package.sh): what `cmake --install` puts in
# place, stripped, named zerova_VERSION_ARCH.deb. Its dependencies are the shared
# libraries the programs link, found by dpkg-shlibdeps, never written here.
set(ZEROVA_PACKAGE_MAINTAINER "The Zerova developers <zerova@example.org>" CACHE STRING
  "The package's Maintainer field: a name and a mail address")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zerova)
set(CPACK_PACKAGE_VENDOR "The Zerova developers")
set(CPACK_PACKAGE_CONTACT "${ZEROVA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns a worksheet of a spreadsheet file into an XML document")
# Debian shows each line as it stands: none longer than 79 characters.
set(CPACK_PACKAGE_DESCRIPTION
  "Zerova reads one worksheet of a spreadsheet file and writes xmlstructure.xml:
row 1 holds the node labels, and under each label, down to the first empty
cell, stand its values.

It reads Excel workbooks (.xls from Excel 2.x to 2003, .xlsx, .xlsm, .xlsb,
password-protected ones too), OpenDocument spreadsheets (.ods, .fods), XML
Spreadsheet 2003, HTML tables and CSV text, each recognised by its content.
It is a command line for scripts and batch runs, and a small window (Qt 6).")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The one thing dpkg-shlibdeps cannot see: Qt's SVG image plugin, loaded at run
# time to draw the window's icon. Without it the window works, with a generic icon.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libqt6svg6)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZEROVA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
include(CPack)
