#include "collision/HGrid.h"

#include "collision/BoundingVolume.h"
#include "collision/CollisionComponent.h"
#include "collision/Object.h"
#include "collision/PairTests.h"
#include "collision/Ray.h"
#include "scene/actors/Actor.h"
#include "scene/components/TransformComponent.h"

#include <algorithm>
#include <cmath>

HGrid* grid = nullptr;

namespace {

// Objects on a level reach at most an eighth of its cell size from their centre (diameter at most
// a quarter of it).
constexpr float LevelReachFactor = 0.125f;
// A hair of slack on every reach, so rounding in the candidate test cannot reach past the cells a
// query walks.
constexpr float ReachSlack = 1.001f;
// Cell coordinates stay well inside int32 so that far-off positions cannot overflow the cast.
constexpr float CellLimit = 1.0e9f;

// Runs the callbacks of one candidate pair without allocating: each action captures one pointer.
struct PairContext {
    Object* querier;
    Object* found;
    COLLISION::Collision* record;
};

void Arm(PairCallback& pair, PairContext& context)
{
    if (context.querier->onCollision)
        pair.first = [ctx = &context] { ctx->querier->onCollision(*ctx->querier, *ctx->found, *ctx->record); };
    if (context.found->onCollision && context.found->notifyWhenHit)
        pair.second = [ctx = &context] { ctx->found->onCollision(*ctx->querier, *ctx->found, *ctx->record); };
}

int32_t ToCell(float quotient)
{
    if (std::isnan(quotient))
        return 0;
    return static_cast<int32_t>(std::clamp(quotient, -CellLimit, CellLimit));
}

} // namespace

int32_t HGrid::Hash(int32_t x, int32_t y, int32_t z, int32_t level)
{
    // Fixed multipliers spread neighbouring cells and levels over the buckets; unsigned products wrap
    // like the 32-bit two's-complement arithmetic the hash is defined in.
    const uint32_t h = static_cast<uint32_t>(-189) * static_cast<uint32_t>(x) +
                       static_cast<uint32_t>(-225) * static_cast<uint32_t>(z) + 65u * static_cast<uint32_t>(y) +
                       461u * static_cast<uint32_t>(level);
    return static_cast<int32_t>(h & (NumBuckets - 1));
}

int32_t HGrid::CellOf(float coordinate, float cellSize)
{
    return ToCell(std::trunc(coordinate / cellSize));
}

HGrid::CellSpan HGrid::QuerySpan(float centre, float radius, float cellSize, float reach)
{
    // The floor/ceiling span around the query sphere, widened to every cell (objects are filed by
    // truncation) whose objects can reach the query sphere.
    const int32_t first =
        std::min(ToCell(std::floor((centre - radius) / cellSize)), CellOf(centre - radius - reach, cellSize));
    const int32_t last =
        std::max(ToCell(std::ceil((centre + radius) / cellSize)), CellOf(centre + radius + reach, cellSize));
    return {first, last};
}

float HGrid::LevelReach(int level, float cellSize) const
{
    // The top level also holds the clamped objects, which may reach further than its cells allow.
    const float reach =
        level == MaxLevels - 1 ? std::max(LevelReachFactor * cellSize, topLevelMaxRadius) : LevelReachFactor * cellSize;
    return reach * ReachSlack;
}

void HGrid::Link(Object& obj, int32_t bucket)
{
    obj.bucket = bucket;
    obj.prev = nullptr;
    obj.next = objectBucket[bucket];
    if (obj.next)
        obj.next->prev = &obj;
    objectBucket[bucket] = &obj;
}

void HGrid::Unlink(Object& obj)
{
    if (objectBucket[obj.bucket] == &obj) {
        objectBucket[obj.bucket] = obj.next;
        if (obj.next)
            obj.next->prev = nullptr;
    } else {
        if (obj.prev)
            obj.prev->next = obj.next;
        if (obj.next) // the tail has no successor to relink
            obj.next->prev = obj.prev;
    }
    obj.prev = nullptr;
    obj.next = nullptr;
}

void HGrid::AddObject(Object& obj)
{
    if (obj.IsFiled())
        RemoveObject(obj); // filing twice would link the object to itself

    float size = MinCellSize;
    int level = 0;
    const float diameter = 2.0f * obj.radius;
    while (diameter > size * SphereToCellRatio && level < MaxLevels - 1) {
        size *= CellSizeRatio;
        ++level;
    }
    if (level == MaxLevels - 1)
        topLevelMaxRadius = std::max(topLevelMaxRadius, obj.radius);

    const glm::vec3& p = obj.transform->position;
    obj.level = level;
    obj.cellSize = size;
    Link(obj, Hash(CellOf(p.x, size), CellOf(p.y, size), CellOf(p.z, size), level));
    objectsAtLevel[level] += 1;
    occupiedLevelsMask |= 1u << level;
}

void HGrid::RemoveObject(Object& obj)
{
    if (!obj.IsFiled())
        return;
    if (--objectsAtLevel[obj.level] == 0) {
        occupiedLevelsMask &= ~(1u << obj.level);
        if (obj.level == MaxLevels - 1)
            topLevelMaxRadius = 0.0f;
    }
    Unlink(obj);
    obj.bucket = -1;
    obj.level = -1;
    obj.cellSize = -1.0f;
}

void HGrid::MoveObject(Object& obj)
{
    if (!obj.IsFiled())
        return;
    const glm::vec3& p = obj.transform->position;
    const int32_t bucket =
        Hash(CellOf(p.x, obj.cellSize), CellOf(p.y, obj.cellSize), CellOf(p.z, obj.cellSize), obj.level);
    if (bucket == obj.bucket)
        return;
    Unlink(obj);
    Link(obj, bucket);
    occupiedLevelsMask |= 1u << obj.level;
}

void HGrid::CheckObjAgainstGrid(Object* obj)
{
    if (grid && obj)
        grid->Query(*obj);
}

void HGrid::Query(Object& obj)
{
    if (obj.tag == RayTag && obj.radius <= 0.0f)
        HandleRay(&obj);

    // Wraps instead of overflowing; a stale stamp would have to survive 2^32 queries to collide.
    tick = static_cast<int32_t>(static_cast<uint32_t>(tick) + 1u);
    if (!obj.owner)
        throw NullOwnerMessage;
    ICollisionComponent* component = obj.Collider();
    if (!component)
        return;

    const glm::vec3 p = obj.transform->position;
    const float r = obj.radius;
    int walked = 0; // buckets walked: once all are, every object has been seen
    float size = MinCellSize;
    uint32_t mask = occupiedLevelsMask;
    for (int level = 0; level < MaxLevels && mask != 0; ++level, mask >>= 1, size *= CellSizeRatio) {
        if (!(mask & 1u))
            continue;
        const float reach = LevelReach(level, size);
        const CellSpan xs = QuerySpan(p.x, r, size, reach);
        const CellSpan ys = QuerySpan(p.y, r, size, reach);
        const CellSpan zs = QuerySpan(p.z, r, size, reach);
        for (int32_t x = xs.first; x <= xs.last; ++x)
            for (int32_t y = ys.first; y <= ys.last; ++y)
                for (int32_t z = zs.first; z <= zs.last; ++z) {
                    const int32_t bucket = Hash(x, y, z, level);
                    if (timeStamp[bucket] == tick)
                        continue;
                    timeStamp[bucket] = tick;
                    for (Object* o = objectBucket[bucket]; o;) {
                        Object* next = o->next; // a callback may re-file the found object
                        if (o != &obj && !obj.Ignores(o->tag))
                            TestCandidate(obj, *o, *component);
                        o = next;
                    }
                    if (++walked == NumBuckets)
                        return;
                }
    }
}

void HGrid::TestCandidate(Object& obj, Object& found, ICollisionComponent& component)
{
    if (!found.owner)
        throw NullOwnerMessage;
    ICollisionComponent* foundComponent = found.Collider();
    if (!foundComponent)
        return;
    COLLISION::BoundingVolume* volume = foundComponent->Volume();
    const glm::vec3 d = obj.transform->position - found.transform->position;
    const float reach = volume->GetBoundingRadius() + obj.radius;
    if (glm::dot(d, d) > reach * reach)
        return;

    PairCallback pair;
    PairContext context{&obj, &found, &pair.record};
    Arm(pair, context);
    component.CollideWithVolume(volume, &pair.record, pair.first, pair.second);
}

void HGrid::HandleRay(Object* ray)
{
    if (!ray->owner)
        throw NullOwnerMessage;
    const auto rayComponent = ray->owner->GetComponent<CollisionComponent<COLLISION::Ray>>();
    if (!rayComponent)
        return;
    const COLLISION::Ray& volume = *rayComponent->volume;

    for (Object* head : objectBucket) {
        for (Object* o = head; o;) {
            Object* next = o->next;
            if (!ray->Ignores(o->tag) &&
                COLLISION::RayHitsSphere(volume.origin, volume.direction, o->transform->position, o->radius)) {
                if (!o->owner)
                    throw NullOwnerMessage;
                if (ICollisionComponent* found = o->Collider()) {
                    PairCallback pair;
                    PairContext context{ray, o, &pair.record};
                    Arm(pair, context);
                    rayComponent->CollideWithVolume(found->Volume(), &pair.record, pair.first, pair.second);
                }
            }
            o = next;
        }
    }
}
