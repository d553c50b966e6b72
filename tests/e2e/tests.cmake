# End-to-end tests: Salvanto2002.scr under Wine on private Xvfb displays,
# driven by tests/e2e/harness.py. Each test_*.py is one CTest test (label
# e2e); the first of them waits for the Wine prefix template, made once per
# build folder by the fixture below.
find_package(Python3 COMPONENTS Interpreter)
if(NOT Python3_Interpreter_FOUND)
  message(WARNING "Python 3 not found: the end-to-end tests are not registered")
  return()
endif()

set(SALVANTO_WIN_BUILD_DIR "${PROJECT_SOURCE_DIR}/build/windows" CACHE PATH
    "Folder with Salvanto2002.scr and inspector.exe (the windows preset's build folder)")

set(_e2e_dir "${CMAKE_CURRENT_LIST_DIR}")
set(_e2e_env
    "SALVANTO_WIN_BUILD=${SALVANTO_WIN_BUILD_DIR}"
    "SALVANTO_E2E_TEMPLATE=${CMAKE_BINARY_DIR}/e2e-prefix-template"
    "SALVANTO_E2E_OUT=${CMAKE_BINARY_DIR}/e2e-screenshots"
    "PYTHONDONTWRITEBYTECODE=1"
    "PYTHONUNBUFFERED=1")

add_test(NAME e2e_prefix_template COMMAND ${Python3_EXECUTABLE} ${_e2e_dir}/harness.py template)
set_tests_properties(e2e_prefix_template PROPERTIES
  FIXTURES_SETUP e2e_prefix LABELS e2e TIMEOUT 300 ENVIRONMENT "${_e2e_env}")

file(GLOB _e2e_tests CONFIGURE_DEPENDS ${_e2e_dir}/test_*.py)
foreach(_test ${_e2e_tests})
  get_filename_component(_name ${_test} NAME_WE)
  add_test(NAME e2e_${_name} COMMAND ${Python3_EXECUTABLE} ${_test})
  set_tests_properties(e2e_${_name} PROPERTIES
    FIXTURES_REQUIRED e2e_prefix LABELS e2e TIMEOUT 240 ENVIRONMENT "${_e2e_env}")
endforeach()
# The soak's 3,000 ticks run as fast as the machine lets them, so its own
# wait is for progress (a sample at least every two minutes), and CTest's
# timeout only stops what that wait cannot. The longest test starts first
# when CTest has no timings yet.
set_tests_properties(e2e_test_soak PROPERTIES TIMEOUT 1800 COST 300)
# The release test builds the release a second time in another folder, at
# the lowest priority, on what the other tests leave of the cores: the other
# long test, started early beside the soak.
set_tests_properties(e2e_test_release PROPERTIES TIMEOUT 1800 COST 200)
# The tests that wait longest on the show's ticks start next.
set_tests_properties(e2e_test_photo_cycle PROPERTIES COST 150)
set_tests_properties(e2e_test_activity PROPERTIES COST 100)
