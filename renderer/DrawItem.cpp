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
    return item;
}
