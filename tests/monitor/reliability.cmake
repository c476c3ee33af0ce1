# The window under abuse: damaged stored settings, a long run of fast
# ticks, and links coming and going under the running program.
orv_add_test(test_monitor_settings
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_test.cpp
  LIBS orv_monitor
  QT)
