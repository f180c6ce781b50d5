#include "tools/models/Skinning.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace {

// Bones this many steps up or down the dominant bone's chain may share its vertices.
constexpr int ChainReach = 2;

bool OnChain(const Skeleton& sk, int bone, int dominant)
{
    const int up = sk.Depth(dominant, bone);
    const int down = sk.Depth(bone, dominant);
    return (up >= 0 && up <= ChainReach) || (down >= 0 && down <= ChainReach);
}

} // namespace

std::vector<VertexSkin> Skinning::Compute(const CharacterDesign& design, const ModelMesh& mesh)
{
    const SdfShape& shape = design.shape;
    const Skeleton& sk = design.skeleton;
    std::vector<VertexSkin> out(mesh.positions.size());
    std::vector<float> d(shape.primitives.size());
    std::vector<int> used(sk.bones.size(), 0);
    for (size_t v = 0; v < mesh.positions.size(); ++v) {
        const glm::vec3 p = mesh.positions[v];
        float best = 1e9f;
        int dominant = -1;
        for (size_t i = 0; i < shape.primitives.size(); ++i) {
            const SdfPrimitive& prim = shape.primitives[i];
            d[i] = prim.op == SdfPrimitive::Op::Union && prim.bone >= 0 ? prim.Distance(p) : 1e9f;
            if (d[i] < best) {
                best = d[i];
                dominant = prim.bone;
            }
        }
        if (dominant < 0)
            throw std::runtime_error(design.name + ": a vertex lies on no boned primitive");
        std::map<int, float> perBone;
        for (size_t i = 0; i < shape.primitives.size(); ++i) {
            const SdfPrimitive& prim = shape.primitives[i];
            if (d[i] >= 1e9f || !OnChain(sk, prim.bone, dominant))
                continue;
            const float x = 1.0f - (d[i] - best) / prim.skin;
            if (x > 0.0f)
                perBone[prim.bone] = std::max(perBone[prim.bone], x * x);
        }
        std::vector<std::pair<float, int>> ranked;
        for (const auto& [bone, w] : perBone)
            ranked.emplace_back(w, bone);
        std::sort(ranked.rbegin(), ranked.rend());
        ranked.resize(std::min<size_t>(ranked.size(), 4));
        float total = 0.0f;
        for (const auto& r : ranked)
            total += r.first;
        for (size_t k = 0; k < ranked.size(); ++k) {
            out[v].bones[k] = ranked[k].second;
            out[v].weights[k] = ranked[k].first / total;
            ++used[static_cast<size_t>(ranked[k].second)];
        }
    }
    for (size_t b = 0; b < used.size(); ++b)
        if (!used[b])
            throw std::runtime_error(design.name + ": bone " + sk.bones[b].name + " carries no vertex");
    return out;
}
