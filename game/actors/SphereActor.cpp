#include "game/actors/SphereActor.h"

#include "collision/CollisionComponent.h"
#include "collision/HGrid.h"
#include "collision/Sphere.h"
#include "renderer/AssetRegistry.h"
#include "renderer/shader/ShaderComponent.h"
#include "scene/components/TransformComponent.h"

#include <stdexcept>

SphereActor::SphereActor(const glm::vec3& position, float radius, CollisionCallback onCollision)
{
    AddComponent<ShaderComponent>(assetRegistry->GetShader("CollisionShader"));
    transform_ = std::make_shared<TransformComponent>(position);
    AddComponent<TransformComponent>(transform_);
    auto sphere = std::make_shared<CollisionComponent<COLLISION::Sphere>>(true, glm::vec3(0.0f), transform_);
    sphere->volume->radius = radius;
    sphere->volume->displayTransform->scale = glm::vec3(radius);
    AddComponent<CollisionComponent<COLLISION::Sphere>>(sphere);
    collider_ = sphere;
    gridObject = std::make_unique<Object>(ProjectileTag, this, std::move(onCollision));
}

void SphereActor::Update(float)
{
    if (!tracksGrid)
        return;
    if (!gridObject)
        throw std::runtime_error("grid object null");
    collider_->UpdateVolume();
    // Not filed yet: nothing to re-hash (the creator files it).
    if (grid && gridObject->IsFiled())
        grid->MoveObject(*gridObject);
}
