// The records the renderer writes into the shaders' blocks each frame, laid out byte for byte as
// the shader contract declares them (std140/std430 without padding surprises: mat4 and vec4 only).
#pragma once

#include "scene/components/Animation.h"

#include <glm/glm.hpp>

#include <cstdint>

struct CameraRecord {
    glm::mat4 view;
    glm::mat4 projection;
};
static_assert(sizeof(CameraRecord) == 128);

// DYN_BaseShader.
struct BaseObjectRecord {
    glm::mat4 model;
    glm::mat4 normalMatrix;
};
static_assert(sizeof(BaseObjectRecord) == 128);

// DYN_PBRShader and DYN_BillBoardPBRShader: colourAndMetallic = (f0, f1, f2, f3),
// values = (f3, f4, f5, f6) = (metallic, roughness, ambient occlusion, opacity).
struct PbrObjectRecord {
    glm::mat4 model;
    glm::mat4 normalMatrix;
    glm::vec4 colourAndMetallic;
    glm::vec4 values;
};
static_assert(sizeof(PbrObjectRecord) == 160);

// DYN_AnimPBRShader: the matrices come from the storage record.
struct AnimObjectRecord {
    glm::vec4 colourAndMetallic;
    glm::vec4 values;
};
static_assert(sizeof(AnimObjectRecord) == 32);

// SSBO_AnimPBRShader, one per animated actor, found through gl_InstanceIndex.
struct AnimStorageRecord {
    glm::mat4 model;
    glm::mat4 normalMatrix;
    glm::mat4 bones[MaxBones];
};
static_assert(sizeof(AnimStorageRecord) == 6528);

// Push constants of the default pipeline kind: an actor's colour, or its material's texture
// indices into the texture array (-1 = empty slot).
struct MaterialPushConstants {
    glm::vec4 colour;
    int32_t textureIndices[8];
};
static_assert(sizeof(MaterialPushConstants) == 48);
