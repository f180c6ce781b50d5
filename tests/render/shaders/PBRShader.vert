#version 450
#include "Common.glsl"
#include "VertexInputs.glsl"
layout(set = 0, binding = 2) uniform DYN_PBRShader {
    mat4 model;
    mat4 normalMatrix;
    vec4 colourAndMetallic;
    vec4 values;
} object;
layout(location = 0) out vec3 worldPosition;
layout(location = 1) out vec3 normal;
layout(location = 2) out vec2 uv;
layout(location = 3) out vec3 colour;
void main()
{
    vec4 world = object.model * vec4(inPosition, 1.0);
    worldPosition = world.xyz;
    normal = mat3(object.normalMatrix) * inNormal;
    uv = inTexCoords;
    colour = object.colourAndMetallic.rgb;
    gl_Position = camera.projection * camera.view * world;
}
