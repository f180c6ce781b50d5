# End to end: the real executable under Xvfb with lavapipe and validation on, driven with xdotool.
find_package(X11 REQUIRED)
add_executable(zorbulon_xclose ${CMAKE_SOURCE_DIR}/tests/e2e/XCloseWindow.cpp)
target_link_libraries(zorbulon_xclose PRIVATE X11::X11)
set_target_properties(zorbulon_xclose PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

if(TARGET zorbulon)
  # Screenshots of each run stay in build/e2e/<run>/ for people to look at.
  # The close run plays from the installed game (tests/scripts/Install.cmake); the options run
  # below ends with a close too.
  foreach(mode play)
    add_test(NAME GameEndToEnd.${mode}
      COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/game_e2e.sh ${mode} $<TARGET_FILE:zorbulon>
              $<TARGET_FILE:zorbulon_xclose> ${CMAKE_BINARY_DIR}/e2e/${mode})
    # They drive real windows and render on the CPU: give them the machine and time.
    set_tests_properties(GameEndToEnd.${mode} PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)
  endforeach()

  add_test(NAME GameEndToEnd.options
    COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/options_e2e.sh $<TARGET_FILE:zorbulon> $<TARGET_FILE:zorbulon_xclose>
            ${CMAKE_BINARY_DIR}/e2e/options)
  set_tests_properties(GameEndToEnd.options PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE)

  add_test(NAME GameEndToEnd.without_pack
    COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/game_missing_pack_e2e.sh $<TARGET_FILE:zorbulon> ${CMAKE_BINARY_DIR}/e2e/without_pack)
  set_tests_properties(GameEndToEnd.without_pack PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE
    ENVIRONMENT "EXPECTED_MESSAGE=Zorbulon: Failed to open assets file")

  # Quick: no X server, no rendering.
  add_test(NAME GameEndToEnd.without_display
    COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/game_no_display_e2e.sh $<TARGET_FILE:zorbulon> ${CMAKE_BINARY_DIR}/e2e/without_display)
  set_tests_properties(GameEndToEnd.without_display PROPERTIES TIMEOUT 60)
endif()
