#include "tools/models/MeshOptimiser.h"

#include <meshoptimizer.h>

#include <stdexcept>
#include <string>

namespace {

std::vector<unsigned> Indices(const ModelMesh& mesh)
{
    std::vector<unsigned> out;
    out.reserve(mesh.triangles.size() * 3);
    for (const glm::uvec3& t : mesh.triangles)
        out.insert(out.end(), {t.x, t.y, t.z});
    return out;
}

void SetTriangles(ModelMesh& mesh, const std::vector<unsigned>& indices, size_t count)
{
    mesh.triangles.resize(count / 3);
    for (size_t i = 0; i < mesh.triangles.size(); ++i)
        mesh.triangles[i] = {indices[3 * i], indices[3 * i + 1], indices[3 * i + 2]};
}

template <class T> void Remap(std::vector<T>& values, const std::vector<unsigned>& remap, size_t kept)
{
    if (values.empty())
        return;
    if (values.size() != remap.size())
        throw std::invalid_argument("a vertex stream does not match the mesh's vertex count");
    std::vector<T> out(kept);
    meshopt_remapVertexBuffer(out.data(), values.data(), values.size(), sizeof(T), remap.data());
    values = std::move(out);
}

// Renumbers vertices in order of first use by the triangles; every per-vertex stream follows.
void CompactVertices(ModelMesh& mesh, std::vector<unsigned>& indices, std::vector<VertexSkin>* skin)
{
    const size_t count = mesh.positions.size();
    std::vector<unsigned> remap(count);
    const size_t kept = meshopt_optimizeVertexFetchRemap(remap.data(), indices.data(), indices.size(), count);
    meshopt_remapIndexBuffer(indices.data(), indices.data(), indices.size(), remap.data());
    Remap(mesh.positions, remap, kept);
    Remap(mesh.normals, remap, kept);
    Remap(mesh.uvs, remap, kept);
    if (skin)
        Remap(*skin, remap, kept);
}

} // namespace

float MeshOptimiser::Simplify(ModelMesh& mesh, size_t targetTriangles, float maxError)
{
    if (mesh.triangles.size() <= targetTriangles)
        return 0.0f;
    const std::vector<unsigned> source = Indices(mesh);
    std::vector<unsigned> reduced(source.size());
    float error = 0.0f;
    const size_t count =
        meshopt_simplify(reduced.data(), source.data(), source.size(), &mesh.positions[0].x, mesh.positions.size(),
                         sizeof(glm::vec3), targetTriangles * 3, maxError, 0, &error);
    if (count > targetTriangles * 3)
        throw std::runtime_error("cannot simplify to " + std::to_string(targetTriangles) + " triangles within " +
                                 std::to_string(maxError) + " of the extent (stopped at " + std::to_string(count / 3) +
                                 ")");
    reduced.resize(count);
    mesh.uvs.clear();
    CompactVertices(mesh, reduced, nullptr);
    SetTriangles(mesh, reduced, count);
    return error;
}

void MeshOptimiser::Order(ModelMesh& mesh, std::vector<VertexSkin>* skin)
{
    if (skin && skin->size() != mesh.positions.size())
        throw std::invalid_argument("skin records do not match the mesh's vertex count");
    const std::vector<unsigned> source = Indices(mesh);
    std::vector<unsigned> ordered(source.size());
    meshopt_optimizeVertexCache(ordered.data(), source.data(), source.size(), mesh.positions.size());
    CompactVertices(mesh, ordered, skin);
    SetTriangles(mesh, ordered, ordered.size());
}

float MeshOptimiser::Acmr(const ModelMesh& mesh)
{
    const std::vector<unsigned> indices = Indices(mesh);
    return meshopt_analyzeVertexCache(indices.data(), indices.size(), mesh.positions.size(), CacheSize, 0, 0).acmr;
}
