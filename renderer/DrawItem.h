// One actor as the frame reads it: its components found once, when the draw lists are built, so a
// frame neither searches an actor's components nor copies their shared pointers.
#pragma once

#include "renderer/PointLightList.h"

#include <glm/glm.hpp>

class Actor;
class AnimationComponent;
class MaterialComponent;
class MeshComponent;
class ShaderComponent;
class TransformComponent;

struct DrawItem {
    Actor* actor = nullptr;
    const TransformComponent* transform = nullptr; // null: identity model matrix
    const MaterialComponent* material = nullptr;   // null: the actor's own colour
    const AnimationComponent* animation = nullptr; // null: identity bones
    const MeshComponent* mesh = nullptr;           // null, or without GPU buffers: nothing to draw
    const ShaderComponent* shader = nullptr;
    glm::vec3 centre{0.0f}; // of the mesh's bounding sphere, in model space
    float radius = 0.0f;    // of that sphere, in model space
    // The point lights it is shaded with, and the world bounds (xyz centre, w radius) and surface
    // gain (SurfaceLightGain) they were found for; a negative radius: never found.
    PointLightList pointLights = PointLightList::All();
    glm::vec4 litBounds{0.0f, 0.0f, 0.0f, -1.0f};
    float litGain = 0.0f;
};

// The item of an actor as its components are now, with the bounding sphere of its mesh's vertices. The actor (and the
// scene that owns it) must outlive the item.
DrawItem ResolveDrawItem(Actor& actor);

// The item's bounding sphere where its model matrix puts it now (xyz centre, w radius); a
// skinned item's is widened, as its clips move the vertices away from the bind pose.
glm::vec4 WorldBoundingSphere(const DrawItem& item);
