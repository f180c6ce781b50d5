#include "scene/actors/StaticActor.h"

#include "scene/actors/ActorComponents.h"

StaticActor::StaticActor(std::shared_ptr<MeshComponent> mesh, std::shared_ptr<MaterialComponent> material,
                         std::shared_ptr<Component> shader, std::shared_ptr<TransformComponent> transform,
                         const std::shared_ptr<ICollisionComponent>& collision,
                         std::shared_ptr<AnimationComponent> animation)
{
    AttachComponents(*this, std::move(mesh), std::move(material), std::move(shader), std::move(transform), collision,
                     std::move(animation));
}
