# Frames of the game's scene through the real Vulkan renderer: a GoogleTest program run by a
# script that provides Xvfb, lavapipe and the validation layer (tests/render/run_renderer_frames.sh).
add_executable(zorbulon_render_tests ${CMAKE_SOURCE_DIR}/tests/render/RendererFrameTest.cpp)
target_include_directories(zorbulon_render_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(zorbulon_render_tests PRIVATE zorbulon_game zorbulon_engine GTest::gtest)
if(TARGET zorbulon_pack)
  add_dependencies(zorbulon_render_tests zorbulon_pack)
endif()
zorbulon_warnings(zorbulon_render_tests)
add_test(NAME RendererFrames
  COMMAND ${CMAKE_SOURCE_DIR}/tests/render/run_renderer_frames.sh $<TARGET_FILE:zorbulon_render_tests> ${ZORBULON_RUN_DIR})
set_tests_properties(RendererFrames PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
