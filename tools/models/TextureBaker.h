// Paints a design's textures through its UV layout: each texel inside a triangle becomes a point
// on the model, a painter decides its colour, height and shininess there, and the height becomes
// a tangent-space normal map (green along +v, down the image, as the shaders read it). Empty texels around
// the charts are grown from their neighbours so filtering never reaches into blank space.
#pragma once

#include "tools/models/CharacterDesign.h"
#include "tools/models/ModelMesh.h"
#include "tools/models/UvAtlas.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct SurfacePoint {
    glm::vec3 position; // bind pose, model units
    glm::vec3 normal;
    int material = 0;
    int primitive = 0;      // index of the nearest primitive
    float axis = 0.0f;      // its axis parameter (capsules)
    glm::vec2 chart{0.0f};  // position in the chart, model units (u around, v along the axis, downwards)
    float occlusion = 1.0f; // 1 = open
};

struct Paint {
    glm::vec3 colour{0.5f}; // sRGB, 0..1
    float height = 0.0f;    // model units, outwards
    float gloss = 0.3f;     // 0..1, for the specular map
};

struct BakedMaps {
    int size = 0;
    std::vector<uint8_t> colour; // RGB
    std::vector<uint8_t> normal; // RGB, tangent space
    std::vector<uint8_t> gloss;  // grey
};

class TextureBaker {
public:
    using Painter = std::function<Paint(const SurfacePoint&)>;

    // `occlusionReach`: how far (model units) creases darken the colour.
    static BakedMaps Bake(const CharacterDesign& design, const ModelMesh& mesh, const AtlasLayout& layout,
                          const Painter& painter, float occlusionReach);
    // Throws std::runtime_error when a file cannot be written.
    static void WritePng(const std::string& path, int size, int channels, const std::vector<uint8_t>& pixels);
};
