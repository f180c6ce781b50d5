// An actor that never moves on its own: its update is the animation step only.
#pragma once

#include "scene/actors/Actor.h"

class MeshComponent;
class MaterialComponent;
class ShaderComponent;
class TransformComponent;
class ICollisionComponent;
class AnimationComponent;

class StaticActor : public Actor {
public:
    StaticActor(std::shared_ptr<MeshComponent> mesh, std::shared_ptr<MaterialComponent> material,
                std::shared_ptr<Component> shader, std::shared_ptr<TransformComponent> transform,
                const std::shared_ptr<ICollisionComponent>& collision, std::shared_ptr<AnimationComponent> animation);
};
