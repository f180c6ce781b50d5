// Texture coordinates for a meshed design: each triangle goes to the chart of the primitive
// nearest to it and is unwrapped cylindrically around that chart's axis (not mirrored: u runs
// right and v down as seen from outside). Triangles that would land on texels already used (folds,
// curled fingers, collars) form planar islands of their own instead, so no two places on the model
// share a texel; all islands are then packed into one square texture.
#pragma once

#include "tools/models/CharacterDesign.h"
#include "tools/models/ModelMesh.h"

struct AtlasLayout {
    std::vector<int> triangleChart;   // per triangle of the unwrapped mesh: its island
    std::vector<float> texelsPerUnit; // per island: texels per model unit
    std::vector<glm::vec4> rects;     // per island: x, y, width, height in texels
    int size = 0;
};

class UvAtlas {
public:
    // Returns the mesh with UVs, its vertices split where neighbouring triangles disagree.
    static ModelMesh Unwrap(const CharacterDesign& design, const ModelMesh& mesh, int size, AtlasLayout& layout);
};
