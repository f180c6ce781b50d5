#version 450
#include "Common.glsl"
#include "VertexInputs.glsl"
layout(set = 0, binding = 2) uniform DYN_BaseShader {
    mat4 model;
    mat4 normalMatrix;
} object;
layout(location = 0) out vec2 uv;
void main()
{
    uv = inTexCoords;
    gl_Position = camera.projection * camera.view * object.model * vec4(inPosition, 1.0);
}
