// Model import from bytes over a null renderer: assimp's parse, then our walk of what it returns.
// A mesh that imports must be drawable: every index inside its own sub-mesh and every bone
// influence naming a bone the model has (ids past the shader's 100 matrices it skips itself).
#include "assets/MeshComponent.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

void Fail(const char* what)
{
    std::fprintf(stderr, "mesh_import: %s\n", what);
    std::abort();
}

void CheckDrawable(const MeshComponent& mesh)
{
    size_t vertices = 0, indices = 0;
    for (const auto& sub : mesh.meshes) {
        if (sub->baseVertex != static_cast<int32_t>(vertices) || sub->firstIndex != indices)
            Fail("sub-mesh offsets do not follow the shared lists");
        for (uint32_t index : sub->indices)
            if (index >= sub->vertices.size())
                Fail("index past its sub-mesh's vertices");
        vertices += sub->vertices.size();
        indices += sub->indices.size();
    }
    if (vertices != mesh.vertices.size() || indices != mesh.indices.size())
        Fail("sub-meshes do not add up to the shared lists");
    for (const Vertex& v : mesh.vertices)
        for (int slot = 0; slot < MaxBoneInfluence; ++slot)
            if (v.boneIds[slot] < -1 || v.boneIds[slot] >= mesh.boneCounter)
                Fail("bone influence names no bone of the model");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        MeshComponent mesh(nullptr, reinterpret_cast<const char*>(data), size);
        CheckDrawable(mesh);
    } catch (const std::exception&) {
    }
    return 0;
}
