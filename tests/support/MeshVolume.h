// The volume a closed triangle mesh encloses (signed: positive for outward-facing triangles), by
// summing the tetrahedra each triangle makes with the origin.
#pragma once

#include "tools/models/ModelMesh.h"

#include <glm/glm.hpp>

inline double EnclosedVolume(const ModelMesh& m)
{
    double v = 0.0;
    for (const glm::uvec3& t : m.triangles)
        v += glm::dot(glm::dvec3(m.positions[t.x]),
                      glm::cross(glm::dvec3(m.positions[t.y]), glm::dvec3(m.positions[t.z]))) /
             6.0;
    return v;
}
