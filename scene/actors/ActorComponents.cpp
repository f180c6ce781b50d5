#include "scene/actors/ActorComponents.h"

#include "assets/MeshComponent.h"
#include "collision/ICollisionComponent.h"
#include "scene/actors/Actor.h"
#include "scene/components/AnimationComponent.h"
#include "scene/components/MaterialComponent.h"
#include "scene/components/TransformComponent.h"

void AttachComponents(Actor& actor, std::shared_ptr<MeshComponent> mesh, std::shared_ptr<MaterialComponent> material,
                      std::shared_ptr<Component> shader, std::shared_ptr<TransformComponent> transform,
                      const std::shared_ptr<ICollisionComponent>& collision,
                      std::shared_ptr<AnimationComponent> animation)
{
    if (mesh)
        actor.AddComponent<MeshComponent>(std::move(mesh));
    if (material)
        actor.AddComponent<MaterialComponent>(std::move(material));
    // The renderer's shader component, known here by its base only: the renderer sits above the
    // actors. A fresh actor holds no shader yet, so there is nothing to check it against.
    if (shader)
        actor.components.push_back(std::move(shader));
    if (transform)
        actor.AddComponent<TransformComponent>(std::move(transform));
    if (collision) {
        actor.AddComponent<ICollisionComponent>(collision);
        // A volume follows the actor's own transform unless it was built with another one.
        if (!collision->GetTransform())
            if (auto own = actor.GetComponent<TransformComponent>())
                collision->SetTransform(std::move(own));
    }
    if (animation)
        actor.AddComponent<AnimationComponent>(std::move(animation));
}
