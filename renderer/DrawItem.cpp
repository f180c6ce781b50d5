#include "renderer/DrawItem.h"

#include "assets/MeshComponent.h"
#include "renderer/shader/ShaderComponent.h"
#include "scene/actors/Actor.h"
#include "scene/components/AnimationComponent.h"
#include "scene/components/MaterialComponent.h"
#include "scene/components/TransformComponent.h"

DrawItem ResolveDrawItem(Actor& actor)
{
    DrawItem item;
    item.actor = &actor;
    // The actor's components keep these alive as long as the actor lives.
    item.transform = actor.GetComponent<TransformComponent>().get();
    item.material = actor.GetComponent<MaterialComponent>().get();
    item.animation = actor.GetComponent<AnimationComponent>().get();
    item.mesh = actor.GetComponent<MeshComponent>().get();
    item.shader = actor.GetComponent<ShaderComponent>().get();
    if (item.mesh && !item.mesh->vertices.empty()) {
        glm::vec3 low = item.mesh->vertices.front().position, high = low;
        for (const Vertex& v : item.mesh->vertices) {
            low = glm::min(low, v.position);
            high = glm::max(high, v.position);
        }
        item.centre = (low + high) * 0.5f;
        item.radius = glm::length(high - low) * 0.5f;
    }
    return item;
}
