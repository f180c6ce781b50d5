// Polygonises a signed distance field (negative inside) with surface nets: one vertex per grid
// cell that the surface crosses, one quad per crossed grid edge, counter-clockwise from outside.
// The field is sampled exactly only in a band around the surface found on a coarser grid.
#pragma once

#include "tools/models/ModelMesh.h"

#include <functional>

class SurfaceNets {
public:
    using Field = std::function<float(const glm::vec3&)>;

    // Positions and triangles only (normals and UVs are left empty).
    static ModelMesh Build(const Field& field, const glm::vec3& lo, const glm::vec3& hi, float cell);
};
