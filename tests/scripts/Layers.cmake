# The engine's layers: no include points upward, and the check catches one that does.
add_test(NAME Layers.no_include_points_upward COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-layers.sh ${CMAKE_SOURCE_DIR})
add_test(NAME Layers.check_names_a_planted_upward_include
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/layers/planted_include_test.sh)
