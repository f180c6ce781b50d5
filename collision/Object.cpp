#include "collision/Object.h"

#include "collision/BoundingVolume.h"
#include "collision/ICollisionComponent.h"
#include "scene/actors/Actor.h"

#include <stdexcept>

Object::Object(int tag, Actor* owner, CollisionCallback onCollision)
    : tag(tag), owner(owner), onCollision(std::move(onCollision))
{
    if (!owner)
        throw std::logic_error(NullOwnerMessage);
    ICollisionComponent* collider = Collider();
    const auto volume = collider ? collider->GetBoundingVolume() : nullptr;
    if (!volume)
        throw std::runtime_error("A grid object's owner needs a collision component with a volume");
    transform = volume->GetTransform();
    radius = volume->GetBoundingRadius();
}

ICollisionComponent* Object::Collider() const
{
    return owner ? owner->Collider() : nullptr;
}
