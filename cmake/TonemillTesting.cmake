find_package(GTest REQUIRED)
include(GoogleTest)

# tonemill_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One GoogleTest executable per subsystem, registered with CTest case by case.
function(tonemill_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tonemill_warnings GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TONEMILL_BUILD_DIR="${CMAKE_BINARY_DIR}"
    TONEMILL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TONEMILL_BUNDLE_DIR="${TONEMILL_BUNDLE_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
