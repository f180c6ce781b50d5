# The launcher-to-game window hand-off on a real X server (Xvfb) with lavapipe, through the same
# runner as the renderer frame tests.
add_executable(zorbulon_launcher_tests ${CMAKE_SOURCE_DIR}/tests/render/LauncherHandOffTest.cpp)
target_include_directories(zorbulon_launcher_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(zorbulon_launcher_tests PRIVATE zorbulon_engine GTest::gtest GTest::gtest_main)
zorbulon_warnings(zorbulon_launcher_tests)
add_test(NAME LauncherHandOff
  COMMAND ${CMAKE_SOURCE_DIR}/tests/render/run_renderer_frames.sh $<TARGET_FILE:zorbulon_launcher_tests> ${ZORBULON_RUN_DIR})
set_tests_properties(LauncherHandOff PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
