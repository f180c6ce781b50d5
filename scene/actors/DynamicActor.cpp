#include "scene/actors/DynamicActor.h"

#include "collision/HGrid.h"
#include "collision/Object.h"
#include "scene/actors/ActorComponents.h"

#include <utility>

DynamicActor::DynamicActor(std::shared_ptr<MeshComponent> mesh, std::shared_ptr<MaterialComponent> material,
                           std::shared_ptr<Component> shader, std::shared_ptr<TransformComponent> transform,
                           const std::shared_ptr<ICollisionComponent>& collision,
                           std::shared_ptr<AnimationComponent> animation)
{
    AttachComponents(*this, std::move(mesh), std::move(material), std::move(shader), std::move(transform), collision,
                     std::move(animation));
}

void DynamicActor::Update(float dt)
{
    Actor::Update(dt);
    UpdateCollider();
    UpdateGridCell();
}

void DynamicActor::UpdateGridCell()
{
    // An actor not (yet) in the grid has nothing to re-file.
    if (gridObject && grid && gridObject->IsFiled())
        grid->MoveObject(*gridObject);
}

void DynamicActor::SettleIgnoring(std::vector<int32_t>& ignored)
{
    if (!gridObject)
        return;
    UpdateCollider();
    std::swap(gridObject->ignoreTags, ignored);
    HGrid::CheckObjAgainstGrid(gridObject.get());
    std::swap(gridObject->ignoreTags, ignored);
    UpdateCollider();
    UpdateGridCell();
}
