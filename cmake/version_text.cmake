# Writes OUTPUT, a header defining ZEROVA_VERSION_TEXT: VERSION followed by
# `git describe --tags --dirty --always` in parentheses, e.g.
# "0.2.0 (v0.1.0-37-g847298b)", when SOURCE_DIR is the top of a git checkout
# that is not at the release tag v${VERSION}; VERSION alone at that tag, without
# git, or for sources that are no checkout of their own (a tarball unpacked
# inside another project's). Run at every build with
# `cmake -DVERSION=... -DSOURCE_DIR=... -DOUTPUT=... -P version_text.cmake`; the
# header is rewritten only when its text changes, so nothing is recompiled for
# nothing. Never fails the build for want of git.
cmake_minimum_required(VERSION 3.25)

set(text "${VERSION}")
find_program(GIT_EXECUTABLE git)
if(GIT_EXECUTABLE)
  execute_process(
    COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" rev-parse --show-toplevel
    OUTPUT_VARIABLE top
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET)
  file(REAL_PATH "${SOURCE_DIR}" source)
endif()
if(GIT_EXECUTABLE AND NOT top STREQUAL "" AND top STREQUAL source)
  execute_process(
    COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" describe --tags --dirty --always
    OUTPUT_VARIABLE described
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET
    RESULT_VARIABLE status)
  if(status EQUAL 0 AND NOT described STREQUAL "" AND NOT described STREQUAL "v${VERSION}")
    set(text "${VERSION} (${described})")
  endif()
endif()

set(header "// Written at build time by cmake/version_text.cmake; not a source file.
#define ZEROVA_VERSION_TEXT \"${text}\"
")
set(old "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL header)
  file(WRITE "${OUTPUT}" "${header}")
endif()
