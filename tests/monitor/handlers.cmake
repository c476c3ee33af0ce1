# The window's start-up and timer handlers, driven directly.
orv_add_test(test_monitor_handlers
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/handlers_test.cpp
  LIBS orv_monitor
  QT)
