# Restart soak and failed builds over the renderer without a GPU, in a binary of its own: it counts live heap
# allocations with the program's own allocation operator, which must not replace the standard one
# under the other suites.
add_executable(zorbulon_soak_tests ${CMAKE_CURRENT_SOURCE_DIR}/soak/SceneSoakTest.cpp
                                   ${CMAKE_CURRENT_SOURCE_DIR}/soak/SteadyFrameTest.cpp
                                   ${CMAKE_CURRENT_SOURCE_DIR}/soak/SceneBuildFailureTest.cpp)
target_include_directories(zorbulon_soak_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zorbulon_soak_tests PRIVATE zorbulon_allocator zorbulon_game zorbulon_engine GTest::gtest
                      GTest::gtest_main)
if(TARGET zorbulon_pack)
  add_dependencies(zorbulon_soak_tests zorbulon_pack)
endif()
zorbulon_warnings(zorbulon_soak_tests)
gtest_discover_tests(zorbulon_soak_tests
  WORKING_DIRECTORY ${ZORBULON_RUN_DIR}
  DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 300 ENVIRONMENT "ALSOFT_DRIVERS=null")
