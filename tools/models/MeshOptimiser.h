// The generators' mesh clean-up, done by meshoptimizer: simplification to a triangle budget, and
// the triangle and vertex order every written mesh gets (post-transform cache, then fetch).
#pragma once

#include "tools/models/ModelMesh.h"
#include "tools/models/Skinning.h"

#include <cstddef>
#include <vector>

class MeshOptimiser {
public:
    // The post-transform cache Acmr models: a FIFO of 16 vertices, meshoptimizer's usual yardstick.
    static constexpr unsigned CacheSize = 16;

    // Edge collapses down to at most `targetTriangles` while meshoptimizer's estimate of how far the
    // surface moves stays within `maxError` (a share of the mesh's extent). Normals stay with their
    // vertices, UVs are dropped. Returns the error reached; throws when the budget cannot be met
    // within `maxError`, so a design that outgrows its budget fails at build time, not in the look.
    static float Simplify(ModelMesh& mesh, size_t targetTriangles, float maxError);

    // Triangles reordered for the vertex cache, then vertices renumbered in order of first use (an
    // unused one is dropped). `skin`, when given, holds one record per vertex and moves with them.
    static void Order(ModelMesh& mesh, std::vector<VertexSkin>* skin = nullptr);

    // Average vertices transformed per triangle for the triangles in their current order.
    static float Acmr(const ModelMesh& mesh);
};
