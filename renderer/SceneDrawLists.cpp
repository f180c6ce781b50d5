#include "renderer/SceneDrawLists.h"

#include "assets/MeshComponent.h"
#include "renderer/AssetRegistry.h"
#include "renderer/NamedBuffers.h"
#include "renderer/PointLightReach.h"
#include "renderer/shader/ShaderComponent.h"
#include "scene/actors/Actor.h"
#include "scene/components/TransformComponent.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

bool ByActor(const DrawItem& item, const Actor* actor)
{
    return item.actor < actor;
}

// The opaque dynamic block a shader's records go to, by its block's name.
std::optional<ObjectBlock> OpaqueDynamicBlock(const ShaderComponent& shader)
{
    if (!shader.hasDynamicBlock)
        return std::nullopt;
    for (ObjectBlock block : {ObjectBlock::Base, ObjectBlock::Pbr, ObjectBlock::Anim})
        if (shader.dynamicBlockName == ObjectBlockName(block))
            return block;
    return std::nullopt;
}

} // namespace

void SceneDrawLists::OrderFrontToBack(const glm::vec3& eye)
{
    frontToBack.clear(); // its capacity is every unsorted pass's items, reserved when built
    // Only the passes before the first blended one: what follows a blended pass covers it.
    for (uint32_t p = 0; p < passes.size() && !passes[p].sorted; ++p) {
        for (const DrawItem& item : passes[p].items) {
            glm::vec3 centre = item.centre;
            float radius = item.radius;
            if (item.transform) {
                const TransformComponent& t = *item.transform;
                centre = t.position + t.rotation * (t.scale * item.centre);
                radius *= std::max(std::abs(t.scale.x), std::max(std::abs(t.scale.y), std::abs(t.scale.z)));
            }
            frontToBack.push_back({&item, p, glm::length(centre - eye) + radius});
        }
    }
    // In place, without allocating; ties keep no particular order, which the depth test does not see.
    std::sort(frontToBack.begin(), frontToBack.end(),
              [](const OpaqueDraw& a, const OpaqueDraw& b) { return a.depth < b.depth; });
}

void SceneDrawLists::AssignPointLights(const PointLight (&lights)[MaxPointLights], bool limit)
{
    // A light moved or changed (or the limit was switched): every list is found again. Items a
    // rebuild made are never found yet, whatever the lights do.
    const bool lightsChanged = std::memcmp(lights, listedLights, sizeof(listedLights)) != 0 || limit != lightsLimited;
    std::memcpy(listedLights, lights, sizeof(listedLights));
    lightsLimited = limit;
    auto assign = [&](DrawItem& item) {
        if (!limit) {
            item.pointLights = PointLightList::All();
            return;
        }
        const glm::vec4 bounds = WorldBoundingSphere(item);
        const float gain = SurfaceLightGain(item.actor->materialValues.y); // y: roughness
        if (!lightsChanged && bounds == item.litBounds && gain == item.litGain)
            return;
        item.pointLights = PointLightsTouching(lights, gain, bounds);
        item.litBounds = bounds;
        item.litGain = gain;
    };
    for (ShaderPass& pass : passes)
        for (DrawItem& item : pass.items)
            assign(item);
    for (DrawItem& item : transparentItems)
        assign(item);
}

SceneDrawLists::PointLightListStats SceneDrawLists::PointLightStats() const
{
    PointLightListStats stats;
    auto count = [&](const DrawItem& item) {
        ++stats.items;
        stats.lights += item.pointLights.count;
        stats.longest = std::max(stats.longest, item.pointLights.count);
    };
    for (const ShaderPass& pass : passes)
        for (const DrawItem& item : pass.items)
            count(item);
    for (const DrawItem& item : transparentItems)
        count(item);
    return stats;
}

void SceneDrawLists::Invalidate()
{
    built = false;
}

bool SceneDrawLists::Current(const std::vector<Actor*>& actors, const std::vector<Actor*>& transparentActors,
                             const AssetRegistry* registry) const
{
    if (!built || registry != builtFor || (registry && registry->shaders.size() != shaderCount))
        return false;
    if (actors.size() != actorsBuiltFrom.size() || transparentActors.size() != transparentItems.size())
        return false;
    // A pointer compare of the whole list (a few hundred bytes): an actor replaced in place shows.
    return std::equal(actors.begin(), actors.end(), actorsBuiltFrom.begin());
}

bool SceneDrawLists::Refresh(const std::vector<Actor*>& actors, const std::vector<Actor*>& transparentActors,
                             const AssetRegistry* registry)
{
    if (Current(actors, transparentActors, registry) && OrderTransparent(transparentActors))
        return false;
    Build(actors, transparentActors, registry);
    OrderTransparent(transparentActors); // every actor of the list has an item now
    return true;
}

bool SceneDrawLists::OrderTransparent(const std::vector<Actor*>& transparentActors)
{
    transparentOrder.clear(); // keeps its capacity: the list's length is that of the build
    for (const Actor* actor : transparentActors) {
        auto found = std::lower_bound(transparentItems.begin(), transparentItems.end(), actor, ByActor);
        if (found == transparentItems.end() || found->actor != actor)
            return false;
        transparentOrder.push_back(&*found);
    }
    return true;
}

void SceneDrawLists::Build(const std::vector<Actor*>& actors, const std::vector<Actor*>& transparentActors,
                           const AssetRegistry* registry)
{
    ++builds;
    built = true;
    builtFor = registry;
    shaderCount = registry ? registry->shaders.size() : 0;
    actorsBuiltFrom = actors;
    passes.clear();
    frontToBack.clear();
    skyBox = nullptr;
    skyMesh = nullptr;
    billboardRecords = false;

    buffers = FrameBufferSlots{};
    buffers.camera = FindNamedBuffer("CameraBuffer");
    buffers.pointLights = FindNamedBuffer("PointLightsBuffer");
    buffers.spotLights = FindNamedBuffer("SpotLightsBuffer");
    buffers.directionalLights = FindNamedBuffer("DirectionalLightsBuffer");
    for (size_t i = 0; i < ObjectBlockCount; ++i)
        buffers.objectBlocks[i] = FindNamedBuffer(ObjectBlockName(static_cast<ObjectBlock>(i)));

    transparentItems.clear();
    for (Actor* actor : transparentActors)
        transparentItems.push_back(ResolveDrawItem(*actor));
    std::sort(transparentItems.begin(), transparentItems.end(),
              [](const DrawItem& a, const DrawItem& b) { return a.actor < b.actor; });
    transparentOrder.reserve(transparentActors.size());
    if (!registry)
        return;

    std::vector<DrawItem> opaqueItems;
    opaqueItems.reserve(actors.size());
    for (Actor* actor : actors)
        opaqueItems.push_back(ResolveDrawItem(*actor));

    skyBox = registry->GetShader("SkyBoxShader", true).get();
    if (auto cube = registry->meshes.find("Cube"); cube != registry->meshes.end())
        skyMesh = cube->second.get();
    const ShaderComponent* billboard = registry->GetShader("BillBoardPBRShader", true).get();
    billboardRecords = billboard && billboard->hasDynamicBlock &&
                       billboard->dynamicBlockName == ObjectBlockName(ObjectBlock::BillBoardPbr);

    for (const std::string& name : registry->shaderNames) {
        if (name == "SkyBoxShader" || name == "CollisionShader")
            continue;
        ShaderPass pass;
        pass.shader = registry->GetShader(name).get();
        pass.sorted = pass.shader->usesSortedList;
        pass.packsOpaque = name != "BillBoardPBRShader";
        if (pass.packsOpaque) {
            pass.recordBlock = OpaqueDynamicBlock(*pass.shader);
            pass.animStorage = pass.shader->hasStorageBlock &&
                               pass.shader->storageBlockName == ObjectBlockName(ObjectBlock::AnimStorage);
        }
        if (pass.shader->hasDynamicBlock)
            pass.dynamicFrames = FindNamedBuffer(pass.shader->dynamicBlockName);
        if (pass.shader->hasStorageBlock)
            pass.storageFrames = FindNamedBuffer(pass.shader->storageBlockName);
        // A sorted pass draws the transparent list; its records are numbered over that list, but
        // a shader that packs the actors list needs its items here all the same.
        if (!pass.sorted || pass.packsOpaque)
            for (const DrawItem& item : opaqueItems)
                if (item.shader == pass.shader)
                    pass.items.push_back(item);
        passes.push_back(std::move(pass));
    }
    size_t opaqueDraws = 0;
    for (const ShaderPass& pass : passes)
        if (!pass.sorted)
            opaqueDraws += pass.items.size();
    frontToBack.reserve(opaqueDraws);
}
