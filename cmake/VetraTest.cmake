# One helper registers every GoogleTest suite with the same environment, so a
# new suite is one call: vetra_add_test(NAME SOURCES a.cpp b.cpp LIBS vetra_data)
find_package(GTest REQUIRED)
include(GoogleTest)

# The time zone, locale and private folders are set by the shared test main()
# (tests/support/testmain.cpp), so a suite behaves the same under ctest and
# when started by hand.

# GUI suites (vetra_add_test(NAME GUI ...)) get a QApplication main and the
# scripted message service instead.
function(vetra_add_test name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_GUI)
    target_link_libraries(${name} PRIVATE ${T_LIBS} vetra_guitestsupport GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} vetra_testsupport GTest::gmock)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
