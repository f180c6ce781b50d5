// The volumes: grid radii, display transforms, capsule orientation, and each pair-test slot's
// trigger rule and push-out of the owner.
#include "support/CollisionHelpers.h"

#include <gtest/gtest.h>

#include <glm/gtc/quaternion.hpp>

using namespace COLLISION;
using testing_collision::ExpectVec3Near;
using testing_collision::MakeCapsule;
using testing_collision::MakeCube;
using testing_collision::MakeOBB;
using testing_collision::MakeSphere;
using testing_collision::MakeTriangle;

namespace {

// Runs `self`'s slot for `other` with a fresh owner transform at the origin; returns how far the
// owner moved.
struct SlotResult {
    bool contact;
    glm::vec3 moved;
    Collision record;
};

SlotResult RunSlot(BoundingVolume& self, BoundingVolume& other)
{
    TransformComponent owner;
    SlotResult r{};
    r.contact = self.CollideWith(&other, &owner, &r.record);
    r.moved = owner.position;
    return r;
}

} // namespace

TEST(BoundingVolume, GridRadiiCentresAndDisplayTransforms)
{
    const auto sphere = MakeSphere({1, 2, 3}, 2);
    EXPECT_FLOAT_EQ(sphere->GetBoundingRadius(), 3.0f);
    ExpectVec3Near(sphere->GetTransform()->position, {1, 2, 3});
    EXPECT_EQ(sphere->GetTransform(), sphere->displayTransform);

    const auto cube = MakeCube({-1, 0, 4}, {1, 2, 2});
    EXPECT_FLOAT_EQ(cube->GetBoundingRadius(), 4.5f);
    ExpectVec3Near(cube->GetCenter(), {-1, 0, 4});
    ExpectVec3Near(cube->GetTransform()->position, {-1, 0, 4});

    const auto capsule = MakeCapsule({0, 0, 0}, {0, 2, 0}, 0.5f);
    EXPECT_FLOAT_EQ(capsule->GetBoundingRadius(), 1.75f);
    ExpectVec3Near(capsule->GetCenter(), {0, 1, 0});

    // Every volume starts as a trigger with the defaults of its kind.
    Sphere s;
    Cube c;
    Capsule k;
    EXPECT_TRUE(s.IsTrigger() && c.IsTrigger() && k.IsTrigger());
    EXPECT_EQ(s.shapeType, SphereShape);
    EXPECT_EQ(k.shapeType, CapsuleShape);
    EXPECT_FLOAT_EQ(s.radius, 1.0f);
    ExpectVec3Near(c.halfExtents, {1, 1, 1});
    EXPECT_FLOAT_EQ(k.radius, 0.0f);
    EXPECT_EQ(Triangle().shapeType, TriangleShape);
    EXPECT_EQ(OBB().shapeType, OBBShape);
    EXPECT_EQ(Ray().shapeType, RayShape);
}

TEST(BoundingVolume, CapsuleOrientationAndPosition)
{
    auto capsule = MakeCapsule({0, 0, 0}, {0, 2, 0}, 0.5f);
    const glm::quat quarterAboutZ = glm::angleAxis(glm::radians(90.0f), glm::vec3(0, 0, 1));
    capsule->SetOrientation(quarterAboutZ);
    // Turned about its centre (0, 1, 0): the ends now lie along X.
    ExpectVec3Near(capsule->pointA, {1, 1, 0});
    ExpectVec3Near(capsule->pointB, {-1, 1, 0});
    ExpectVec3Near(capsule->baseA, {0, 0, 0}); // the unrotated ends stay
    ExpectVec3Near(capsule->displayTransform->position, {0, 1, 0});
    ExpectVec3Near(capsule->displayTransform->scale, {0.5f, 1.0f, 0.5f});
    EXPECT_FLOAT_EQ(capsule->displayTransform->rotation.w, quarterAboutZ.w);
    EXPECT_FLOAT_EQ(capsule->displayTransform->rotation.z, quarterAboutZ.z);

    // Moving keeps the tilt: both world ends shift by the same amount.
    const glm::vec3 a = capsule->pointA;
    const glm::vec3 b = capsule->pointB;
    capsule->SetPosition({5, 1, -2});
    ExpectVec3Near(capsule->pointA - a, {5, 0, -2});
    ExpectVec3Near(capsule->pointB - b, {5, 0, -2});
    ExpectVec3Near(capsule->GetCenter(), {5, 1, -2});
    ExpectVec3Near(capsule->displayTransform->position, {5, 1, -2});
}

TEST(BoundingVolume, SolidPairsPushTheOwnerAwayFromTheOther)
{
    struct Case {
        const char* name;
        std::shared_ptr<BoundingVolume> self;
        std::shared_ptr<BoundingVolume> other;
        glm::vec3 expectedMove;
    };
    const auto floor = MakeTriangle({-5, 0, -5}, {0, 0, 5}, {5, 0, -5});
    const auto turned = MakeOBB({0, 0, 0}, {1, 1, 1}, 45.0f, {0, 1, 0});
    const Case cases[] = {
        {"sphere-sphere", MakeSphere({0, 0, 0}, 1), MakeSphere({1.5f, 0, 0}, 1), {-0.5f, 0, 0}},
        {"sphere-triangle", MakeSphere({0, 0.5f, 0}, 1), floor, {0, 0.5f, 0}},
        {"sphere-cube", MakeSphere({1.5f, 0, 0}, 1), MakeCube({0, 0, 0}, {1, 1, 1}), {0.5f, 0, 0}},
        {"sphere-obb", MakeSphere({2, 0, 0}, 1), turned, {1.0f - (2.0f - std::sqrt(2.0f)), 0, 0}},
        {"sphere-capsule", MakeSphere({1, 1, 0}, 1), MakeCapsule({0, 0, 0}, {0, 2, 0}, 0.5f), {0.5f, 0, 0}},
        {"cube-sphere", MakeCube({0, 0, 0}, {1, 1, 1}), MakeSphere({1.5f, 0, 0}, 1), {-0.5f, 0, 0}},
        {"cube-cube", MakeCube({0, 0, 0}, {1, 1, 1}), MakeCube({1.5f, 0.2f, 0}, {1, 1, 1}), {-0.5f, 0, 0}},
        {"cube-capsule",
         MakeCube({0, 0, 0}, {1, 1, 1}),
         MakeCapsule({1.3f, -0.5f, 0}, {1.3f, 0.5f, 0}, 0.5f),
         {-0.2f, 0, 0}},
        {"capsule-sphere", MakeCapsule({0, 0, 0}, {0, 2, 0}, 0.5f), MakeSphere({1, 1, 0}, 1), {-0.5f, 0, 0}},
        {"capsule-triangle", MakeCapsule({0, 0.3f, 0}, {0, 1.3f, 0}, 0.5f), floor, {0, 0.2f, 0}},
        {"capsule-cube",
         MakeCapsule({1.3f, -0.5f, 0}, {1.3f, 0.5f, 0}, 0.5f),
         MakeCube({0, 0, 0}, {1, 1, 1}),
         {0.2f, 0, 0}},
        {"capsule-obb",
         MakeCapsule({1.8f, -0.5f, 0}, {1.8f, 0.5f, 0}, 0.5f),
         turned,
         {0.5f - (1.8f - std::sqrt(2.0f)), 0, 0}},
        {"capsule-capsule",
         MakeCapsule({0, 0, 0}, {0, 2, 0}, 0.5f),
         MakeCapsule({0.8f, 0, 0}, {0.8f, 2, 0}, 0.5f),
         {-0.2f, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.self->SetTrigger(false);
        c.other->SetTrigger(false);
        SlotResult solid = RunSlot(*c.self, *c.other);
        EXPECT_TRUE(solid.contact);
        EXPECT_TRUE(solid.record.hit);
        ExpectVec3Near(solid.moved, c.expectedMove);

        // Either side a trigger: same answer and record, nothing moves.
        c.other->SetTrigger(true);
        SlotResult trigger = RunSlot(*c.self, *c.other);
        EXPECT_TRUE(trigger.contact);
        ExpectVec3Near(trigger.record.normal, solid.record.normal);
        EXPECT_FLOAT_EQ(trigger.record.depth, solid.record.depth);
        ExpectVec3Near(trigger.moved, {0, 0, 0});
        c.other->SetTrigger(false);
        c.self->SetTrigger(true);
        ExpectVec3Near(RunSlot(*c.self, *c.other).moved, {0, 0, 0});
    }
}

TEST(BoundingVolume, SeparatedPairsAndCentreInsideBoxDoNotMove)
{
    const auto sphere = MakeSphere({3, 0, 0}, 1);
    const auto other = MakeSphere({0, 0, 0}, 1);
    SlotResult r = RunSlot(*sphere, *other);
    EXPECT_FALSE(r.contact);
    EXPECT_FALSE(r.record.hit);
    ExpectVec3Near(r.moved, {0, 0, 0});

    // A solid sphere whose centre is inside a solid box touches but has no way out.
    r = RunSlot(*MakeSphere({0.2f, 0, 0}, 0.5f), *MakeCube({0, 0, 0}, {1, 1, 1}));
    EXPECT_TRUE(r.contact);
    EXPECT_FLOAT_EQ(r.record.depth, 0.5f);
    ExpectVec3Near(r.moved, {0, 0, 0});
}

TEST(BoundingVolume, CubeAgainstTriangleAndOBBAnswersOnlyForTriggers)
{
    const auto cube = MakeCube({0, 0, 0}, {1, 1, 1});
    const auto triangle = MakeTriangle({-3, 0, -3}, {0, 0, 3}, {3, 0, -3});
    const auto obb = MakeOBB({1.5f, 0, 0}, {1, 1, 1}, 30.0f, {0, 1, 0});
    TransformComponent owner;
    Collision record;
    record.depth = 42.0f; // the yes/no slots never write the record

    EXPECT_FALSE(cube->CollideWith(triangle.get(), &owner, &record)); // both solid: no test at all
    EXPECT_FALSE(cube->CollideWith(obb.get(), &owner, &record));
    triangle->SetTrigger(true);
    obb->SetTrigger(true);
    EXPECT_TRUE(cube->CollideWith(triangle.get(), &owner, &record));
    EXPECT_TRUE(cube->CollideWith(obb.get(), &owner, &record));
    obb->SetPosition({5, 0, 0});
    EXPECT_FALSE(cube->CollideWith(obb.get(), &owner, &record));
    EXPECT_FLOAT_EQ(record.depth, 42.0f);
    EXPECT_FALSE(record.hit);
    ExpectVec3Near(owner.position, {0, 0, 0});
}

TEST(BoundingVolume, RaySlotsTestWhateverTheTriggersAndWriteNothing)
{
    Ray towardsOrigin({-5, 0, 0}, {1, 0, 0});
    Ray away({-5, 0, 0}, {-1, 0, 0});
    towardsOrigin.SetTrigger(false);
    away.SetTrigger(false);
    const std::shared_ptr<BoundingVolume> volumes[] = {MakeSphere({0, 0, 0}, 1), MakeCube({0, 0, 0}, {1, 1, 1}),
                                                       MakeCapsule({0, -1, 0}, {0, 1, 0}, 0.5f)};
    for (const auto& v : volumes) {
        SCOPED_TRACE(v->shapeType);
        TransformComponent owner;
        Collision record;
        record.depth = 42.0f;
        EXPECT_TRUE(v->CollideWith(&towardsOrigin, &owner, &record));
        EXPECT_FALSE(v->CollideWith(&away, &owner, &record));
        EXPECT_FLOAT_EQ(record.depth, 42.0f);
        EXPECT_FALSE(record.hit);
        ExpectVec3Near(owner.position, {0, 0, 0});
    }
}

TEST(BoundingVolume, OperandKindsAnswerAsTheQueryingSideWithoutPushing)
{
    const auto sphere = MakeSphere({0, 0.5f, 0}, 1);
    const auto cube = MakeCube({0, 0, 0}, {1, 1, 1});
    const auto capsule = MakeCapsule({0, 0.3f, 0}, {0, 1.3f, 0}, 0.5f);
    Triangle floor({-5, 0, -5}, {0, 0, 5}, {5, 0, -5});
    OBB box({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1});
    Ray ray({-5, 0.5f, 0}, {1, 0, 0});
    for (BoundingVolume* v :
         {static_cast<BoundingVolume*>(&floor), static_cast<BoundingVolume*>(&box), static_cast<BoundingVolume*>(&ray)})
        v->SetTrigger(false);
    TransformComponent owner;
    EXPECT_TRUE(floor.CollideWith(sphere.get(), &owner, nullptr));
    EXPECT_TRUE(floor.CollideWith(cube.get(), &owner, nullptr));
    EXPECT_TRUE(floor.CollideWith(capsule.get(), &owner, nullptr));
    EXPECT_FALSE(floor.CollideWith(&box, &owner, nullptr)); // no triangle-box test for oriented boxes
    EXPECT_TRUE(box.CollideWith(sphere.get(), &owner, nullptr));
    EXPECT_TRUE(box.CollideWith(cube.get(), &owner, nullptr));
    EXPECT_TRUE(box.CollideWith(capsule.get(), &owner, nullptr));
    EXPECT_TRUE(ray.CollideWith(sphere.get(), &owner, nullptr));
    EXPECT_TRUE(ray.CollideWith(cube.get(), &owner, nullptr));
    EXPECT_TRUE(ray.CollideWith(capsule.get(), &owner, nullptr));
    EXPECT_FALSE(ray.CollideWith(&ray, &owner, nullptr));
    ExpectVec3Near(owner.position, {0, 0, 0});
    // The triangle's grid transform sits on its centroid.
    ExpectVec3Near(floor.GetTransform()->position, {0, 0, -5.0f / 3.0f});
}

TEST(BoundingVolume, DispatchRejectsUnknownKinds)
{
    const auto sphere = MakeSphere({0, 0, 0}, 1);
    const auto other = MakeSphere({0.5f, 0, 0}, 1);
    Collision record;
    EXPECT_TRUE(sphere->CollideWith(other.get(), nullptr, &record)); // no owner: tests, never pushes
    other->shapeType = 6;
    EXPECT_FALSE(sphere->CollideWith(other.get(), nullptr, &record));
    other->shapeType = -1;
    EXPECT_FALSE(sphere->CollideWith(other.get(), nullptr, &record));
    EXPECT_FALSE(sphere->CollideWith(nullptr, nullptr, &record));
}
