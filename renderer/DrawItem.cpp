#include "renderer/DrawItem.h"

#include "assets/MeshComponent.h"
#include "renderer/shader/ShaderComponent.h"
#include "scene/actors/Actor.h"
#include "scene/components/AnimationComponent.h"
#include "scene/components/MaterialComponent.h"
#include "scene/components/TransformComponent.h"

#include <algorithm>

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

glm::vec4 WorldBoundingSphere(const DrawItem& item)
{
    // Twice the bind pose's radius holds a limb swung out as far as the whole model spans.
    constexpr float SkinnedMargin = 2.0f;
    const glm::mat4 model = item.transform ? item.transform->GetModelMatrix() : glm::mat4(1.0f);
    const float scale = std::max(
        {glm::length(glm::vec3(model[0])), glm::length(glm::vec3(model[1])), glm::length(glm::vec3(model[2]))});
    const float radius = item.radius * scale * (item.animation ? SkinnedMargin : 1.0f);
    return glm::vec4(glm::vec3(model * glm::vec4(item.centre, 1.0f)), radius);
}
