// Grid test actors: spheres whose exact test against another sphere always reports contact, so
// every broad-phase candidate reaches the callbacks, and a recorder of (querier, found) pairs.
#pragma once

#include "support/CollisionHelpers.h"

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace testing_collision {

// A trigger sphere's component that touches every sphere it is tested against, without moving
// anything, and tests other kinds as usual.
class AlwaysTouchingComponent : public CollisionComponent<COLLISION::Sphere> {
public:
    using CollisionComponent::CollisionComponent;
    bool CollideWithVolume(COLLISION::BoundingVolume* other, COLLISION::Collision* record, std::function<void()> first,
                           std::function<void()> second) override
    {
        if (!other || other->shapeType != COLLISION::SphereShape)
            return CollisionComponent::CollideWithVolume(other, record, std::move(first), std::move(second));
        first();
        second();
        return true;
    }
};

// Counts the pairs the callbacks report, keyed by (querying owner, found owner).
struct PairLog {
    std::map<std::pair<const Actor*, const Actor*>, int> pairs;
    CollisionCallback Recorder()
    {
        return [this](Object& querier, Object& found, COLLISION::Collision&) { ++pairs[{querier.owner, found.owner}]; };
    }
};

// A probe actor at `position` whose grid object has a bounding radius of about `gridRadius`
// (volume radius gridRadius / 1.5). The object is built but not filed.
inline std::unique_ptr<DynamicActor> MakeProbe(const glm::vec3& position, float gridRadius, int tag,
                                               CollisionCallback callback)
{
    auto collision = std::make_shared<AlwaysTouchingComponent>(true, glm::vec3(0.0f), nullptr);
    collision->volume->radius = gridRadius / 1.5f;
    auto actor = std::make_unique<DynamicActor>(nullptr, nullptr, nullptr,
                                                std::make_shared<TransformComponent>(position), collision, nullptr);
    actor->gridObject = std::make_unique<Object>(tag, actor.get(), std::move(callback));
    return actor;
}

// Files `count` small probes far below everything else, so that the grid holds more objects than
// a small query covers cells and walks its cells instead of testing every object directly.
inline std::vector<std::unique_ptr<DynamicActor>> FileFarFiller(HGrid& g, int count)
{
    std::vector<std::unique_ptr<DynamicActor>> filler;
    for (int i = 0; i < count; ++i) {
        filler.push_back(MakeProbe({3.0f * static_cast<float>(i % 100), -10000.0f, 3.0f * static_cast<float>(i / 100)},
                                   0.3f, SceneryTag, nullptr));
        g.AddObject(*filler.back()->gridObject);
    }
    return filler;
}

} // namespace testing_collision
