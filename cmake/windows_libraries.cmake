# The libraries of the Windows build, linked statically from the prefix that
# scripts/windows-libs.sh built (cmake/mingw-w64.cmake points pkg-config at
# it): the same targets as the Linux build's (PkgConfig::GSF, ...), each with
# its package's static compile flags and link line, and PkgConfig::ICONV,
# win-iconv, which glibc has built in on Linux.
foreach(package GSF:libgsf-1 XML2:libxml-2.0 NETTLE:nettle ZLIB:zlib)
  string(REPLACE ":" ";" package ${package})
  list(GET package 0 prefix)
  list(GET package 1 module)
  pkg_check_modules(${prefix} REQUIRED ${module})
  add_library(PkgConfig::${prefix} INTERFACE IMPORTED)
  set_target_properties(PkgConfig::${prefix} PROPERTIES
    INTERFACE_COMPILE_OPTIONS "${${prefix}_STATIC_CFLAGS}"
    INTERFACE_LINK_LIBRARIES "${${prefix}_STATIC_LDFLAGS}")
endforeach()
find_library(ZEROVA_ICONV_LIBRARY iconv REQUIRED)
add_library(PkgConfig::ICONV INTERFACE IMPORTED)
set_target_properties(PkgConfig::ICONV PROPERTIES
  INTERFACE_LINK_LIBRARIES ${ZEROVA_ICONV_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${ZEROVA_WINDOWS_PREFIX}/include)
