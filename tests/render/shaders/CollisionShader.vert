#version 450
#include "Common.glsl"
#include "VertexInputs.glsl"
layout(push_constant) uniform PushConstants {
    mat4 model;
    vec4 colour;
    vec4 pad[3];
} push;
void main()
{
    gl_Position = camera.projection * camera.view * push.model * vec4(inPosition, 1.0);
}
