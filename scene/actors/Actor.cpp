#include "scene/actors/Actor.h"

#include "collision/HGrid.h"
#include "collision/ICollisionComponent.h"
#include "collision/Object.h"
#include "scene/camera/Camera.h"
#include "scene/components/AnimationComponent.h"

Actor::Actor() = default;

Actor::~Actor()
{
    components.clear();
    if (gridObject && grid && gridObject->IsFiled())
        grid->RemoveObject(*gridObject);
}

void Actor::Update(float dt) { StepAnimation(dt); }

void Actor::StepAnimation(float dt)
{
    if (resolvedAnimation_)
        resolvedAnimation_->Update(!visible, dt);
}

bool Actor::IsInFrustum(const Camera* camera, const glm::vec3& center, float radius)
{
    for (const FrustumPlane& plane : camera->planes) {
        const float distance = glm::dot(plane.normal, center) - plane.distance;
        if (-radius > distance) {
            visible = false;
            return false;
        }
    }
    visible = true;
    return true;
}

void Actor::UpdateCollider()
{
    if (resolvedCollider_)
        resolvedCollider_->UpdateVolume();
}

void Actor::ClearComponents()
{
    components.clear();
    resolvedCollider_ = nullptr;
    resolvedAnimation_ = nullptr;
}

void Actor::ResolveFrameComponent(Component& component)
{
    if (!resolvedCollider_)
        resolvedCollider_ = dynamic_cast<ICollisionComponent*>(&component);
    if (!resolvedAnimation_)
        resolvedAnimation_ = dynamic_cast<AnimationComponent*>(&component);
}
