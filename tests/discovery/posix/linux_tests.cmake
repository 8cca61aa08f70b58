# The Linux source over fabricated sysfs trees with real ptys behind them, and the device
# monitor (translation, and the thread path to a hook on the headless application).
project_test(discovery_linux_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/fake_sysfs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sysfs_source_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tty_event_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/device_monitor_test.cpp
  LIBS discovery discovery_monitor framework_headless)
