// An indexed triangle mesh in the game's conventions (right-handed, +Y up, counter-clockwise
// from outside, UV origin at the image's top-left), as the generators build it.
#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <vector>

struct ModelMesh {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> uvs;
    std::vector<glm::uvec3> triangles;

    uint32_t AddVertex(const glm::vec3& p, const glm::vec3& n, const glm::vec2& uv)
    {
        positions.push_back(p);
        normals.push_back(n);
        uvs.push_back(uv);
        return static_cast<uint32_t>(positions.size() - 1);
    }
    void AddTriangle(uint32_t a, uint32_t b, uint32_t c) { triangles.push_back({a, b, c}); }
    // a, b, c, d counter-clockwise from the front.
    void AddQuad(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
    {
        AddTriangle(a, b, c);
        AddTriangle(a, c, d);
    }
};
