# The Windows build's tests, run under Wine through CMAKE_CROSSCOMPILING_EMULATOR:
# what does not depend on POSIX (the conversion, the formats, the services, the
# fixtures) and the Windows pieces (platform/windows/), in one program; and the
# command line, zerova.exe itself, driven by a script.

# GoogleTest built for Windows from Debian's own sources (package googletest).
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

file(GLOB ZEROVA_TEST_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/conversion/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/conversion/*/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/services/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/formats/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/formats/*/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/platform/windows/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/biff_builder.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/document.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/memory_file_system.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/office_book.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/xlsb_builder.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/zip_builder.cpp)
add_executable(zerova_tests ${ZEROVA_TEST_SOURCES})
target_include_directories(zerova_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zerova_tests PRIVATE zerova_cli gmock gtest_main PkgConfig::ZLIB psapi)
# Paths as Wine sees the build machine's folders: Z: is its root.
target_compile_definitions(zerova_tests PRIVATE
  ZEROVA_TEST_DATA="Z:${CMAKE_CURRENT_SOURCE_DIR}/data"
  ZEROVA_CORPUS="Z:${CMAKE_SOURCE_DIR}/../shared/corpus")
gtest_discover_tests(zerova_tests DISCOVERY_TIMEOUT 300 DISCOVERY_MODE PRE_TEST)

# zerova.exe as a user runs it: the same documents as the Linux build's, the
# Windows names and devices, standard input and output.
add_test(NAME windows_command_line
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/cli/windows_command_line_test.sh
    $<TARGET_FILE:zerova> ${CMAKE_CURRENT_SOURCE_DIR}/data)
set_tests_properties(windows_command_line PROPERTIES TIMEOUT 600)
