# A game controller plays the real game (launcher, game window, restart) on a real X server with
# lavapipe and validation on, through the renderer frame tests' runner.
add_executable(zorbulon_gamepad_e2e_tests ${CMAKE_SOURCE_DIR}/tests/render/GamepadEndToEndTest.cpp)
target_include_directories(zorbulon_gamepad_e2e_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(zorbulon_gamepad_e2e_tests PRIVATE zorbulon_game zorbulon_engine GTest::gtest)
if(TARGET zorbulon_pack)
  add_dependencies(zorbulon_gamepad_e2e_tests zorbulon_pack)
endif()
zorbulon_warnings(zorbulon_gamepad_e2e_tests)
add_test(NAME GamepadEndToEnd
  COMMAND ${CMAKE_SOURCE_DIR}/tests/render/run_renderer_frames.sh $<TARGET_FILE:zorbulon_gamepad_e2e_tests>
          ${ZORBULON_RUN_DIR})
set_tests_properties(GamepadEndToEnd PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
