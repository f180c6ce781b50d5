// A skeleton bone of a model: its node name, id (order of first appearance) and offset matrix.
#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <string>

struct BoneInfo {
    std::string name;
    int32_t id = 0;
    glm::mat4 offset{1.0f}; // column-major (the file stores it row-major)
};
