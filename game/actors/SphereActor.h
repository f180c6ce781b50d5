// A bare collision probe: a trigger sphere with a grid object whose contact callback the owner
// supplies (the zombies' hand hitboxes). Its shader is never drawn, so it stays invisible.
#pragma once

#include "collision/Object.h"
#include "scene/actors/Actor.h"

#include <glm/glm.hpp>

#include <memory>

class TransformComponent;
class ICollisionComponent;

class SphereActor : public Actor {
public:
    bool enabled = true;    // set at construction; the sphere itself never reads it
    bool tracksGrid = true; // keep the collider and the grid cell in step with the transform

    // The grid object is built here; filing it in the grid is left to the creator.
    SphereActor(const glm::vec3& position, float radius, CollisionCallback onCollision);

    // Moves the volume and re-files the grid object; runs no contact test.
    void Update(float dt) override;

    TransformComponent& Transform() const { return *transform_; }

private:
    std::shared_ptr<TransformComponent> transform_;
    std::shared_ptr<ICollisionComponent> collider_;
};
