// The six optional components every DynamicActor and StaticActor is built from, in the order
// they are attached: mesh, material, shader, transform, collision, animation.
#pragma once

#include <memory>

class MeshComponent;
class MaterialComponent;
class Component;
class TransformComponent;
class ICollisionComponent;
class AnimationComponent;
class Actor;

// Attaches the non-empty ones and binds a collision component without a transform to the
// actor's own transform. The shader is the renderer's ShaderComponent, passed as its Component
// base because the renderer sits above the actors.
void AttachComponents(Actor& actor, std::shared_ptr<MeshComponent> mesh, std::shared_ptr<MaterialComponent> material,
                      std::shared_ptr<Component> shader, std::shared_ptr<TransformComponent> transform,
                      const std::shared_ptr<ICollisionComponent>& collision,
                      std::shared_ptr<AnimationComponent> animation);
