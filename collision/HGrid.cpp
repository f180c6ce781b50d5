#include "collision/HGrid.h"

#include "collision/BoundingVolume.h"
#include "collision/ICollisionComponent.h"
#include "collision/Object.h"
#include "collision/PairTests.h"
#include "collision/Ray.h"
#include "scene/components/TransformComponent.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

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

void NoAction() {}

// The two follow-up actions of a candidate, built in place of the exact test's arguments: the
// querier's callback, then the found object's when it wants to hear of being hit; a no-op otherwise.
std::function<void()> QuerierAction(PairContext& context)
{
    if (!context.querier->onCollision)
        return NoAction;
    return [ctx = &context] { ctx->querier->onCollision(*ctx->querier, *ctx->found, *ctx->record); };
}

std::function<void()> FoundAction(PairContext& context)
{
    if (!context.found->onCollision || !context.found->notifyWhenHit)
        return NoAction;
    return [ctx = &context] { ctx->found->onCollision(*ctx->querier, *ctx->found, *ctx->record); };
}

// The quotient rounded down, clamped into range. Rounded by hand: without SSE4.1, std::floor is a
// library call, and the query rounds six quotients per level.
int32_t ToCell(float quotient)
{
    if (std::isnan(quotient))
        return 0;
    const float clamped = std::clamp(quotient, -CellLimit, CellLimit);
    const int32_t truncated = static_cast<int32_t>(clamped);
    return static_cast<float>(truncated) > clamped ? truncated - 1 : truncated;
}

// The part of a cell's bucket that x, y and the level decide: odd multipliers, then a finaliser
// that folds the high bits into the low ones the mask keeps.
uint32_t MixColumn(int32_t x, int32_t y, int32_t level)
{
    uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u + static_cast<uint32_t>(y) * 0xD8163841u +
                 static_cast<uint32_t>(level) * 0x165667B1u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    return h;
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
    // x, y and the level are mixed; z is added afterwards, so the run of cells a query walks along
    // z lands in consecutive buckets (neighbouring bits of the occupancy set, shared cache lines).
    // A plain linear sum of all four would send whole lattices of cells to one bucket.
    return static_cast<int32_t>((MixColumn(x, y, level) + static_cast<uint32_t>(z)) & (NumBuckets - 1));
}

namespace {

// Cells by multiplying with the inverse size, worked out once per level by the query; filing goes
// through the same function, so both round every position the same way.
int32_t ScaledCell(float coordinate, float inverseSize)
{
    return ToCell(coordinate * inverseSize);
}

HGrid::CellSpan ScaledSpan(float centre, float radius, float inverseSize, float reach)
{
    // Every cell whose objects can touch the query sphere: their centres lie within radius + reach.
    const float margin = radius + reach;
    const float slack = SpanSlack * (std::abs(centre) + margin);
    return {ScaledCell(centre - margin - slack, inverseSize), ScaledCell(centre + margin + slack, inverseSize)};
}

} // namespace

int32_t HGrid::CellOf(float coordinate, float cellSize)
{
    return ScaledCell(coordinate, 1.0f / cellSize);
}

HGrid::CellSpan HGrid::QuerySpan(float centre, float radius, float cellSize, float reach)
{
    return ScaledSpan(centre, radius, 1.0f / cellSize, reach);
}

float HGrid::LevelReach(int level, float cellSize) const
{
    // The top level also holds the clamped objects, which may reach further than its cells allow.
    const float reach =
        level == MaxLevels - 1 ? std::max(LevelReachFactor * cellSize, topLevelMaxRadius) : LevelReachFactor * cellSize;
    return reach * ReachSlack;
}

void HGrid::CopyHead(int32_t bucket)
{
    Bucket& b = buckets[bucket];
    if (!b.head)
        return;
    b.headCentre = b.head->filedCentre;
    b.headRadius = b.head->filedRadius;
}

void HGrid::Link(Object& obj, int32_t bucket)
{
    Bucket& b = buckets[bucket];
    obj.bucket = bucket;
    obj.prev = nullptr;
    obj.next = b.head;
    if (obj.next)
        obj.next->prev = &obj;
    b.head = &obj;
    if (b.count++ == 0)
        occupiedBuckets[bucket >> 6] |= uint64_t{1} << (bucket & 63);
    CopyHead(bucket);
}

void HGrid::Unlink(Object& obj)
{
    Bucket& b = buckets[obj.bucket];
    if (b.head == &obj) {
        b.head = obj.next;
        if (obj.next)
            obj.next->prev = nullptr;
        CopyHead(obj.bucket);
    } else {
        if (obj.prev)
            obj.prev->next = obj.next;
        if (obj.next) // the tail has no successor to relink
            obj.next->prev = obj.prev;
    }
    if (--b.count == 0)
        occupiedBuckets[obj.bucket >> 6] &= ~(uint64_t{1} << (obj.bucket & 63));
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
    const int32_t x = CellOf(p.x, size), y = CellOf(p.y, size), z = CellOf(p.z, size);
    Occupy(level, x, y, z);
    Link(obj, Hash(x, y, z, level));
    obj.filedPrev = nullptr;
    obj.filedNext = filedObjects;
    if (filedObjects)
        filedObjects->filedPrev = &obj;
    filedObjects = &obj;
    ++filedCount;
    objectsAtLevel[level] += 1;
    occupiedLevelsMask |= 1u << level;
}

void HGrid::Occupy(int level, int32_t x, int32_t y, int32_t z)
{
    CellBox& box = levelCells[level];
    const int32_t cell[3] = {x, y, z};
    for (int axis = 0; axis < 3; ++axis) {
        // An empty level starts its box afresh; it only ever grows while the level has objects.
        box.min[axis] = objectsAtLevel[level] == 0 ? cell[axis] : std::min(box.min[axis], cell[axis]);
        box.max[axis] = objectsAtLevel[level] == 0 ? cell[axis] : std::max(box.max[axis], cell[axis]);
    }
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
    if (obj.filedPrev)
        obj.filedPrev->filedNext = obj.filedNext;
    else
        filedObjects = obj.filedNext;
    if (obj.filedNext)
        obj.filedNext->filedPrev = obj.filedPrev;
    obj.filedPrev = nullptr;
    obj.filedNext = nullptr;
    --filedCount;
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
    const int32_t x = CellOf(p.x, obj.cellSize), y = CellOf(p.y, obj.cellSize), z = CellOf(p.z, obj.cellSize);
    Occupy(obj.level, x, y, z); // a new cell may share the old bucket, but not the old box
    const int32_t bucket = Hash(x, y, z, obj.level);
    if (bucket == obj.bucket) {
        if (buckets[bucket].head == &obj)
            CopyHead(bucket); // its sphere moved within the bucket
        return;
    }
    Unlink(obj);
    Link(obj, bucket);
    occupiedLevelsMask |= 1u << obj.level;
}

void HGrid::CheckObjAgainstGrid(Object* obj)
{
    if (grid && obj)
        grid->Query(*obj);
}

// What a query carries through its walk: the querier, its component and ignore list, and its own
// sphere, read live because a callback may move it.
struct HGrid::Querier {
    Object& obj;
    ICollisionComponent& component;
    IgnoreSet ignores;
    glm::vec3 centre;
    float radius;
};

// The cells a query walks: per level, the spans that hold occupied cells, and their cell count.
struct HGrid::LevelPlan {
    CellSpan spans[MaxLevels][3];
    uint32_t levels = 0; // bit per level with a span to walk
    int64_t cells = 0;
};

void HGrid::Query(Object& obj)
{
    // A ray meets every filed object in its own walk; the sphere walk below would meet those
    // around its origin a second time.
    if (obj.tag == RayTag && obj.radius <= 0.0f) {
        HandleRay(&obj);
        return;
    }
    NextTick();
    if (!obj.owner)
        throw std::logic_error(NullOwnerMessage);
    ICollisionComponent* component = obj.Collider();
    if (!component)
        return;

    Querier querier{obj, *component, IgnoreSet(obj), obj.transform->position, obj.radius};
    LevelPlan plan;
    PlanLevels(querier.centre, querier.radius, plan);
    // A query wider than the scene has objects (the ground, say) tests each object once instead.
    if (plan.cells >= filedCount)
        TestEveryFiled(querier);
    else
        WalkPlannedCells(querier, plan);
}

void HGrid::NextTick()
{
    // Wraps instead of overflowing; a stale stamp would have to survive 2^32 queries to collide.
    tick = static_cast<int32_t>(static_cast<uint32_t>(tick) + 1u);
}

void HGrid::PlanLevels(const glm::vec3& p, float r, LevelPlan& plan) const
{
    float size = MinCellSize;
    for (int level = 0; level < MaxLevels && (occupiedLevelsMask >> level) != 0; ++level, size *= CellSizeRatio) {
        CellSpan(&spans)[3] = plan.spans[level];
        if (!((occupiedLevelsMask >> level) & 1u) || !LevelSpans(level, size, p, r, spans))
            continue;
        plan.levels |= 1u << level;
        plan.cells += (int64_t{spans[0].last} - spans[0].first + 1) * (int64_t{spans[1].last} - spans[1].first + 1) *
                      (int64_t{spans[2].last} - spans[2].first + 1);
    }
}

void HGrid::TestCandidate(Querier& q, Object* o, const glm::vec3& centre, float radius)
{
    const glm::vec3 d = q.centre - centre;
    const float reach = radius + q.radius;
    if (glm::dot(d, d) <= reach * reach && o != &q.obj && !q.ignores(o->tag)) [[unlikely]] {
        if (ExactTest(q.obj, *o, q.component)) {
            q.centre = q.obj.transform->position;
            q.radius = q.obj.radius;
        }
    }
}

void HGrid::TestEveryFiled(Querier& q)
{
    for (Object* o = filedObjects; o;) {
        Object* next = o->filedNext; // saved first: a callback may re-file o
        TestCandidate(q, o, o->filedCentre, o->filedRadius);
        o = next;
    }
}

void HGrid::WalkPlannedCells(Querier& q, const LevelPlan& plan)
{
    uint32_t levels = plan.levels;
    for (int level = 0; levels != 0; ++level, levels >>= 1)
        if (levels & 1u)
            WalkLevelCells(q, level, plan.spans[level]);
}

void HGrid::WalkLevelCells(Querier& q, int level, const CellSpan (&span)[3])
{
    // A run of cells along z is a run of consecutive buckets: its occupied ones are read off the
    // occupancy words, a word at a time.
    const uint32_t length =
        static_cast<uint32_t>(std::min<int64_t>(int64_t{span[2].last} - span[2].first + 1, NumBuckets));
    for (int32_t x = span[0].first; x <= span[0].last; ++x)
        for (int32_t y = span[1].first; y <= span[1].last; ++y) {
            uint32_t first = (MixColumn(x, y, level) + static_cast<uint32_t>(span[2].first)) & (NumBuckets - 1);
            for (uint32_t left = length; left > 0;) {
                const uint32_t bit = first & 63u;
                const uint32_t take = std::min(left, 64u - bit);
                uint64_t bits = occupiedBuckets[first >> 6] >> bit;
                if (take < 64u)
                    bits &= (uint64_t{1} << take) - 1u;
                for (; bits != 0; bits &= bits - 1)
                    WalkBucket(q, static_cast<int32_t>(first + static_cast<uint32_t>(__builtin_ctzll(bits))));
                first = (first + take) & (NumBuckets - 1);
                left -= take;
            }
        }
}

void HGrid::WalkBucket(Querier& q, int32_t bucket)
{
    // Several cells or levels may share a bucket: the stamp lets a query walk it once.
    Bucket& b = buckets[bucket];
    if (b.stamp == tick || !b.head)
        return;
    b.stamp = tick;
    Object* head = b.head;
    // Saved first: a callback may re-file the objects of this bucket.
    Object* next = b.count > 1 ? head->next : nullptr;
    TestCandidate(q, head, b.headCentre, b.headRadius);
    for (Object* o = next; o;) {
        next = o->next;
        TestCandidate(q, o, o->filedCentre, o->filedRadius);
        o = next;
    }
}

bool HGrid::ExactTest(Object& obj, Object& found, ICollisionComponent& component)
{
    if (!found.owner)
        throw std::logic_error(NullOwnerMessage);
    if (!found.filedVolume)
        return false;
    COLLISION::Collision record{};
    PairContext context{&obj, &found, &record};
    component.CollideWithVolume(found.filedVolume, &record, QuerierAction(context), FoundAction(context));
    return true;
}

bool HGrid::LevelSpans(int level, float cellSize, const glm::vec3& p, float r, CellSpan (&spans)[3]) const
{
    const float reach = LevelReach(level, cellSize);
    const float inverseSize = 1.0f / cellSize;
    const CellBox& box = levelCells[level];
    for (int axis = 0; axis < 3; ++axis) {
        const CellSpan span = ScaledSpan(p[axis], r, inverseSize, reach);
        spans[axis] = {std::max(span.first, box.min[axis]), std::min(span.last, box.max[axis])};
        if (spans[axis].first > spans[axis].last)
            return false;
    }
    return true;
}

void HGrid::HandleRay(Object* ray)
{
    if (!ray->owner)
        throw std::logic_error(NullOwnerMessage);
    ICollisionComponent* rayComponent = ray->Collider();
    COLLISION::BoundingVolume* rayVolume = rayComponent ? rayComponent->Volume() : nullptr;
    if (!rayVolume || rayVolume->shapeType != COLLISION::RayShape)
        return;
    const auto& volume = static_cast<const COLLISION::Ray&>(*rayVolume);

    // Every filed object, newest first: a ray has no cells to narrow it. Its filed sphere, as the
    // sphere walk tests it, decides which objects go on to the exact test.
    for (Object* o = filedObjects; o;) {
        Object* next = o->filedNext;
        if (o != ray && !ray->Ignores(o->tag) &&
            COLLISION::RayHitsSphere(volume.origin, volume.direction, o->filedCentre, o->filedRadius))
            ExactTest(*ray, *o, *rayComponent);
        o = next;
    }
}
