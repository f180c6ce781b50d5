#version 450
// Blended actors (grass tufts, the burning puddle, bubble spray): the lit surface plus the
// object-space position, which shapes the puddle's pool and pins its flames to it.
#extension GL_GOOGLE_include_directive : require

#include "Camera.glsl"
#include "VertexInputs.glsl"
#define SURFACE_IO out
#include "SurfaceVaryings.glsl"

layout(location = 7) out vec3 objectPosition;

layout(set = 0, binding = 2) uniform DYN_BillBoardPBRShader {
    mat4 model;
    mat4 normalMatrix;
    vec4 colourAndMetallic;
    vec4 values;
} object;

void main()
{
    vec4 world = object.model * vec4(inPosition, 1.0);
    worldPosition = world.xyz;
    worldNormal = mat3(object.normalMatrix) * inNormal;
    worldTangent = mat3(object.model) * inTangent;
    texCoords = inTexCoords;
    colourAndMetallic = object.colourAndMetallic;
    materialValues = object.values;
    cameraPosition = CameraPosition();
    objectPosition = inPosition;
    gl_Position = ToVulkanDepth(camera.projection * camera.view * world);
}
