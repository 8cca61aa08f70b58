# GoogleTest is compiled from the sources Debian ships, with the project's own flags,
# so that the cross build and the sanitizer builds get a matching library.
set(VANTOR_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
if(WIN32)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
endif()
if(EMSCRIPTEN)
  # Node runs the tests on one thread: the wasm build has no pthreads.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
add_subdirectory(${VANTOR_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

if(CMAKE_CROSSCOMPILING AND NOT EMSCRIPTEN)
  # ctest runs the .exe test binaries through Wine, in the build tree's private prefix.
  set(VANTOR_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix for the tests")
  set(VANTOR_NATIVE_BUILD_DIR ${CMAKE_BINARY_DIR}/../native CACHE PATH "native build tree")
  set(VANTOR_PTY_SHIM ${VANTOR_NATIVE_BUILD_DIR}/tools/wine-pty-shim/libvantor_pty_shim.so)
  configure_file(${PROJECT_SOURCE_DIR}/tools/wine/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
endif()

# project_test(<name> SOURCES <files...> LIBS <libs...> [LABELS <labels...>] [TIMEOUT <s>]
#              [DEPENDS <targets...>] [RUNNER <script> <args...>] [WHOLE])
# The one way a test binary joins the build, on both toolchains. Natively every case is its
# own ctest entry; under Wine each binary runs as one entry (named <name>.exe), since every
# Wine start costs close to a second, judged by GoogleTest's summary because a crash under
# Wine can end with exit code 0. RUNNER names a script (run with bash) that prepares what the
# binary needs (ports, devices) and runs it; it gets the runner's arguments, then the Wine
# launcher and the binary, then the arguments for GoogleTest. WHOLE makes the binary one
# entry natively too: a suite whose run reports on itself as a whole (the behaviour suite's
# skip counts per port).
function(project_test name)
  cmake_parse_arguments(T "WHOLE" "TIMEOUT" "SOURCES;LIBS;LABELS;DEPENDS;RUNNER" ${ARGN})
  if(NOT T_SOURCES)
    message(FATAL_ERROR "project_test(${name}): no SOURCES")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${name} ${T_SOURCES})
  project_target(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  if(T_DEPENDS)
    add_dependencies(${name} ${T_DEPENDS})
  endif()
  if(EMSCRIPTEN)
    # One file with the module inside: Node 20's fetch cannot load a wasm beside it. One
    # entry per binary, judged by GoogleTest's summary as under Wine.
    target_link_options(${name} PRIVATE -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1)
    add_test(NAME ${name}.wasm COMMAND node $<TARGET_FILE:${name}> --gtest_brief=1)
    set_tests_properties(${name}.wasm PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "wasm;${T_LABELS}"
                         PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]"
                         FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
  elseif(CMAKE_CROSSCOMPILING)
    if(T_RUNNER)
      list(POP_FRONT T_RUNNER script)
      set(command bash ${script} ${T_RUNNER} ${CMAKE_BINARY_DIR}/wine-run $<TARGET_FILE:${name}>)
    else()
      set(command ${name})
    endif()
    add_test(NAME ${name}.exe COMMAND ${command} --gtest_brief=1)
    set_tests_properties(${name}.exe PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "windows;${T_LABELS}"
                         PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]"
                         FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\];Unhandled exception")
  else()
    if(T_RUNNER)
      message(FATAL_ERROR "project_test(${name}): RUNNER is for the Windows tests under Wine")
    endif()
    if(T_WHOLE)
      add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
      set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "native;${T_LABELS}")
      return()
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "native;${T_LABELS}")
  endif()
endfunction()

# project_script_test(<name> COMMAND <command...> [LABELS <labels...>] [TIMEOUT <s>])
# A test that is a script or a program of its own rather than a GoogleTest binary (the
# end-to-end runs, the fuzz corpus replay). It passes on exit status 0. Name the programs it
# runs with $<TARGET_FILE:...>, so that a missing one fails the configure step.
function(project_script_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "COMMAND;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${T_COMMAND})
  if(WIN32)
    set(platform windows)
  else()
    set(platform native)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${platform};${T_LABELS}")
endfunction()
