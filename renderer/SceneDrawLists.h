// What a frame draws, worked out when the scene's lists are first drawn and again only when they
// change: the sky box, one pass per shader in creation order with its actors' resolved items and
// buffers, and the transparent actors' items in the order the scene sorted them this frame. A
// frame then walks flat arrays: no name look-up, no component search, no shared-pointer copy.
#pragma once

#include "app/UniformBufferFrame.h"
#include "renderer/DrawItem.h"
#include "renderer/FrameUniformPacker.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class Actor;
class AssetRegistry;

// One shader's draws: every registered shader except the sky box and the collision wireframe.
struct ShaderPass {
    ShaderComponent* shader = nullptr;
    bool sorted = false;                    // draws the transparent list, in this frame's order
    bool packsOpaque = false;               // its records come from the actors list (all but the billboard shader)
    std::optional<ObjectBlock> recordBlock; // the opaque dynamic block its records go to
    bool animStorage = false;               // its actors also take an "SSBO_AnimPBRShader" record
    std::vector<UniformBufferFrame>* dynamicFrames = nullptr; // its dynamic block's buffers, if any
    std::vector<UniformBufferFrame>* storageFrames = nullptr; // its storage block's buffers, if any
    std::vector<DrawItem> items; // its actors of the actors list, in list order (unsorted passes)
};

// One opaque draw of this frame's front-to-back order.
struct OpaqueDraw {
    const DrawItem* item = nullptr;
    uint32_t pass = 0;  // index into Passes()
    float depth = 0.0f; // the far side of the item's bounding sphere from the eye
};

// The named buffers a frame writes, found once; null where the table has no such name.
struct FrameBufferSlots {
    std::vector<UniformBufferFrame>* camera = nullptr;
    std::vector<UniformBufferFrame>* pointLights = nullptr;
    std::vector<UniformBufferFrame>* spotLights = nullptr;
    std::vector<UniformBufferFrame>* directionalLights = nullptr;
    std::array<std::vector<UniformBufferFrame>*, ObjectBlockCount> objectBlocks{};
};

class SceneDrawLists {
public:
    // Brings the lists up to date for the scene's two lists and the registry, rebuilding them when
    // the actors list is not the one they were built from (an actor added, removed or replaced),
    // the transparent list holds an actor they do not know or has another length, the registry
    // or its shader count changed, or Invalidate was called; then orders the transparent items as
    // the list is ordered now. A null registry leaves no passes. Returns whether it rebuilt.
    bool Refresh(const std::vector<Actor*>& actors, const std::vector<Actor*>& transparentActors,
                 const AssetRegistry* registry);
    // Orders the actors of the unsorted passes before the first sorted (blended) one, all passes
    // together, front to back from the eye
    // by the far side of their bounding spheres: what lies wholly nearer is drawn first, so the
    // depth test rejects what it hides before it is shaded, and a large surface under everything
    // (the ground) comes last. The passes' own lists (and so the records) keep list order; the
    // picture is that of list order, as only exactly coincident surfaces could swap.
    void OrderFrontToBack(const glm::vec3& eye);
    // Gives every item the point lights whose reach touches its bounds now (all of them when
    // `limit` is off); an item's list is found again only when it or a light moved or changed.
    void AssignPointLights(const PointLight (&lights)[MaxPointLights], bool limit);
    // The items' lists as last assigned: how many items, their lights together, the longest list.
    struct PointLightListStats {
        uint32_t items = 0;
        uint32_t lights = 0;
        uint32_t longest = 0;
    };
    PointLightListStats PointLightStats() const;
    // This frame's opaque draws front to back (after OrderFrontToBack).
    const std::vector<OpaqueDraw>& FrontToBack() const { return frontToBack; }
    // Forget everything: the scene, its components or the named buffers are going or have changed
    // in a way the lists cannot see (a component swapped on an actor).
    void Invalidate();

    const std::vector<ShaderPass>& Passes() const { return passes; }
    // The transparent actors' items in the list's current order.
    const std::vector<const DrawItem*>& TransparentOrder() const { return transparentOrder; }
    ShaderComponent* SkyBox() const { return skyBox; }
    const MeshComponent* SkyMesh() const { return skyMesh; }
    // Whether the billboard shader takes "DYN_BillBoardPBRShader" records of the transparent list.
    bool BillboardRecords() const { return billboardRecords; }
    const FrameBufferSlots& Buffers() const { return buffers; }
    // How many times the lists were built.
    uint64_t Builds() const { return builds; }

private:
    bool Current(const std::vector<Actor*>& actors, const std::vector<Actor*>& transparentActors,
                 const AssetRegistry* registry) const;
    void Build(const std::vector<Actor*>& actors, const std::vector<Actor*>& transparentActors,
               const AssetRegistry* registry);
    // False when an actor of the list has no item.
    bool OrderTransparent(const std::vector<Actor*>& transparentActors);

    bool built = false;
    const AssetRegistry* builtFor = nullptr;
    size_t shaderCount = 0;
    std::vector<Actor*> actorsBuiltFrom;
    std::vector<ShaderPass> passes;
    std::vector<OpaqueDraw> frontToBack;
    std::vector<DrawItem> transparentItems; // by actor address, for the per-frame look-up
    std::vector<const DrawItem*> transparentOrder;
    ShaderComponent* skyBox = nullptr;
    const MeshComponent* skyMesh = nullptr;
    bool billboardRecords = false;
    PointLight listedLights[MaxPointLights] = {}; // the lights the items' lists were found for
    bool lightsLimited = false;
    FrameBufferSlots buffers;
    uint64_t builds = 0;
};
