# Test-only GLSL programs for the renderer's tests (tests/render/shaders), compiled by glslc into
# the build tree. They stand in where the pack has no shader of that name; they never go into the
# game's pack.
find_program(GLSLC glslc REQUIRED)
set(renderer_test_shader_source ${CMAKE_SOURCE_DIR}/tests/render/shaders)
set(renderer_test_shader_dir ${CMAKE_BINARY_DIR}/test-shaders)
file(MAKE_DIRECTORY ${renderer_test_shader_dir})
set(renderer_test_shader_outputs "")
foreach(program SkyBoxShader BaseShader PBRShader AnimPBRShader CollisionShader BillBoardPBRShader)
  foreach(stage vert frag)
    set(source ${renderer_test_shader_source}/${program}.${stage})
    set(output ${renderer_test_shader_dir}/${program}.${stage}.spv)
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${GLSLC} --target-env=vulkan1.0 -Werror -I ${renderer_test_shader_source}
              -MD -MF ${output}.d -MT ${output} -o ${output} ${source}
      MAIN_DEPENDENCY ${source}
      DEPFILE ${output}.d
      COMMENT "Compiling test shader ${program}.${stage}"
      VERBATIM)
    list(APPEND renderer_test_shader_outputs ${output})
  endforeach()
endforeach()
add_custom_target(zorbulon_test_shaders DEPENDS ${renderer_test_shader_outputs})
add_dependencies(zorbulon_tests zorbulon_test_shaders)
target_compile_definitions(zorbulon_tests PRIVATE ZORBULON_TEST_SHADER_DIR="${renderer_test_shader_dir}")
