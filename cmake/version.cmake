# The version `zerova --version` prints. ZEROVA_VERSION is project()'s version;
# ZEROVA_VERSION_TEXT (zerova_version.h) adds `git describe` when the sources are a
# checkout away from the release tag, and is found again at every build
# (cmake/version_text.cmake), so a new commit or an edit shows without a new configure.
set(ZEROVA_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(ZEROVA_VERSION_HEADER ${ZEROVA_GENERATED_DIR}/zerova_version.h)
add_custom_target(zerova_version_text
  COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
    -DOUTPUT=${ZEROVA_VERSION_HEADER} -P ${CMAKE_SOURCE_DIR}/cmake/version_text.cmake
  BYPRODUCTS ${ZEROVA_VERSION_HEADER}
  VERBATIM)
add_dependencies(zerova zerova_version_text)
target_include_directories(zerova PRIVATE ${ZEROVA_GENERATED_DIR})
target_compile_definitions(zerova PRIVATE ZEROVA_VERSION="${PROJECT_VERSION}")
