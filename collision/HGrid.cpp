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

// Objects on a level reach at most half a cell (times the sphere-to-cell ratio) from their centre.
constexpr float LevelReachFactor = 0.5f * HGrid::SphereToCellRatio;
// A hair of slack on every reach, so rounding in the candidate test cannot reach past the cells a
// query walks.
constexpr float ReachSlack = 1.001f;
// Relative slack on the ends of a query span: covers the rounding of centre +- margin far from
// the origin, where a float step exceeds the reach slack.
constexpr float SpanSlack = 1.0e-6f;
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

// Copies what a query needs of obj into its own fields: the centre, the owner's volume and its
// bounding radius. Returns the radius the object is filed with, the larger of its own radius and
// the volume's, so that no test can reach past the cells its level promises.
float Refresh(Object& obj)
{
    obj.filedCentre = obj.transform->position;
    ICollisionComponent* component = obj.Collider();
    obj.filedVolume = component ? component->Volume() : nullptr;
    obj.filedRadius = obj.filedVolume ? obj.filedVolume->GetBoundingRadius() : obj.radius;
    return std::max(obj.radius, obj.filedRadius);
}

// The querier's ignore list as a bit set over the tags 0..31; any other tag is looked up in the list.
class IgnoreSet {
public:
    explicit IgnoreSet(const Object& obj) : obj_(obj)
    {
        for (int32_t t : obj.ignoreTags)
            if (static_cast<uint32_t>(t) < 32u)
                bits_ |= 1u << t;
    }
    bool operator()(int32_t tag) const
    {
        return static_cast<uint32_t>(tag) < 32u ? ((bits_ >> tag) & 1u) != 0u : obj_.Ignores(tag);
    }

private:
    const Object& obj_;
    uint32_t bits_ = 0;
};

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
    return ToCell(std::floor(coordinate / cellSize));
}

HGrid::CellSpan HGrid::QuerySpan(float centre, float radius, float cellSize, float reach)
{
    // Every cell whose objects can touch the query sphere: their centres lie within radius + reach.
    const float margin = radius + reach;
    const float slack = SpanSlack * (std::abs(centre) + margin);
    return {CellOf(centre - margin - slack, cellSize), CellOf(centre + margin + slack, cellSize)};
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

    const float radius = Refresh(obj);
    float size = MinCellSize;
    int level = 0;
    const float diameter = 2.0f * radius;
    while (diameter > size * SphereToCellRatio && level < MaxLevels - 1) {
        size *= CellSizeRatio;
        ++level;
    }
    if (level == MaxLevels - 1)
        topLevelMaxRadius = std::max(topLevelMaxRadius, radius);

    const glm::vec3& p = obj.filedCentre;
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
    const float radius = Refresh(obj);
    if (obj.level < MaxLevels - 1 && 2.0f * radius > obj.cellSize * SphereToCellRatio) {
        AddObject(obj); // its volume grew past what its level's cells hold
        return;
    }
    if (obj.level == MaxLevels - 1)
        topLevelMaxRadius = std::max(topLevelMaxRadius, radius);
    const glm::vec3& p = obj.filedCentre;
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

    const IgnoreSet ignores(obj);
    // The querier's own sphere is read live; a callback may move it, so it is read again after
    // every exact test.
    glm::vec3 p = obj.transform->position;
    float r = obj.radius;

    auto walkBucket = [&](int32_t bucket) {
        for (Object* o = objectBucket[bucket]; o;) {
            Object* next = o->next; // a callback may re-file the found object
            const glm::vec3 d = p - o->filedCentre;
            const float reach = o->filedRadius + r;
            if (glm::dot(d, d) <= reach * reach && o != &obj && !ignores(o->tag)) {
                if (!o->owner)
                    throw NullOwnerMessage;
                if (o->filedVolume) {
                    PairCallback pair;
                    PairContext context{&obj, o, &pair.record};
                    Arm(pair, context);
                    component->CollideWithVolume(o->filedVolume, &pair.record, std::move(pair.first),
                                                 std::move(pair.second));
                    p = obj.transform->position;
                    r = obj.radius;
                }
            }
            o = next;
        }
    };

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
        const int64_t cells = (int64_t{xs.last} - xs.first + 1) * (int64_t{ys.last} - ys.first + 1) *
                              (int64_t{zs.last} - zs.first + 1);
        if (cells >= NumBuckets) {
            // A query far larger than this level's cells: every bucket once is cheaper than the cells.
            for (int32_t bucket = 0; bucket < NumBuckets; ++bucket)
                if (timeStamp[bucket] != tick) {
                    timeStamp[bucket] = tick;
                    walkBucket(bucket);
                }
            return;
        }
        for (int32_t x = xs.first; x <= xs.last; ++x)
            for (int32_t y = ys.first; y <= ys.last; ++y)
                for (int32_t z = zs.first; z <= zs.last; ++z) {
                    const int32_t bucket = Hash(x, y, z, level);
                    if (timeStamp[bucket] == tick)
                        continue;
                    timeStamp[bucket] = tick;
                    walkBucket(bucket);
                    if (++walked == NumBuckets)
                        return;
                }
    }
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
