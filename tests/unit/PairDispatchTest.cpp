// The dispatch of BoundingVolume::CollideWith over every ordered pair of kinds: each pair that has
// a test reaches it from both sides with the same answer, the pairs without one answer false from
// both, and a solid pair that pushes moves each side away from the other by the same amount.
#include "support/CollisionHelpers.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <utility>

using namespace COLLISION;
using testing_collision::MakeCapsule;
using testing_collision::MakeCube;
using testing_collision::MakeOBB;
using testing_collision::MakeSphere;
using testing_collision::MakeTriangle;

namespace {

constexpr int KindCount = RayShape + 1;
const char* const KindNames[KindCount] = {"sphere", "triangle", "cube", "obb", "capsule", "ray"};

// One trigger volume of each kind, all overlapping one another about the origin: the floor
// triangle crosses every solid one, and the ray runs through them along +X.
std::array<std::shared_ptr<BoundingVolume>, KindCount> OverlappingSet()
{
    auto ray = std::make_shared<Ray>(glm::vec3(-5, 0.1f, 0.1f), glm::vec3(1, 0, 0));
    return {MakeSphere({0, 0, 0}, 1, true),
            MakeTriangle({-3, 0, -3}, {0, 0, 3}, {3, 0, -3}, true),
            MakeCube({0, 0, 0}, {1, 1, 1}, true),
            MakeOBB({0, 0, 0}, {1, 1, 1}, 30.0f, {0, 1, 0}, true),
            MakeCapsule({0, -1, 0}, {0, 1, 0}, 0.5f, true),
            ray};
}

// The kinds with no test between them: a triangle meets only spheres, boxes and capsules, an
// oriented box no ray, and two rays never touch.
bool HasTest(int a, int b)
{
    const std::set<std::pair<int, int>> none{{TriangleShape, TriangleShape},
                                             {TriangleShape, OBBShape},
                                             {TriangleShape, RayShape},
                                             {OBBShape, RayShape},
                                             {RayShape, RayShape}};
    return !none.count({std::min(a, b), std::max(a, b)});
}

bool Collide(BoundingVolume& self, BoundingVolume& other)
{
    TransformComponent owner;
    Collision record;
    return self.CollideWith(&other, &owner, &record);
}

// How far `self`'s owner moves when it queries `other`.
glm::vec3 Push(BoundingVolume& self, BoundingVolume& other)
{
    TransformComponent owner;
    Collision record;
    EXPECT_TRUE(self.CollideWith(&other, &owner, &record));
    return owner.position;
}

} // namespace

TEST(PairDispatch, EveryPairOfKindsAnswersTheSameFromBothSides)
{
    for (int a = 0; a < KindCount; ++a)
        for (int b = 0; b < KindCount; ++b) {
            SCOPED_TRACE(std::string(KindNames[a]) + " against " + KindNames[b]);
            // Fresh volumes for each pair, so two of one kind are two objects.
            auto first = OverlappingSet()[a];
            auto second = OverlappingSet()[b];
            ASSERT_EQ(first->shapeType, a);
            EXPECT_EQ(Collide(*first, *second), HasTest(a, b));
            EXPECT_EQ(Collide(*second, *first), HasTest(a, b));

            // Far apart, no pair touches from either side.
            second->SetPosition(second->GetCenter() + glm::vec3(100, 100, 100));
            EXPECT_FALSE(Collide(*first, *second));
            EXPECT_FALSE(Collide(*second, *first));
        }
}

TEST(PairDispatch, SolidPairsPushEachSideAwayFromTheOtherAlike)
{
    // The kinds actors own, overlapping off-centre so that every normal is well defined.
    struct Case {
        const char* name;
        std::shared_ptr<BoundingVolume> a;
        std::shared_ptr<BoundingVolume> b;
    };
    const Case cases[] = {
        {"sphere-sphere", MakeSphere({0, 0, 0}, 1), MakeSphere({1.5f, 0.2f, 0}, 1)},
        {"sphere-cube", MakeSphere({1.6f, 0.1f, 0}, 1), MakeCube({0, 0, 0}, {1, 1, 1})},
        {"sphere-capsule", MakeSphere({0.9f, 1, 0.1f}, 0.6f), MakeCapsule({0, 0, 0}, {0, 2, 0}, 0.5f)},
        {"cube-cube", MakeCube({0, 0, 0}, {1, 1, 1}), MakeCube({1.5f, 0.2f, 0.1f}, {1, 1, 1})},
        {"cube-capsule", MakeCube({0, 0, 0}, {1, 1, 1}), MakeCapsule({1.3f, -0.5f, 0}, {1.3f, 0.5f, 0.2f}, 0.5f)},
        {"capsule-capsule", MakeCapsule({0, 0, 0}, {0, 2, 0}, 0.5f), MakeCapsule({0.8f, 1, -1}, {0.8f, 1, 1}, 0.5f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const glm::vec3 aMoves = Push(*c.a, *c.b);
        const glm::vec3 bMoves = Push(*c.b, *c.a);
        EXPECT_GT(glm::length(aMoves), 0.05f);
        EXPECT_GT(glm::dot(aMoves, c.a->GetCenter() - c.b->GetCenter()), 0.0f); // away from b
        testing_collision::ExpectVec3Near(bMoves, -aMoves);
    }
}
