// A game object: flags, a per-actor colour block, its grid entry and its components.
#pragma once

#include "assets/Component.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

class AnimationComponent;
class Camera;
class ICollisionComponent;
class Object;

class Actor {
public:
    // The seven floats the shaders receive: colour (f0..f2) then materialValues (f3..f6).
    glm::vec3 colour{0.0f};
    glm::vec4 materialValues{0.0f, 0.0f, 0.0f, 1.0f};
    uint32_t uniformIndex = 0; // record in its shader's dynamic block, rewritten every frame
    uint32_t storageIndex = 0; // record in its shader's storage block, rewritten every frame
    bool visible = true;
    bool skipCulling = false;
    bool hidden = false;
    bool dead = false;
    std::unique_ptr<Object> gridObject; // taken out of the grid when the actor goes
    std::vector<std::shared_ptr<Component>> components;

    Actor();
    virtual ~Actor();
    Actor(const Actor&) = delete;
    Actor& operator=(const Actor&) = delete;

    // The animation step.
    virtual void Update(float dt);
    // Sphere against the camera's six planes; sets and returns `visible`.
    virtual bool IsInFrustum(const Camera* camera, const glm::vec3& center, float radius);
    // Moves the collision volume to the transform.
    virtual void UpdateCollider();

    // First component that is a T (T may be an interface), or empty. A cast per component: for
    // building the scene; the frame reads Collider() and Animator().
    template <class T> std::shared_ptr<T> GetComponent() const
    {
        for (const std::shared_ptr<Component>& c : components)
            if (auto found = std::dynamic_pointer_cast<T>(c))
                return found;
        return nullptr;
    }

    // One component of each kind: a second T throws.
    template <class T> void AddComponent(std::shared_ptr<T> component)
    {
        if (GetComponent<T>())
            throw std::runtime_error("Trying to add a component that already exists");
        components.push_back(std::move(component));
        ResolveFrameComponent(*components.back());
    }
    // Drops every component, and the frame's pointers to them with them.
    void ClearComponents();

    // The components the frame step uses, resolved as they were added: the first of each kind,
    // as GetComponent finds it, or null. Attach with AddComponent and drop with ClearComponents
    // so that these stay in step with `components`.
    ICollisionComponent* Collider() const { return resolvedCollider_; }
    AnimationComponent* Animator() const { return resolvedAnimation_; }

protected:
    // Seam between the actor and its animation: steps the AnimationComponent, if any.
    void StepAnimation(float dt);

private:
    // Keeps `component` as the frame's collider or animation when it is the first of its kind.
    void ResolveFrameComponent(Component& component);

    ICollisionComponent* resolvedCollider_ = nullptr;
    AnimationComponent* resolvedAnimation_ = nullptr;
};
