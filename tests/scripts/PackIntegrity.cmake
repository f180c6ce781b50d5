# Damage to the pack: every asset of the real pack damaged three ways, each run through the game's
# start in a child process over a renderer without a GPU; and one damaged shader through the real
# executable under Xvfb with lavapipe.
add_executable(zorbulon_game_start_probe ${CMAKE_CURRENT_SOURCE_DIR}/pack/probe/GameStartProbe.cpp)
target_include_directories(zorbulon_game_start_probe PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zorbulon_game_start_probe PRIVATE zorbulon_game zorbulon_engine)
zorbulon_warnings(zorbulon_game_start_probe)

add_executable(zorbulon_pack_damage_tests ${CMAKE_CURRENT_SOURCE_DIR}/pack/PackDamageTest.cpp)
target_include_directories(zorbulon_pack_damage_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zorbulon_pack_damage_tests PRIVATE GTest::gtest GTest::gtest_main)
target_compile_definitions(zorbulon_pack_damage_tests PRIVATE
  ZORBULON_GAME_START_PROBE="$<TARGET_FILE:zorbulon_game_start_probe>"
  ZORBULON_RUN_DIR="${ZORBULON_RUN_DIR}")
add_dependencies(zorbulon_pack_damage_tests zorbulon_game_start_probe)
if(TARGET zorbulon_pack)
  add_dependencies(zorbulon_pack_damage_tests zorbulon_pack)
endif()
zorbulon_warnings(zorbulon_pack_damage_tests)
gtest_discover_tests(zorbulon_pack_damage_tests
  WORKING_DIRECTORY ${ZORBULON_RUN_DIR}
  DISCOVERY_TIMEOUT 120
  PROPERTIES TIMEOUT 300)

if(TARGET zorbulon)
  add_test(NAME GameEndToEnd.damaged_pack
    COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/game_damaged_pack_e2e.sh $<TARGET_FILE:zorbulon> ${ZORBULON_RUN_DIR}
            ${CMAKE_BINARY_DIR}/e2e/damaged_pack)
  set_tests_properties(GameEndToEnd.damaged_pack PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endif()
