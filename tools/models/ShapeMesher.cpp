#include "tools/models/ShapeMesher.h"

#include "tools/models/MeshOptimiser.h"
#include "tools/models/SurfaceNets.h"

namespace {

bool Folded(const ModelMesh& m, const glm::uvec3& t)
{
    const glm::vec3 face = glm::cross(m.positions[t.y] - m.positions[t.x], m.positions[t.z] - m.positions[t.x]);
    return glm::dot(face, m.normals[t.x] + m.normals[t.y] + m.normals[t.z]) <= 0.0f;
}

} // namespace

ModelMesh ShapeMesher::Mesh(const CharacterDesign& design)
{
    const SdfShape& shape = design.shape;
    glm::vec3 lo, hi;
    shape.Bounds(lo, hi);
    ModelMesh mesh =
        SurfaceNets::Build([&shape](const glm::vec3& p) { return shape.Distance(p); }, lo, hi, design.cell);
    mesh.normals.resize(mesh.positions.size());
    for (size_t i = 0; i < mesh.positions.size(); ++i)
        mesh.normals[i] = shape.Gradient(mesh.positions[i]);
    MeshOptimiser::Simplify(mesh, design.triangleBudget, design.maxSimplifyError);
    const ModelMesh reduced = mesh;
    for (size_t i = 0; i < mesh.positions.size(); ++i) {
        mesh.positions[i] = shape.Project(mesh.positions[i]);
        mesh.normals[i] = shape.Gradient(mesh.positions[i]);
    }
    // Projection can fold a triangle in a tight crease; such corners keep their simplified place.
    for (const glm::uvec3& t : mesh.triangles)
        if (Folded(mesh, t))
            for (int k = 0; k < 3; ++k) {
                mesh.positions[t[k]] = reduced.positions[t[k]];
                mesh.normals[t[k]] = reduced.normals[t[k]];
            }
    mesh.uvs.clear();
    return mesh;
}
