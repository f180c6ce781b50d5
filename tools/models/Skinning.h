// Bone weights from the shape itself: every primitive near a vertex (within its reach past the
// nearest one) lends its bone a weight, limited to bones along the dominant bone's own chain so
// that touching limbs (thighs, fingers) stay independent; the four strongest are kept, normalised.
#pragma once

#include "tools/models/CharacterDesign.h"
#include "tools/models/ModelMesh.h"

#include <array>

struct VertexSkin {
    std::array<int, 4> bones{-1, -1, -1, -1};
    std::array<float, 4> weights{0, 0, 0, 0};
};

class Skinning {
public:
    // Throws when a bone of the skeleton ends up without any weight (its id would shift on import).
    static std::vector<VertexSkin> Compute(const CharacterDesign& design, const ModelMesh& mesh);
};
