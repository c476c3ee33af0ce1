# The window's start-up and timer handlers, driven directly over fake
# controls: no toolkit.
orv_add_test(test_monitor_handlers
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/handlers_test.cpp
  LIBS orv_monitor)

# The same window over the real kernel, inside namespaces the test makes.
if(TARGET orv_test_probe)
  orv_add_test(test_monitor_live
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/live_test.cpp
    LIBS orv_toolkit_qt orv_test_probe
    QT
    LABELS live)
endif()
