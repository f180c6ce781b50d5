// Turns a design's signed distance shape into a closed triangle mesh within its triangle budget:
// surface nets on a fine grid, simplification, then every vertex put back on the true surface
// with the field's own (smooth) normal.
#pragma once

#include "tools/models/CharacterDesign.h"
#include "tools/models/ModelMesh.h"

class ShapeMesher {
public:
    static ModelMesh Mesh(const CharacterDesign& design);
};
