# One helper registers every GoogleTest suite with the same environment, so a
# new suite is one call: vetra_add_test(NAME SOURCES a.cpp b.cpp LIBS vetra_data)
find_package(GTest REQUIRED)
include(GoogleTest)

set(VETRA_TEST_ENV
  "QT_QPA_PLATFORM=offscreen"
  "TZ=Europe/Berlin"
  "LC_ALL=C.UTF-8"
  "VETRADESK_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
  "VETRADESK_BINARY_DIR=${PROJECT_BINARY_DIR}")

function(vetra_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} vetra_testsupport GTest::gmock)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "${VETRA_TEST_ENV}")
endfunction()
