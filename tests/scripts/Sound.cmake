# Sound tests that need a process of their own: they drive real OpenAL devices (whose driver is
# chosen from the environment once per process) and count every allocation with the game's own
# allocation operator. tests/sound/ builds one GoogleTest binary; the probe is the child it runs
# under OpenAL's wave-file and missing drivers.
add_executable(zorbulon_sound_probe ${CMAKE_CURRENT_SOURCE_DIR}/sound/probe/SoundProbe.cpp)
target_include_directories(zorbulon_sound_probe PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zorbulon_sound_probe PRIVATE zorbulon_game zorbulon_engine)
zorbulon_warnings(zorbulon_sound_probe)

file(GLOB sound_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/sound/*.cpp)
add_executable(zorbulon_sound_tests ${sound_test_sources})
target_include_directories(zorbulon_sound_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zorbulon_sound_tests PRIVATE zorbulon_allocator zorbulon_game zorbulon_engine zorbulon_packwriter GTest::gtest)
target_compile_definitions(zorbulon_sound_tests PRIVATE
  ZORBULON_SOUND_PROBE="$<TARGET_FILE:zorbulon_sound_probe>"
  ZORBULON_RUN_DIR="${ZORBULON_RUN_DIR}")
add_dependencies(zorbulon_sound_tests zorbulon_sound_probe)
zorbulon_warnings(zorbulon_sound_tests)
gtest_discover_tests(zorbulon_sound_tests
  WORKING_DIRECTORY ${ZORBULON_RUN_DIR}
  DISCOVERY_TIMEOUT 120
  PROPERTIES TIMEOUT 120)
