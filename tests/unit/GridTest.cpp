// Grid bookkeeping: level choice, cell hashing, bucket lists under add, remove and move, level
// counts and the occupied-level mask.
#include "support/GridProbes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace testing_collision;

namespace {

// The objects of one bucket, head first, checking the back links on the way.
std::vector<Object*> BucketList(const HGrid& g, int bucket)
{
    std::vector<Object*> list;
    Object* prev = nullptr;
    for (Object* o = g.objectBucket[bucket]; o; o = o->next) {
        EXPECT_EQ(o->prev, prev);
        EXPECT_EQ(o->bucket, bucket);
        list.push_back(o);
        prev = o;
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

TEST(GridHash, WrapsNegativeCellsIntoTenBits)
{
    EXPECT_EQ(HGrid::Hash(0, 0, 0, 0), 0);
    EXPECT_EQ(HGrid::Hash(1, 0, 0, 0), (-189) & 1023);
    EXPECT_EQ(HGrid::Hash(0, 1, 0, 2), (65 + 2 * 461) & 1023);
    EXPECT_EQ(HGrid::Hash(-1, -1, -1, 0), (189 + 225 - 65) & 1023);
    EXPECT_EQ(HGrid::Hash(0, 0, -3, 9), (675 + 9 * 461) & 1023);
    // Large coordinates wrap instead of overflowing.
    const int big = 2000000000;
    EXPECT_EQ(HGrid::Hash(big, 0, 0, 0), static_cast<int>((static_cast<uint32_t>(big) * 4294967107u) & 1023u));
    for (int x = -50; x <= 50; ++x)
        for (int l = 0; l < HGrid::MaxLevels; ++l) {
            const int h = HGrid::Hash(x, x / 3, -x, l);
            EXPECT_GE(h, 0);
            EXPECT_LT(h, HGrid::NumBuckets);
        }
}

TEST(GridFiling, LevelFollowsDiameterAgainstAQuarterCell)
{
    GridScope g;
    auto small = MakeProbe({0, 0, 0}, 0.6f, SceneryTag, nullptr);
    auto larger = MakeProbe({0, 0, 0}, 0.6f, SceneryTag, nullptr);
    small->gridObject->radius = 0.6f;  // diameter 1.2 <= 1.25
    larger->gridObject->radius = 0.7f; // diameter 1.4 > 1.25, <= 2.5
    g->AddObject(*small->gridObject);
    g->AddObject(*larger->gridObject);
    EXPECT_EQ(small->gridObject->level, 0);
    EXPECT_FLOAT_EQ(small->gridObject->cellSize, 5.0f);
    EXPECT_EQ(larger->gridObject->level, 1);
    EXPECT_FLOAT_EQ(larger->gridObject->cellSize, 10.0f);
    EXPECT_EQ(g->objectsAtLevel[0], 1);
    EXPECT_EQ(g->objectsAtLevel[1], 1);
    EXPECT_EQ(g->occupiedLevelsMask, 0b11u);

    // The game's ground box (half extents 36, 0, 36) sits on level 7 (cells of 640).
    auto ground = MakeProbe({9, 0, 9}, 1.5f * std::sqrt(2.0f * 36.0f * 36.0f), GroundTag, nullptr);
    g->AddObject(*ground->gridObject);
    EXPECT_EQ(ground->gridObject->level, 7);
    EXPECT_FLOAT_EQ(ground->gridObject->cellSize, 640.0f);
}

TEST(GridFiling, OversizedObjectIsClampedToTheTopLevel)
{
    GridScope g;
    auto huge = MakeProbe({0, 0, 0}, 1000.0f, SceneryTag, nullptr); // diameter 2000 > 640
    g->AddObject(*huge->gridObject);
    EXPECT_EQ(huge->gridObject->level, HGrid::MaxLevels - 1);
    EXPECT_FLOAT_EQ(huge->gridObject->cellSize, 2560.0f);
    EXPECT_EQ(g->objectsAtLevel[HGrid::MaxLevels - 1], 1);
    EXPECT_EQ(g->occupiedLevelsMask, 1u << (HGrid::MaxLevels - 1));
    g->RemoveObject(*huge->gridObject);
    EXPECT_EQ(g->occupiedLevelsMask, 0u);
}

TEST(GridFiling, CellsTruncateTowardZeroWhileQueriesFloorAndCeil)
{
    GridScope g;
    auto probe = MakeProbe({-0.5f, 0, 0}, 0.3f, SceneryTag, nullptr);
    g->AddObject(*probe->gridObject);
    EXPECT_EQ(HGrid::CellOf(-0.5f, 5.0f), 0);
    EXPECT_EQ(probe->gridObject->bucket, HGrid::Hash(0, 0, 0, 0));
    // A radius-0.3 query there spans x from -1 to 0, even allowing for the largest level-0 object.
    const HGrid::CellSpan span = HGrid::QuerySpan(-0.5f, 0.3f, 5.0f, 0.625f);
    EXPECT_EQ(span.first, -1);
    EXPECT_EQ(span.last, 0);
    // Away from zero the span widens to the cell whose objects can still reach the query.
    const HGrid::CellSpan edge = HGrid::QuerySpan(5.2f, 0.1f, 5.0f, 0.625f);
    EXPECT_EQ(edge.first, 0); // an object at 4.9 lives in cell 0 and reaches 5.1
    EXPECT_EQ(edge.last, 2);
    const HGrid::CellSpan negative = HGrid::QuerySpan(-6.0f, 0.5f, 5.0f, 0.625f);
    EXPECT_EQ(negative.first, -2);
    EXPECT_EQ(negative.last, 0); // an object at -4.9 lives in cell 0
}

TEST(GridFiling, RemoveKeepsListsIntactAtHeadMiddleAndTail)
{
    GridScope g;
    std::vector<std::unique_ptr<DynamicActor>> probes;
    for (int i = 0; i < 5; ++i) {
        probes.push_back(MakeProbe({1.0f + 0.1f * i, 1, 1}, 0.5f, SceneryTag, nullptr)); // all in cell (0, 0, 0)
        g->AddObject(*probes.back()->gridObject);
    }
    Object* o[5];
    for (int i = 0; i < 5; ++i)
        o[i] = probes[i]->gridObject;
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
    EXPECT_EQ(g->objectsAtLevel[0], 2);

    // Removing or moving an object that is not filed does nothing.
    g->RemoveObject(*o[4]);
    g->MoveObject(*o[4]);
    ExpectUnfiled(*o[4]);
    EXPECT_EQ(g->objectsAtLevel[0], 2);

    g->RemoveObject(*o[3]);
    g->RemoveObject(*o[1]);
    EXPECT_EQ(g->objectBucket[bucket], nullptr);
    EXPECT_EQ(g->objectsAtLevel[0], 0);
    EXPECT_EQ(g->occupiedLevelsMask, 0u);

    // Filing twice re-files once instead of linking the object to itself.
    g->AddObject(*o[1]);
    g->AddObject(*o[1]);
    EXPECT_EQ(BucketList(*g, bucket), (std::vector<Object*>{o[1]}));
    EXPECT_EQ(g->objectsAtLevel[0], 1);
}

TEST(GridFiling, MovingBackAndForthKeepsTheCounts)
{
    GridScope g;
    auto mover = MakeProbe({1, 1, 1}, 0.5f, PlayerTag, nullptr);
    auto other = MakeProbe({2, 1, 1}, 0.5f, SceneryTag, nullptr);
    g->AddObject(*other->gridObject);
    g->AddObject(*mover->gridObject);
    Object& m = *mover->gridObject;
    const int home = m.bucket;
    const int away = HGrid::Hash(-3, 0, 0, 0);
    ASSERT_NE(home, away);

    auto transform = m.transform;
    for (int i = 0; i < 3; ++i) {
        transform->position = {-16, 1, 1}; // cell (-3, 0, 0)
        g->MoveObject(m);
        EXPECT_EQ(m.bucket, away);
        EXPECT_EQ(BucketList(*g, away), (std::vector<Object*>{&m}));
        EXPECT_EQ(BucketList(*g, home), (std::vector<Object*>{other->gridObject}));
        transform->position = {1.5f, 1, 1};
        g->MoveObject(m);
        EXPECT_EQ(m.bucket, home);
        EXPECT_EQ(BucketList(*g, home), (std::vector<Object*>{&m, other->gridObject}));
        EXPECT_EQ(g->objectsAtLevel[0], 2);
        EXPECT_EQ(m.level, 0);
    }
    // A move within the same cell leaves the list as it is.
    transform->position = {4.9f, 4.9f, 4.9f};
    g->MoveObject(m);
    EXPECT_EQ(BucketList(*g, home), (std::vector<Object*>{&m, other->gridObject}));
}

TEST(GridFiling, RemovingTheLastObjectOfALevelStopsTheWalkBelowIt)
{
    // The same query on a grid that once held a level-3 object and on one that never did must
    // walk the same buckets once that object is gone.
    int found = 0;
    auto count = [&found](Object&, Object&, COLLISION::Collision&) { ++found; };
    std::vector<int> stamped[2];
    for (int pass = 0; pass < 2; ++pass) {
        GridScope g;
        auto querier = MakeProbe({0.5f, 0.5f, 0.5f}, 0.5f, PlayerTag, count);
        auto neighbour = MakeProbe({1.0f, 0.5f, 0.5f}, 0.5f, SceneryTag, nullptr);
        auto big = MakeProbe({7, 0, 0}, 4.0f, SceneryTag, nullptr); // diameter 8: level 3
        g->AddObject(*querier->gridObject);
        g->AddObject(*neighbour->gridObject);
        if (pass == 0) {
            g->AddObject(*big->gridObject);
            EXPECT_EQ(big->gridObject->level, 3);
            EXPECT_EQ(g->occupiedLevelsMask, 0b1001u);
            g->RemoveObject(*big->gridObject);
        }
        EXPECT_EQ(g->occupiedLevelsMask, 0b1u);
        EXPECT_EQ(g->objectsAtLevel[3], 0);
        HGrid::CheckObjAgainstGrid(querier->gridObject);
        for (int b = 0; b < HGrid::NumBuckets; ++b)
            if (g->timeStamp[b] == g->tick)
                stamped[pass].push_back(b);
    }
    EXPECT_FALSE(stamped[0].empty());
    EXPECT_EQ(stamped[0], stamped[1]);
    EXPECT_EQ(found, 2); // the neighbour, once in each pass
}
