# A short fuzz run of every target belongs to the test command; the build is
# a separate clang tree (build/fuzz) made once by the fixture. Each run
# starts from the corpus under tests/fuzz/corpus/, grown by longer runs and
# merged, so a few seconds begin where those runs got to.
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fuzz_*.cpp)
set(SALVANTO_FUZZ_SECONDS 5 CACHE STRING "Seconds per fuzz target in the test command")
add_test(NAME fuzz.build COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/fuzz.sh --build)
set_tests_properties(fuzz.build PROPERTIES FIXTURES_SETUP fuzz_build LABELS fuzz TIMEOUT 900 PROCESSORS 2)
foreach(source ${FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_test(NAME fuzz.${name} COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/fuzz.sh --no-build ${name})
  set_tests_properties(fuzz.${name} PROPERTIES FIXTURES_REQUIRED fuzz_build LABELS fuzz
    ENVIRONMENT "FUZZ_SECONDS=${SALVANTO_FUZZ_SECONDS}" TIMEOUT 600)
endforeach()
