// One node of a clip's node tree, linked to a model bone by id (or -1).
#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <vector>

struct NodeData {
    glm::mat4 transformation{1.0f}; // bind transformation, column-major
    int32_t boneId = -1;
    int32_t childrenCount = 0;
    std::vector<NodeData> children;
};
