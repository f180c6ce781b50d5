// Helpers for the tests of the generated models and clips: they load assets from the pack in the
// run directory through the game's own loaders and measure them.
#pragma once

#include "assets/MeshComponent.h"
#include "scene/components/Animation.h"
#include "scene/components/AnimationComponent.h"
#include "support/NullRenderer.h"

#include <glm/glm.hpp>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace modeltest {

inline NullRenderer& Renderer()
{
    static NullRenderer renderer;
    return renderer;
}

// Meshes are loaded once per test binary; loading a character takes a moment.
inline std::shared_ptr<MeshComponent> Mesh(const std::string& name)
{
    // The renderer first, so it is destroyed after the meshes that were built over it.
    NullRenderer& renderer = Renderer();
    static std::map<std::string, std::shared_ptr<MeshComponent>> cache;
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.emplace(name, std::make_shared<MeshComponent>(&renderer, name.c_str())).first;
    return it->second;
}

inline int BoneId(const MeshComponent& mesh, const std::string& name)
{
    auto it = mesh.boneInfoMap.find(name);
    return it == mesh.boneInfoMap.end() ? -1 : it->second.id;
}

// World (model-space) joint positions of every bone after the clip has been sampled at `tick`.
inline std::vector<glm::vec3> Joints(const std::shared_ptr<Animation>& clip, float tick)
{
    AnimationComponent anim(clip, 1.0f);
    anim.currentTime = tick;
    anim.Update(false, 0.0f);
    std::vector<glm::vec3> joints;
    for (const BoneInfo& b : clip->model->bones)
        joints.push_back(b.id < MaxBones ? glm::vec3((anim.finalBoneMatrices[b.id] * glm::inverse(b.offset))[3])
                                         : glm::vec3(0.0f));
    return joints;
}

// Bind-pose joints: the node tree of the model's own (bind) clip, walked from the root.
inline std::map<int, glm::mat4> BindGlobals(const NodeData& node, const glm::mat4& parent = glm::mat4(1.0f))
{
    std::map<int, glm::mat4> out;
    const glm::mat4 g = parent * node.transformation;
    if (node.boneId >= 0)
        out[node.boneId] = g;
    for (const NodeData& child : node.children)
        for (const auto& [id, m] : BindGlobals(child, g))
            out[id] = m;
    return out;
}

inline const NodeData* FindNode(const NodeData& node, int boneId)
{
    if (node.boneId == boneId)
        return &node;
    for (const NodeData& child : node.children)
        if (const NodeData* n = FindNode(child, boneId))
            return n;
    return nullptr;
}

inline bool HasDescendant(const NodeData& node, int boneId)
{
    for (const NodeData& child : node.children)
        if (child.boneId == boneId || HasDescendant(child, boneId))
            return true;
    return false;
}

struct Box {
    glm::vec3 lo{1e30f}, hi{-1e30f};
};

inline Box Bounds(const MeshComponent& mesh)
{
    Box b;
    for (const Vertex& v : mesh.vertices) {
        b.lo = glm::min(b.lo, v.position);
        b.hi = glm::max(b.hi, v.position);
    }
    return b;
}

// Triangles of the whole model, in model space.
template <class F> void ForEachTriangle(const MeshComponent& mesh, F&& f)
{
    for (const auto& sub : mesh.meshes)
        for (uint32_t k = 0; k + 2 < sub->indexCount; k += 3) {
            const Vertex& a = mesh.vertices[static_cast<size_t>(sub->baseVertex) + mesh.indices[sub->firstIndex + k]];
            const Vertex& b =
                mesh.vertices[static_cast<size_t>(sub->baseVertex) + mesh.indices[sub->firstIndex + k + 1]];
            const Vertex& c =
                mesh.vertices[static_cast<size_t>(sub->baseVertex) + mesh.indices[sub->firstIndex + k + 2]];
            f(a, b, c);
        }
}

// Share of triangles whose edge normal (counter-clockwise) agrees with their vertex normals.
inline double WindingAgreement(const MeshComponent& mesh)
{
    size_t good = 0, all = 0;
    ForEachTriangle(mesh, [&](const Vertex& a, const Vertex& b, const Vertex& c) {
        const glm::vec3 face = glm::cross(b.position - a.position, c.position - a.position);
        if (glm::length(face) < 1e-12f)
            return;
        ++all;
        if (glm::dot(face, a.normal + b.normal + c.normal) > 0.0f)
            ++good;
    });
    return all ? static_cast<double>(good) / static_cast<double>(all) : 0.0;
}

// Enclosed volume by the divergence theorem: positive when the triangles face outwards.
inline double SignedVolume(const MeshComponent& mesh)
{
    double v = 0.0;
    ForEachTriangle(mesh, [&](const Vertex& a, const Vertex& b, const Vertex& c) {
        v += glm::dot(glm::dvec3(a.position), glm::cross(glm::dvec3(b.position), glm::dvec3(c.position))) / 6.0;
    });
    return v;
}

// Share of textured triangles whose UVs read unmirrored from outside (u right, v down), which is
// what the shaders' bitangent (normal x tangent, towards -v) assumes.
inline double UnmirroredUvShare(const MeshComponent& mesh)
{
    size_t good = 0, all = 0;
    ForEachTriangle(mesh, [&](const Vertex& a, const Vertex& b, const Vertex& c) {
        const glm::vec3 e1 = b.position - a.position, e2 = c.position - a.position;
        const glm::vec2 d1 = b.texCoords - a.texCoords, d2 = c.texCoords - a.texCoords;
        const float det = d1.x * d2.y - d2.x * d1.y;
        if (std::abs(det) < 1e-12f || glm::length(glm::cross(e1, e2)) < 1e-12f)
            return;
        const glm::vec3 dpdu = (e1 * d2.y - e2 * d1.y) / det, dpdv = (e2 * d1.x - e1 * d2.x) / det;
        ++all;
        if (glm::dot(glm::cross(dpdu, dpdv), glm::cross(e1, e2)) < 0.0f)
            ++good;
    });
    return all ? static_cast<double>(good) / static_cast<double>(all) : 0.0;
}

} // namespace modeltest
