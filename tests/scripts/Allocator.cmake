# The game's global allocation operator in a test binary of its own: linked into the shared
# binary, it would replace the standard operator under every other test.
add_executable(zorbulon_allocator_tests ${CMAKE_SOURCE_DIR}/tests/allocator/GlobalAllocatorTest.cpp)
target_link_libraries(zorbulon_allocator_tests PRIVATE zorbulon_allocator GTest::gtest GTest::gtest_main)
zorbulon_warnings(zorbulon_allocator_tests)
gtest_discover_tests(zorbulon_allocator_tests
  DISCOVERY_TIMEOUT 60
  PROPERTIES TIMEOUT 60)
