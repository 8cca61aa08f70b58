# Discovery through the real Setup API under Wine. The wrapper script registers Ports-class
# devices in a prefix of its own (so that ports other suites register cannot disturb the
# exact lists), maps free ptys as COM ports, runs the checks, removes the devices and
# checks again; the ctest entry keeps the .exe name so that its run is visible.
add_executable(discovery_win32_tests
  ${CMAKE_CURRENT_LIST_DIR}/available_ports_win32_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/device_notice_win32_test.cpp)
project_target(discovery_win32_tests)
target_link_libraries(discovery_win32_tests PRIVATE discovery GTest::gtest_main)
if(TARGET framework_win32)
  target_link_libraries(discovery_win32_tests PRIVATE framework_win32)
  target_compile_definitions(discovery_win32_tests PRIVATE HAVE_FRAMEWORK_WIN32=1)
endif()
if(TARGET serial)
  target_link_libraries(discovery_win32_tests PRIVATE serial)
  target_compile_definitions(discovery_win32_tests PRIVATE HAVE_SIO_COMM=1)
endif()
add_dependencies(discovery_win32_tests register-port broadcast-device)

add_test(NAME discovery_win32_tests.exe
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_discovery_win32_tests.sh
                 ${CMAKE_BINARY_DIR}/wine-run
                 $<TARGET_FILE:discovery_win32_tests>
                 $<TARGET_FILE:register-port>
                 $<TARGET_FILE:broadcast-device>
                 ${VANTOR_NATIVE_BUILD_DIR}/tools/wine-devices/pty-holder
                 ${CMAKE_BINARY_DIR}/discovery-wineprefix)
set_tests_properties(discovery_win32_tests.exe PROPERTIES TIMEOUT 300 LABELS "windows")
