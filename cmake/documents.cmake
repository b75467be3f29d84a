# What comes with the programs: the man page, the copyright file and the
# changelog, under the install folders of GNUInstallDirs.

# The man page, docs/zerova.1, compressed as Debian keeps man pages: no name or
# time stamp in the gzip header, so the same page always gives the same bytes.
# The same holds for the changelog (packaging/changelog, in Debian's format), which
# a package built from its own sources names changelog.gz.
function(zerova_compressed source compressed)
  add_custom_command(OUTPUT ${compressed}
    COMMAND gzip -9 -n -c ${source} > ${compressed}
    DEPENDS ${source}
    VERBATIM)
endfunction()
zerova_compressed(${CMAKE_SOURCE_DIR}/docs/zerova.1 ${CMAKE_BINARY_DIR}/zerova.1.gz)
zerova_compressed(${CMAKE_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_target(zerova_documents ALL
  DEPENDS ${CMAKE_BINARY_DIR}/zerova.1.gz ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/zerova.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The copyright file in the machine-readable format 1.0, holding LICENSE's text
# (all but its title and copyright line) as that format sets a license out: each
# line indented by one space, an empty line written as " .".
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
file(READ ${CMAKE_SOURCE_DIR}/LICENSE license)
string(REGEX REPLACE "^[^\n]*\n\n[^\n]*\n\n" "" license "${license}")
string(STRIP "${license}" license)
string(REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " ZEROVA_LICENSE_TEXT " ${license}")
configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright.in ${CMAKE_BINARY_DIR}/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
