// One imported mesh of a model: its own geometry copy and its draw range in the shared buffers.
#pragma once

#include "assets/Vertex.h"

#include <cstdint>
#include <string>
#include <vector>

struct SubMesh {
    std::string name;
    std::vector<Vertex> vertices;
    std::vector<uint32_t> indices; // relative to this mesh's first vertex
    int32_t baseVertex = 0;       // vertices of the model before this mesh
    uint32_t firstIndex = 0;      // indices of the model before this mesh
    uint32_t indexCount = 0;
};
