# End to end: the real executable under Xvfb with lavapipe and validation on, driven with xdotool.
find_package(X11 REQUIRED)
add_executable(zorbulon_xclose ${CMAKE_SOURCE_DIR}/tests/e2e/XCloseWindow.cpp)
target_link_libraries(zorbulon_xclose PRIVATE X11::X11)
set_target_properties(zorbulon_xclose PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

if(TARGET zorbulon)
  add_test(NAME GameEndToEnd
    COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/game_e2e.sh $<TARGET_FILE:zorbulon> $<TARGET_FILE:zorbulon_xclose>
            ${CMAKE_BINARY_DIR}/e2e)
  # It drives real windows and renders on the CPU: give it the machine and time.
  set_tests_properties(GameEndToEnd PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)
endif()

if(TARGET zorbulon)
  add_test(NAME GameWithoutPack
    COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/game_missing_pack_e2e.sh $<TARGET_FILE:zorbulon> ${CMAKE_BINARY_DIR}/e2e-missing-pack)
  set_tests_properties(GameWithoutPack PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endif()
