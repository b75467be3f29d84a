# The window, zerova-window: Qt 6 Widgets, in an executable of its own so that
# `zerova FILE` never loads Qt. `zerova` with no argument starts it.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

add_library(zerova_window_ui STATIC
  ${CMAKE_SOURCE_DIR}/src/ui/accessible_window.cpp
  ${CMAKE_SOURCE_DIR}/src/ui/common_dialog.cpp
  ${CMAKE_SOURCE_DIR}/src/ui/failure_message.cpp
  ${CMAKE_SOURCE_DIR}/src/ui/form2.cpp
  ${CMAKE_SOURCE_DIR}/src/ui/form2_layout.cpp
  ${CMAKE_SOURCE_DIR}/src/ui/marshalled_hooks.cpp
  ${CMAKE_SOURCE_DIR}/src/ui/message_boxes.cpp
  ${CMAKE_SOURCE_DIR}/src/ui/password_dialog.cpp
  ${CMAKE_SOURCE_DIR}/src/ui/common_dialog.h
  ${CMAKE_SOURCE_DIR}/src/ui/form2.h
  ${CMAKE_SOURCE_DIR}/src/ui/marshalled_hooks.h
  ${CMAKE_SOURCE_DIR}/src/ui/password_dialog.h)
target_link_libraries(zerova_window_ui PUBLIC zerova_core Qt6::Widgets)
set_target_properties(zerova_window_ui PROPERTIES AUTOMOC ON)
# The program's icon, built in (":/icons/zerova.svg") for when the desktop's
# theme has none; drawn by Qt's SVG icon engine (Debian's libqt6svg6).
qt_add_resources(zerova_window_ui zerova_icons
  PREFIX /icons
  BASE ${CMAKE_SOURCE_DIR}/share/icons/hicolor/scalable/apps
  FILES ${CMAKE_SOURCE_DIR}/share/icons/hicolor/scalable/apps/zerova.svg)

add_executable(zerova-window ${CMAKE_SOURCE_DIR}/src/ui/window_main.cpp)
target_link_libraries(zerova-window PRIVATE zerova_window_ui)
# `zerova` looks for the window beside itself, so build it whenever zerova is built.
add_dependencies(zerova zerova-window)

install(TARGETS zerova-window RUNTIME DESTINATION ${ZEROVA_WINDOW_DESTINATION})
install(FILES ${CMAKE_SOURCE_DIR}/share/applications/zerova.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/share/icons/hicolor/scalable/apps/zerova.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# AppStream metadata, for software centres: the window is the application.
install(FILES ${CMAKE_SOURCE_DIR}/share/metainfo/io.github.zerova.zerova.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
