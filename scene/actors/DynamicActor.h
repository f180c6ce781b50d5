// An actor that moves: after the animation step its collider and grid cell follow its transform.
#pragma once

#include "scene/actors/Actor.h"

#include <cstdint>
#include <vector>

class MeshComponent;
class MaterialComponent;
class ShaderComponent;
class TransformComponent;
class ICollisionComponent;
class AnimationComponent;

class DynamicActor : public Actor {
public:
    DynamicActor(std::shared_ptr<MeshComponent> mesh, std::shared_ptr<MaterialComponent> material,
                 std::shared_ptr<Component> shader, std::shared_ptr<TransformComponent> transform,
                 const std::shared_ptr<ICollisionComponent>& collision, std::shared_ptr<AnimationComponent> animation);

    void Update(float dt) override;
    // Re-files gridObject in the bucket of its current position.
    virtual void UpdateGridCell();
    // Resolves its contacts with all but the tags in `ignored` (the level alone, say), then
    // follows with its collider and grid cell. The list is swapped with the grid object's own and
    // back, not copied, so this allocates nothing.
    void SettleIgnoring(std::vector<int32_t>& ignored);
};
