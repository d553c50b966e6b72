# The committed pictures: formats, sizes and compression as the windows expect them.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME assets.formats
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/check_assets.py ${PROJECT_SOURCE_DIR}/assets)
set_tests_properties(assets.formats PROPERTIES LABELS unit TIMEOUT 60)
