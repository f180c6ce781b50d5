// The one vertex record every pipeline is built for (76 bytes, six attributes on binding 0).
#pragma once

#include <glm/glm.hpp>

#include <cstddef>
#include <cstdint>

inline constexpr int MaxBoneInfluence = 4;

struct Vertex {
    glm::vec3 position{0.0f};                       // location 0
    glm::vec3 normal{0.0f};                         // location 1
    glm::vec2 texCoords{0.0f};                      // location 2
    int32_t boneIds[MaxBoneInfluence] = {-1, -1, -1, -1}; // location 3; -1 = empty slot
    float weights[MaxBoneInfluence] = {0, 0, 0, 0}; // location 4
    glm::vec3 tangent{0.0f};                        // location 5
};
static_assert(sizeof(Vertex) == 76, "Vertex must match the pipelines' 76-byte stride");
static_assert(offsetof(Vertex, normal) == 12 && offsetof(Vertex, texCoords) == 24 && offsetof(Vertex, boneIds) == 32 &&
              offsetof(Vertex, weights) == 48 && offsetof(Vertex, tangent) == 64);
