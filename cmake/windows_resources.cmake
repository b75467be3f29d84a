# The Windows programs' resources: the icon, made at build time from the SVG
# (scripts/windows-icon.sh), a version resource from project()'s version, and
# an application manifest (cmake/windows/*.manifest).
#
#   zerova_windows_resources(TARGET NAME DESCRIPTION MANIFEST)
# gives TARGET the resources of the program NAME.exe, described as DESCRIPTION,
# with the manifest cmake/windows/MANIFEST.manifest.
set(ZEROVA_ICON ${CMAKE_BINARY_DIR}/generated/zerova.ico)
set(ZEROVA_ICON_SVG ${CMAKE_SOURCE_DIR}/share/icons/hicolor/scalable/apps/zerova.svg)
add_custom_command(OUTPUT ${ZEROVA_ICON}
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/windows-icon.sh ${ZEROVA_ICON_SVG} ${ZEROVA_ICON}
  DEPENDS ${ZEROVA_ICON_SVG} ${CMAKE_SOURCE_DIR}/scripts/windows-icon.sh
  COMMENT "Making zerova.ico from zerova.svg"
  VERBATIM)
add_custom_target(zerova_icon DEPENDS ${ZEROVA_ICON})
set(ZEROVA_FILE_VERSION ${PROJECT_VERSION}.0)

function(zerova_windows_resources target name description manifest)
  set(ZEROVA_RC_NAME ${name})
  set(ZEROVA_RC_DESCRIPTION ${description})
  set(ZEROVA_RC_MANIFEST ${CMAKE_BINARY_DIR}/generated/${target}.manifest)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/windows/${manifest}.manifest ${ZEROVA_RC_MANIFEST} @ONLY)
  set(rc ${CMAKE_BINARY_DIR}/generated/${target}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/windows/program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${ZEROVA_ICON};${ZEROVA_RC_MANIFEST}")
  add_dependencies(${target} zerova_icon)
endfunction()
