// Grid bookkeeping: level choice, cell hashing, bucket lists under add, remove and move, the
// bucket entries' copies of their heads, level counts and the occupied-level mask.
#include "support/GridProbes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

using namespace testing_collision;

namespace {

// The objects of one bucket, head first, checking the back links, the count, the occupancy bit
// and the entry's copy of its head's sphere on the way.
std::vector<Object*> BucketList(const HGrid& g, int bucket)
{
    std::vector<Object*> list;
    Object* prev = nullptr;
    const HGrid::Bucket& entry = g.buckets[bucket];
    for (Object* o = entry.head; o; o = o->next) {
        EXPECT_EQ(o->prev, prev);
        EXPECT_EQ(o->bucket, bucket);
        list.push_back(o);
        prev = o;
    }
    EXPECT_EQ(entry.count, static_cast<int>(list.size()));
    EXPECT_EQ(((g.occupiedBuckets[bucket / 64] >> (bucket % 64)) & 1u) != 0u, !list.empty());
    if (entry.head) {
        EXPECT_EQ(entry.headCentre, entry.head->transform->position);
        EXPECT_EQ(entry.headCentre, entry.head->filedCentre);
        EXPECT_EQ(entry.headRadius, entry.head->filedRadius);
    }
    return list;
}

void ExpectUnfiled(const Object& o)
{
    EXPECT_FALSE(o.IsFiled());
    EXPECT_EQ(o.bucket, -1);
    EXPECT_EQ(o.level, -1);
    EXPECT_FLOAT_EQ(o.cellSize, -1.0f);
    EXPECT_EQ(o.prev, nullptr);
    EXPECT_EQ(o.next, nullptr);
}

} // namespace

TEST(GridHash, StaysInRangeAndSpreadsALevelsCellsOverTheBuckets)
{
    for (int x = -50; x <= 50; ++x)
        for (int l = 0; l < HGrid::MaxLevels; ++l) {
            const int h = HGrid::Hash(x, x / 3, -x, l);
            EXPECT_GE(h, 0);
            EXPECT_LT(h, HGrid::NumBuckets);
        }
    // Far-off coordinates wrap instead of overflowing.
    const int big = 2000000000;
    EXPECT_GE(HGrid::Hash(big, -big, big, HGrid::MaxLevels - 1), 0);
    EXPECT_LT(HGrid::Hash(big, -big, big, HGrid::MaxLevels - 1), HGrid::NumBuckets);
    // A run along z takes neighbouring buckets (the walk relies on it for cache lines), wrapping.
    EXPECT_EQ(HGrid::Hash(3, -4, 8, 2), (HGrid::Hash(3, -4, 7, 2) + 1) % HGrid::NumBuckets);
    // The cells of a flat 160 x 160 patch of one level, and the same patch on the next level,
    // land in nearly as many buckets as there are cells: a hash that repeats along a lattice of
    // cells (as a linear sum of the coordinates does) piles whole rows into a few buckets.
    for (int level : {0, 1}) {
        std::set<int> used;
        for (int x = -80; x < 80; ++x)
            for (int z = -80; z < 80; ++z)
                used.insert(HGrid::Hash(x, 0, z, level));
        EXPECT_GT(used.size(), 160u * 160u * 8u / 10u) << "level " << level;
    }
}

TEST(GridFiling, LevelIsTheFirstWhoseCellsHoldTheDiameter)
{
    GridScope g;
    auto small = MakeProbe({0, 0, 0}, 0.25f, SceneryTag, nullptr);   // diameter 0.5 <= 0.5
    auto larger = MakeProbe({0, 0, 0}, 0.26f, SceneryTag, nullptr);  // diameter 0.52 > 0.5, <= 1
    auto character = MakeProbe({0, 0, 0}, 1.4f, SceneryTag, nullptr); // 2.8: cells of 4
    g->AddObject(*small->gridObject);
    g->AddObject(*larger->gridObject);
    g->AddObject(*character->gridObject);
    EXPECT_EQ(small->gridObject->level, 0);
    EXPECT_FLOAT_EQ(small->gridObject->cellSize, 0.5f);
    EXPECT_EQ(larger->gridObject->level, 1);
    EXPECT_FLOAT_EQ(larger->gridObject->cellSize, 1.0f);
    EXPECT_EQ(character->gridObject->level, 3);
    EXPECT_FLOAT_EQ(character->gridObject->cellSize, 4.0f);
    EXPECT_EQ(g->objectsAtLevel[0], 1);
    EXPECT_EQ(g->objectsAtLevel[1], 1);
    EXPECT_EQ(g->objectsAtLevel[3], 1);
    EXPECT_EQ(g->occupiedLevelsMask, 0b1011u);

    // The game's ground box (half extents 36, 0, 36) sits on level 9 (cells of 256).
    auto ground = MakeProbe({9, 0, 9}, 1.5f * std::sqrt(2.0f * 36.0f * 36.0f), GroundTag, nullptr);
    g->AddObject(*ground->gridObject);
    EXPECT_EQ(ground->gridObject->level, 9);
    EXPECT_FLOAT_EQ(ground->gridObject->cellSize, 256.0f);

    // An object whose own radius is below its volume's is filed by the volume's: the query tests
    // the volume's radius, which must not reach past what the level promises.
    auto understated = MakeProbe({0, 0, 0}, 2.0f, SceneryTag, nullptr);
    understated->gridObject->radius = 0.1f;
    g->AddObject(*understated->gridObject);
    EXPECT_EQ(understated->gridObject->level, 3); // diameter 4
    EXPECT_FLOAT_EQ(understated->gridObject->filedRadius, 2.0f);
}

TEST(GridFiling, OversizedObjectIsClampedToTheTopLevel)
{
    GridScope g;
    auto huge = MakeProbe({0, 0, 0}, 10000.0f, SceneryTag, nullptr); // diameter 20000 > 16384
    g->AddObject(*huge->gridObject);
    EXPECT_EQ(huge->gridObject->level, HGrid::MaxLevels - 1);
    EXPECT_FLOAT_EQ(huge->gridObject->cellSize, 16384.0f);
    EXPECT_EQ(g->objectsAtLevel[HGrid::MaxLevels - 1], 1);
    EXPECT_EQ(g->occupiedLevelsMask, 1u << (HGrid::MaxLevels - 1));
    EXPECT_GE(g->LevelReach(HGrid::MaxLevels - 1, 16384.0f), 10000.0f);
    g->RemoveObject(*huge->gridObject);
    EXPECT_EQ(g->occupiedLevelsMask, 0u);
}

TEST(GridFiling, CellsRoundDownOnBothSidesOfZeroAndSpansCoverTheReach)
{
    GridScope g;
    // Rounding down: cell 0 is as wide as any other, and -0.5 lies in cell -1.
    EXPECT_EQ(HGrid::CellOf(0.5f, 1.0f), 0);
    EXPECT_EQ(HGrid::CellOf(-0.5f, 1.0f), -1);
    EXPECT_EQ(HGrid::CellOf(-1.0f, 1.0f), -1);
    EXPECT_EQ(HGrid::CellOf(-1.001f, 1.0f), -2);
    EXPECT_EQ(HGrid::CellOf(2.0f, 1.0f), 2); // a boundary belongs to the cell above it
    EXPECT_EQ(HGrid::CellOf(-9.0f, 4.0f), -3);
    auto probe = MakeProbe({-0.5f, 0, 0}, 0.3f, SceneryTag, nullptr); // level 1, cells of 1
    g->AddObject(*probe->gridObject);
    ASSERT_EQ(probe->gridObject->level, 1);
    EXPECT_EQ(probe->gridObject->bucket, HGrid::Hash(-1, 0, 0, 1));

    // A radius-0.3 query at -0.5 on a level whose objects reach 0.5: centres within 0.8 count,
    // so x from -1.3 to 0.3, cells -2 to 0.
    const HGrid::CellSpan span = HGrid::QuerySpan(-0.5f, 0.3f, 1.0f, 0.5f);
    EXPECT_EQ(span.first, -2);
    EXPECT_EQ(span.last, 0);
    const HGrid::CellSpan inside = HGrid::QuerySpan(5.5f, 0.1f, 1.0f, 0.2f); // 5.2 to 5.8
    EXPECT_EQ(inside.first, 5);
    EXPECT_EQ(inside.last, 5);
    const HGrid::CellSpan negative = HGrid::QuerySpan(-6.2f, 0.5f, 1.0f, 0.5f); // -7.2 to -5.2
    EXPECT_EQ(negative.first, -8);
    EXPECT_EQ(negative.last, -6);
    // Far from the origin a float step outgrows the reach slack; the span still covers it.
    const float far = 1.0e6f;
    const HGrid::CellSpan distant = HGrid::QuerySpan(far, 0.25f, 0.5f, 0.25f);
    EXPECT_LE(distant.first, HGrid::CellOf(far - 0.5f, 0.5f));
    EXPECT_GE(distant.last, HGrid::CellOf(far + 0.5f, 0.5f));
}

TEST(GridFiling, RemoveKeepsListsIntactAtHeadMiddleAndTail)
{
    GridScope g;
    std::vector<std::unique_ptr<DynamicActor>> probes;
    for (int i = 0; i < 5; ++i) {
        probes.push_back(MakeProbe({1.0f + 0.1f * i, 1, 1}, 0.5f, SceneryTag, nullptr)); // all in cell (1, 1, 1)
        g->AddObject(*probes.back()->gridObject);
    }
    Object* o[5];
    for (int i = 0; i < 5; ++i)
        o[i] = probes[i]->gridObject.get();
    const int bucket = o[0]->bucket;
    // Newest first.
    EXPECT_EQ(BucketList(*g, bucket), (std::vector<Object*>{o[4], o[3], o[2], o[1], o[0]}));

    g->RemoveObject(*o[2]); // middle
    ExpectUnfiled(*o[2]);
    EXPECT_EQ(BucketList(*g, bucket), (std::vector<Object*>{o[4], o[3], o[1], o[0]}));
    g->RemoveObject(*o[0]); // tail
    ExpectUnfiled(*o[0]);
    EXPECT_EQ(BucketList(*g, bucket), (std::vector<Object*>{o[4], o[3], o[1]}));
    g->RemoveObject(*o[4]); // head
    ExpectUnfiled(*o[4]);
    EXPECT_EQ(BucketList(*g, bucket), (std::vector<Object*>{o[3], o[1]}));
    EXPECT_EQ(g->objectsAtLevel[1], 2);

    // Removing or moving an object that is not filed does nothing.
    g->RemoveObject(*o[4]);
    g->MoveObject(*o[4]);
    ExpectUnfiled(*o[4]);
    EXPECT_EQ(g->objectsAtLevel[1], 2);
    EXPECT_EQ(g->filedCount, 2);

    g->RemoveObject(*o[3]);
    g->RemoveObject(*o[1]);
    EXPECT_TRUE(BucketList(*g, bucket).empty());
    EXPECT_EQ(g->objectsAtLevel[1], 0);
    EXPECT_EQ(g->occupiedLevelsMask, 0u);
    EXPECT_EQ(g->filedCount, 0);
    EXPECT_EQ(g->filedObjects, nullptr);

    // Filing twice re-files once instead of linking the object to itself.
    g->AddObject(*o[1]);
    g->AddObject(*o[1]);
    EXPECT_EQ(BucketList(*g, bucket), (std::vector<Object*>{o[1]}));
    EXPECT_EQ(g->objectsAtLevel[1], 1);
    EXPECT_EQ(g->filedCount, 1);
}

TEST(GridFiling, MovingBackAndForthKeepsTheCounts)
{
    GridScope g;
    auto mover = MakeProbe({1, 1, 1}, 0.5f, PlayerTag, nullptr); // level 1, cell (1, 1, 1)
    auto other = MakeProbe({1.8f, 1, 1}, 0.5f, SceneryTag, nullptr);
    g->AddObject(*other->gridObject);
    g->AddObject(*mover->gridObject);
    Object& m = *mover->gridObject;
    const int home = m.bucket;
    const int away = HGrid::Hash(-16, 1, 1, 1);
    ASSERT_NE(home, away);

    auto transform = m.transform;
    for (int i = 0; i < 3; ++i) {
        transform->position = {-15.5f, 1, 1}; // cell (-16, 1, 1)
        g->MoveObject(m);
        EXPECT_EQ(m.bucket, away);
        EXPECT_EQ(BucketList(*g, away), (std::vector<Object*>{&m}));
        EXPECT_EQ(BucketList(*g, home), (std::vector<Object*>{other->gridObject.get()}));
        transform->position = {1.5f, 1, 1};
        g->MoveObject(m);
        EXPECT_EQ(m.bucket, home);
        EXPECT_EQ(BucketList(*g, home), (std::vector<Object*>{&m, other->gridObject.get()}));
        EXPECT_EQ(g->objectsAtLevel[1], 2);
        EXPECT_EQ(m.level, 1);
    }
    // A move within the same cell leaves the list as it is but refreshes the head's sphere
    // (BucketList checks the entry's copy against the transform).
    transform->position = {1.9f, 1.9f, 1.9f};
    g->MoveObject(m);
    EXPECT_EQ(BucketList(*g, home), (std::vector<Object*>{&m, other->gridObject.get()}));
    EXPECT_EQ(m.filedCentre, glm::vec3(1.9f, 1.9f, 1.9f));
}

TEST(GridFiling, RemovingTheLastObjectOfALevelStopsTheWalkBelowIt)
{
    // The same query on a grid that once held a level-4 object and on one that never did must
    // walk the same buckets once that object is gone.
    int found = 0;
    auto count = [&found](Object&, Object&, COLLISION::Collision&) { ++found; };
    std::vector<int> stamped[2];
    for (int pass = 0; pass < 2; ++pass) {
        GridScope g;
        const auto filler = FileFarFiller(*g, 1000);
        auto querier = MakeProbe({0.5f, 0.5f, 0.5f}, 0.5f, PlayerTag, count);
        auto neighbour = MakeProbe({1.0f, 0.5f, 0.5f}, 0.5f, SceneryTag, nullptr);
        auto big = MakeProbe({7, 0, 0}, 4.0f, SceneryTag, nullptr); // diameter 8: level 4
        g->AddObject(*querier->gridObject);
        g->AddObject(*neighbour->gridObject);
        if (pass == 0) {
            g->AddObject(*big->gridObject);
            EXPECT_EQ(big->gridObject->level, 4);
            EXPECT_EQ(g->occupiedLevelsMask, 0b10010u);
            g->RemoveObject(*big->gridObject);
        }
        EXPECT_EQ(g->occupiedLevelsMask, 0b10u); // the filler shares level 1
        EXPECT_EQ(g->objectsAtLevel[4], 0);
        HGrid::CheckObjAgainstGrid(querier->gridObject.get());
        for (int b = 0; b < HGrid::NumBuckets; ++b)
            if (g->buckets[b].stamp == g->tick)
                stamped[pass].push_back(b);
    }
    EXPECT_FALSE(stamped[0].empty());
    EXPECT_EQ(stamped[0], stamped[1]);
    EXPECT_EQ(found, 2); // the neighbour, once in each pass
}
