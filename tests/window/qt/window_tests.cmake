# The Qt window's tests: QtTest on the offscreen platform, and real windows
# under Xvfb driven from outside with xdotool. (Form2 without a toolkit, and
# MarshalledHooks, are tested in zerova_tests, with a fake view.)
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
add_executable(form2_test
  ${CMAKE_CURRENT_SOURCE_DIR}/window/qt/form2_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/support/memory_file_system.cpp)
target_include_directories(form2_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(form2_test PRIVATE zerova_window_qt Qt6::Test)
target_compile_definitions(form2_test PRIVATE ZEROVA_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
set_target_properties(form2_test PROPERTIES AUTOMOC ON)
add_test(NAME form2_test COMMAND form2_test)
set_tests_properties(form2_test PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QPA_PLATFORMTHEME="
  TIMEOUT 120)

# The window's look: colours and contrast on every style, light and dark,
# captions at 96 and at 144 dpi (the layout growing with the fonts, or Qt
# scaling it all), its icon and its accessible description.
add_executable(form2_look_test ${CMAKE_CURRENT_SOURCE_DIR}/window/qt/form2_look_test.cpp)
target_include_directories(form2_look_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(form2_look_test PRIVATE zerova_window_qt Qt6::Test)
set_target_properties(form2_look_test PROPERTIES AUTOMOC ON)
function(add_look_test name dpi scaling)
  add_test(NAME ${name} COMMAND form2_look_test)
  set_tests_properties(${name} PROPERTIES TIMEOUT 60 ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;QT_QPA_PLATFORMTHEME=;QT_FONT_DPI=${dpi};QT_ENABLE_HIGHDPI_SCALING=${scaling}")
endfunction()
add_look_test(form2_look_test_96dpi 96 0)
add_look_test(form2_look_test_144dpi 144 0)  # a larger font dpi on an unscaled screen
add_look_test(form2_look_test_144dpi_scaled 144 1)  # Qt scales the whole window instead

# zerova with no file and no display to open the window on.
add_test(NAME window_no_display
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/window/qt/no_display.sh $<TARGET_FILE:zerova>)
set_tests_properties(window_no_display PROPERTIES TIMEOUT 60)

# Real windows under Xvfb, driven from outside with xdotool: from Select to the
# document, a file given at the start converted with Enter, and a long
# conversion that stays responsive until it is stopped. Skips (status 77) where
# xvfb-run or xdotool is missing.
add_test(NAME drive_window
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/window/qt/drive_window.sh
    $<TARGET_FILE:zerova> ${CMAKE_CURRENT_SOURCE_DIR}/data/basic)
set_tests_properties(drive_window PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
