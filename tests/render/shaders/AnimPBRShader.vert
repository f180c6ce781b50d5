#version 450
#include "Common.glsl"
#include "VertexInputs.glsl"
struct AnimRecord {
    mat4 model;
    mat4 normalMatrix;
    mat4 bones[100];
};
layout(std430, set = 0, binding = 6) readonly buffer SSBO_AnimPBRShader {
    AnimRecord records[];
} animated;
layout(location = 0) out vec3 worldPosition;
layout(location = 1) out vec3 normal;
layout(location = 2) out vec2 uv;
void main()
{
    AnimRecord record = animated.records[gl_InstanceIndex];
    mat4 skin = mat4(0.0);
    float total = 0.0;
    for (int i = 0; i < 4; ++i)
        if (inBoneIds[i] >= 0 && inBoneIds[i] < 100) {
            skin += record.bones[inBoneIds[i]] * inWeights[i];
            total += inWeights[i];
        }
    if (total <= 0.0)
        skin = mat4(1.0);
    vec4 world = record.model * skin * vec4(inPosition, 1.0);
    worldPosition = world.xyz;
    normal = mat3(record.normalMatrix) * mat3(skin) * inNormal;
    uv = inTexCoords;
    gl_Position = camera.projection * camera.view * world;
}
