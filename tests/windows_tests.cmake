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

# The window, zerova-window.exe, under Wine on a display of its own
# (window/win32/on_display.sh: Xvfb, a Wine prefix of these tests' own; one test
# at a time): its look, a drop and the password dialog from inside; and driven
# from outside by keyboard with xdotool, from zerova.exe with no argument to the
# documents and a stopped conversion. Skipped (77) without xvfb-run or xdotool.
add_executable(form2_window_test ${CMAKE_CURRENT_SOURCE_DIR}/window/win32/form2_window_test.cpp)
target_include_directories(form2_window_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(form2_window_test PRIVATE zerova_window_win32 gtest_main)
target_compile_definitions(form2_window_test PRIVATE
  ZEROVA_TEST_DATA="Z:${CMAKE_CURRENT_SOURCE_DIR}/data")
# The window's manifest: the common controls 6, whose task dialogs its boxes are.
zerova_windows_resources(form2_window_test form2_window_test "Zerova's window tests" window)
set(ZEROVA_ON_DISPLAY ${CMAKE_CURRENT_SOURCE_DIR}/window/win32/on_display.sh)
add_test(NAME win32_window
  COMMAND ${ZEROVA_ON_DISPLAY} ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh
    $<TARGET_FILE:form2_window_test>)
add_test(NAME win32_window_driven
  COMMAND ${ZEROVA_ON_DISPLAY} ${CMAKE_CURRENT_SOURCE_DIR}/window/win32/drive_window.sh
    ${CMAKE_BINARY_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/data/basic)
add_dependencies(form2_window_test zerova zerova-window)
set_tests_properties(win32_window win32_window_driven PROPERTIES
  RESOURCE_LOCK wine_window SKIP_RETURN_CODE 77 TIMEOUT 600)
