// The six optional components every DynamicActor and StaticActor is built from, in the order
// they are attached: mesh, material, shader, transform, collision, animation.
#pragma once

#include <memory>

class MeshComponent;
class MaterialComponent;
class ShaderComponent;
class TransformComponent;
class ICollisionComponent;
class AnimationComponent;
class Actor;

// Attaches the non-empty ones and binds a collision component without a transform to the
// actor's own transform.
void AttachComponents(Actor& actor, std::shared_ptr<MeshComponent> mesh, std::shared_ptr<MaterialComponent> material,
                      std::shared_ptr<ShaderComponent> shader, std::shared_ptr<TransformComponent> transform,
                      const std::shared_ptr<ICollisionComponent>& collision,
                      std::shared_ptr<AnimationComponent> animation);
