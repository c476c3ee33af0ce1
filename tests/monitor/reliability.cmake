# The window under abuse: damaged stored settings, a long run of fast
# ticks, and links coming and going under the running program.
orv_add_test(test_monitor_settings
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_test.cpp
  LIBS orv_app_qt
  QT)

orv_add_test(test_monitor_soak
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/soak_test.cpp
  LIBS orv_app_qt
  QT)

# Links coming and going under the running probe, in a namespace the test
# makes.
if(TARGET orv_test_probe)
  orv_add_test(test_monitor_churn
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/churn_test.cpp
    LIBS orv_test_probe
    QT
    LABELS live)
endif()
