#version 450
// Skinned characters: up to four bone influences per vertex from the actor's storage record,
// which the draw selects through its first instance.
#extension GL_GOOGLE_include_directive : require

#include "Camera.glsl"
#include "VertexInputs.glsl"
#define SURFACE_IO out
#include "SurfaceVaryings.glsl"

const int MaxBones = 100; // the animation system's final bone matrices per actor
const int MaxBoneInfluence = 4;

// Below this the kept weights are rounding noise, not an influence.
const float MinTotalWeight = 1e-6;

// Colour and values only: the model and normal matrices live in the storage record.
layout(set = 0, binding = 2) uniform DYN_AnimPBRShader {
    vec4 colourAndMetallic;
    vec4 values;
} object;

struct AnimStorageRecord {
    mat4 model;
    mat4 normalMatrix;
    mat4 bones[MaxBones];
};

layout(std430, set = 0, binding = 6) readonly buffer SSBO_AnimPBRShader {
    AnimStorageRecord records[];
} animated;

// Weighted blend of the vertex's bone matrices, read in place from the record (a local copy
// would move 6.4 KB per vertex). The importer drops a fifth influence without renormalising,
// so divide by the weights actually kept; a vertex without influences stays in bind pose.
mat4 SkinMatrix(int record)
{
    mat4 skin = mat4(0.0);
    float total = 0.0;
    for (int i = 0; i < MaxBoneInfluence; ++i) {
        int id = inBoneIds[i];
        if (id < 0 || id >= MaxBones)
            continue;
        skin += animated.records[record].bones[id] * inWeights[i];
        total += inWeights[i];
    }
    return total > MinTotalWeight ? skin / total : mat4(1.0);
}

void main()
{
    int record = gl_InstanceIndex; // the draw's first instance is the actor's storage index
    mat4 skin = SkinMatrix(record);
    mat4 model = animated.records[record].model;
    mat3 normalMatrix = mat3(animated.records[record].normalMatrix);
    vec4 world = model * (skin * vec4(inPosition, 1.0));

    worldPosition = world.xyz;
    worldNormal = normalMatrix * (mat3(skin) * inNormal);
    worldTangent = mat3(model) * (mat3(skin) * inTangent);
    texCoords = inTexCoords;
    colourAndMetallic = object.colourAndMetallic;
    materialValues = object.values;
    cameraPosition = CameraPosition();
    gl_Position = ToVulkanDepth(camera.projection * camera.view * world);
}
