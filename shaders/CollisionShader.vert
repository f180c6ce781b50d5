#version 450
// Collision volumes as wireframes: the volume's model matrix comes with the draw.
#extension GL_GOOGLE_include_directive : require

#include "Camera.glsl"

layout(location = 0) in vec3 inPosition;

// 128 bytes, vertex and fragment: one layout shared by both stages.
layout(push_constant) uniform PushConstants {
    mat4 model;
    vec4 colour;
    vec4 padding[3];
} push;

void main()
{
    gl_Position = ToVulkanDepth(camera.projection * camera.view * push.model * vec4(inPosition, 1.0));
}
