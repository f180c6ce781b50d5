// A collision component over one volume kind: keeps its volume at the transform position plus an
// offset and dispatches the grid's exact tests to the volume's pair-test slot for the other kind.
#pragma once

#include "collision/BoundingVolume.h"
#include "collision/ICollisionComponent.h"
#include "scene/components/TransformComponent.h"

#include <memory>
#include <utility>

template <class T> class CollisionComponent : public ICollisionComponent {
public:
    std::shared_ptr<T> volume;
    std::shared_ptr<TransformComponent> transform; // the owning actor's; may be null
    glm::vec3 offset{0.0f};

    CollisionComponent(bool isTrigger, const glm::vec3& offset, std::shared_ptr<TransformComponent> transform)
        : volume(std::make_shared<T>()), transform(std::move(transform)), offset(offset)
    {
        volume->SetTrigger(isTrigger);
        UpdateVolume();
    }

    bool CollideWithComponent(std::shared_ptr<ICollisionComponent> other, COLLISION::Collision* record,
                              std::function<void()> first, std::function<void()> second) override
    {
        if (!other)
            return false;
        return CollideWithVolume(other->GetBoundingVolume().get(), record, std::move(first), std::move(second));
    }

    bool CollideWithVolume(COLLISION::BoundingVolume* other, COLLISION::Collision* record, std::function<void()> first,
                           std::function<void()> second) override
    {
        if (!other || other->shapeType > COLLISION::RayShape)
            return false;
        const bool contact = volume->CollideWith(other, transform.get(), record);
        if (contact) {
            first();
            second();
        }
        return contact;
    }

    void UpdateVolume() override
    {
        // Without a transform the volume sits at its offset, as it did when it was built.
        volume->SetPosition(transform ? transform->position + offset : offset);
    }

    void SetTransform(std::shared_ptr<TransformComponent> newTransform) override
    {
        transform = std::move(newTransform);
        UpdateVolume();
    }

    void SetOffset(const glm::vec3& newOffset) override
    {
        offset = newOffset;
        UpdateVolume();
    }

    std::shared_ptr<COLLISION::BoundingVolume> GetBoundingVolume() override { return volume; }
    COLLISION::BoundingVolume* Volume() override { return volume.get(); }
    std::shared_ptr<TransformComponent> GetTransform() override { return transform; }
};
