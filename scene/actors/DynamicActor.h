// An actor that moves: after the animation step its collider and grid cell follow its transform.
#pragma once

#include "scene/actors/Actor.h"

class MeshComponent;
class MaterialComponent;
class ShaderComponent;
class TransformComponent;
class ICollisionComponent;
class AnimationComponent;

class DynamicActor : public Actor {
public:
    DynamicActor(std::shared_ptr<MeshComponent> mesh, std::shared_ptr<MaterialComponent> material,
                 std::shared_ptr<ShaderComponent> shader, std::shared_ptr<TransformComponent> transform,
                 std::shared_ptr<ICollisionComponent> collision, std::shared_ptr<AnimationComponent> animation);

    void Update(float dt) override;
    // Re-files gridObject in the bucket of its current position.
    virtual void UpdateGridCell();
};
