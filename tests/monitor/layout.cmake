# The window as it is built, offscreen: controls, fonts, art, and a grab.
orv_add_test(test_monitor_layout
  SOURCES layout_test.cpp layout_screenshot_test.cpp
  LIBS orv_monitor
  QT)
