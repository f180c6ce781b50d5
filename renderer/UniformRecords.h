// Records the renderer writes into the shaders' blocks and push constants, byte for byte. The
// shader tests compare these sizes and offsets with what reflection reads from the SPIR-V.
#pragma once

#include "renderer/PointLightList.h"
#include "scene/components/Animation.h"
#include "scene/components/MaterialComponent.h"

#include <glm/glm.hpp>

#include <cstddef>
#include <cstdint>

// "CameraBuffer": one per frame.
struct CameraRecord {
    glm::mat4 view{1.0f};
    glm::mat4 projection{1.0f};
    float mipBias = 0.0f; // log2 of the render scale, added to every material texture's level
    float pad[3] = {};
};
static_assert(sizeof(CameraRecord) == 144);

// "DYN_BaseShader": one per actor, at a dynamic offset.
struct BaseRecord {
    glm::mat4 model{1.0f};
    glm::mat4 normalMatrix{1.0f}; // transpose of the inverse of model
};
static_assert(sizeof(BaseRecord) == 128);

// "DYN_PBRShader" and "DYN_BillBoardPBRShader": the actor's matrices and its seven floats, with
// f3 (metallic) repeated so that values is (metallic, roughness, occlusion, opacity).
struct PbrRecord {
    glm::mat4 model{1.0f};
    glm::mat4 normalMatrix{1.0f};
    glm::vec4 colourAndMetallic{0.0f}; // f0, f1, f2, f3
    glm::vec4 values{0.0f};            // f3, f4, f5, f6
};
static_assert(sizeof(PbrRecord) == 160);
static_assert(offsetof(PbrRecord, colourAndMetallic) == 128 && offsetof(PbrRecord, values) == 144);

// "DYN_AnimPBRShader": colour and values only; the matrices travel in the storage record.
struct AnimRecord {
    glm::vec4 colourAndMetallic{0.0f};
    glm::vec4 values{0.0f};
};
static_assert(sizeof(AnimRecord) == 32);

// "SSBO_AnimPBRShader": one per animated actor, found by the draw's first instance.
struct AnimStorageRecord {
    glm::mat4 model{1.0f};
    glm::mat4 normalMatrix{1.0f};
    glm::mat4 bones[MaxBones];
};
static_assert(sizeof(AnimStorageRecord) == 6528);
static_assert(offsetof(AnimStorageRecord, bones) == 128);

// Push constants of the default pipelines (fragment stage): the colour, then the material's
// slots widened to int, -1 for an empty one, then the point lights the draw loops over (all of
// them unless the frame limits them to those that reach it).
struct PushConstantRecord {
    glm::vec4 colour{0.0f};
    int32_t textureIndices[MaxMaterialTextures] = {-1, -1, -1, -1, -1, -1, -1, -1};
    PointLightList pointLights = PointLightList::All();
};
static_assert(sizeof(PushConstantRecord) == 64);
static_assert(offsetof(PushConstantRecord, textureIndices) == 16);
static_assert(offsetof(PushConstantRecord, pointLights) == 48);

// Push constants of the collision wireframe pipeline (vertex and fragment stages).
struct CollisionPushRecord {
    glm::mat4 model{1.0f};
    glm::vec4 colour{0.0f};
    glm::vec4 padding[3] = {};
};
static_assert(sizeof(CollisionPushRecord) == 128);
