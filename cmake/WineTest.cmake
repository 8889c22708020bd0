# Tests of the Windows build, run under Wine with a prefix in the build tree.
include(GoogleTest)

set(TEMBREL_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run ${TEMBREL_WINE_PREFIX})

# A GoogleTest program of the Windows build; each test case is its own CTest test.
#   tembrel_wine_test(name sources... [PROPERTIES name value...])
function(tembrel_wine_test name)
    cmake_parse_arguments(ARG "" "" "PROPERTIES" ${ARGN})
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE tembrel gtest gtest_main)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
        PROPERTIES ENVIRONMENT "TEMBREL_SOURCE_DIR=${PROJECT_SOURCE_DIR}" ${ARG_PROPERTIES})
endfunction()
