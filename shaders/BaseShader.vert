#version 450
// Unlit meshes (the moon, the light markers): position and texture coordinates only.
#extension GL_GOOGLE_include_directive : require

#include "Camera.glsl"
#include "VertexInputs.glsl"

layout(set = 0, binding = 2) uniform DYN_BaseShader {
    mat4 model;
    mat4 normalMatrix;
} object;

layout(location = 0) out vec2 texCoords;

void main()
{
    texCoords = inTexCoords;
    gl_Position = ToVulkanDepth(camera.projection * camera.view * object.model * vec4(inPosition, 1.0));
}
