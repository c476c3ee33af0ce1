# The window as it is built, offscreen: controls, fonts, art, and a grab.
orv_add_test(test_monitor_layout
  SOURCES layout_test.cpp layout_screenshot_test.cpp qt_yield_test.cpp color_scheme_test.cpp
  LIBS orv_app_qt
  QT)

# Start-up measure for bench/measure-startup: the production window with a
# first-paint hook, kept out of the program itself.
add_executable(orv_startup_measure startup_measure.cpp)
target_link_libraries(orv_startup_measure PRIVATE orv_flags orv_app_qt)
