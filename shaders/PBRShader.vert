#version 450
// Static lit meshes (walls, ground, gun, bubble): world-space surface for the PBR fragment stage.
#extension GL_GOOGLE_include_directive : require

#include "Camera.glsl"
#include "VertexInputs.glsl"
#define SURFACE_IO out
#include "SurfaceVaryings.glsl"

layout(set = 0, binding = 2) uniform DYN_PBRShader {
    mat4 model;
    mat4 normalMatrix; // transpose of the inverse model: keeps normals upright under non-uniform scale
    vec4 colourAndMetallic;
    vec4 values;
} object;

void main()
{
    vec4 world = object.model * vec4(inPosition, 1.0);
    worldPosition = world.xyz;
    worldNormal = mat3(object.normalMatrix) * inNormal;
    worldTangent = mat3(object.model) * inTangent; // tangents follow the surface, not its normal
    texCoords = inTexCoords;
    colourAndMetallic = object.colourAndMetallic;
    materialValues = object.values;
    cameraPosition = CameraPosition();
    gl_Position = ToVulkanDepth(camera.projection * camera.view * world);
}
