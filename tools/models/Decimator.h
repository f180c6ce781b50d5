// Reduces a closed triangle mesh to a triangle budget by quadric-error edge collapses, keeping it
// manifold and refusing collapses that would fold a triangle against the surface's normals.
#pragma once

#include "tools/models/ModelMesh.h"

#include <cstddef>

class Decimator {
public:
    // Uses mesh.normals (one per vertex, the surface's true normals) to judge folds; keeps them
    // with their vertices. UVs are dropped.
    static void Reduce(ModelMesh& mesh, size_t targetTriangles);
};
