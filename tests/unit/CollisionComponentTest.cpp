// Collision components: volume placement from transform and offset, the double dispatch, and the
// follow-up actions of solid and trigger pairs.
#include "support/CollisionHelpers.h"

#include <gtest/gtest.h>

#include <string>

using namespace COLLISION;
using testing_collision::ExpectVec3Near;

namespace {

std::shared_ptr<CollisionComponent<Sphere>> SphereComponent(const glm::vec3& at, bool trigger)
{
    return std::make_shared<CollisionComponent<Sphere>>(trigger, glm::vec3(0.0f),
                                                        std::make_shared<TransformComponent>(at));
}

} // namespace

TEST(CollisionComponent, PlacesTheVolumeAtTransformPlusOffset)
{
    CollisionComponent<Sphere> detached(false, {1, 2, 3}, nullptr);
    ExpectVec3Near(detached.volume->centre, {1, 2, 3});
    EXPECT_FALSE(detached.volume->IsTrigger());
    EXPECT_EQ(detached.GetTransform(), nullptr);

    auto transform = std::make_shared<TransformComponent>(glm::vec3(10, 0, 0));
    CollisionComponent<Cube> box(true, {0, 1, 0}, transform);
    ExpectVec3Near(box.volume->centre, {10, 1, 0});
    EXPECT_TRUE(box.volume->IsTrigger());
    EXPECT_EQ(box.GetTransform(), transform);
    EXPECT_EQ(box.GetBoundingVolume(), box.volume);

    // SetOffset takes effect at once; a moved transform only on the next UpdateVolume.
    box.SetOffset({0, 2, 0});
    ExpectVec3Near(box.volume->centre, {10, 2, 0});
    transform->position = {20, 0, 0};
    ExpectVec3Near(box.volume->centre, {10, 2, 0});
    box.UpdateVolume();
    ExpectVec3Near(box.volume->centre, {20, 2, 0});

    // SetTransform re-places the volume.
    box.SetTransform(std::make_shared<TransformComponent>(glm::vec3(0, 0, -4)));
    ExpectVec3Near(box.volume->centre, {0, 2, -4});

    // A capsule keeps its shape when its component moves it.
    auto capsuleTransform = std::make_shared<TransformComponent>(glm::vec3(0, 0, 0));
    CollisionComponent<Capsule> capsule(false, {0, 1, 0}, capsuleTransform);
    capsule.volume->radius = 0.5f;
    capsule.volume->baseA = {0, 0.5f, 0};
    capsule.volume->baseB = {0, 1.5f, 0};
    capsule.volume->SetOrientation(capsule.volume->orientation);
    capsuleTransform->position = {3, 0, 0};
    capsule.UpdateVolume();
    ExpectVec3Near(capsule.volume->pointA, {3, 0.5f, 0});
    ExpectVec3Near(capsule.volume->pointB, {3, 1.5f, 0});
}

TEST(CollisionComponent, SolidPairPushesOnlyTheCallerAndRunsFirstThenSecondOnce)
{
    auto self = SphereComponent({0, 0, 0}, false);
    auto other = SphereComponent({1.5f, 0, 0}, false);
    std::string order;
    Collision record;
    EXPECT_TRUE(self->CollideWithComponent(
        other, &record, [&] { order += "first;"; }, [&] { order += "second;"; }));
    EXPECT_EQ(order, "first;second;");
    ExpectVec3Near(self->transform->position, {-0.5f, 0, 0});
    ExpectVec3Near(other->transform->position, {1.5f, 0, 0});
    // The volume follows the push only on the next update.
    ExpectVec3Near(self->volume->centre, {0, 0, 0});
    self->UpdateVolume();
    ExpectVec3Near(self->volume->centre, {-0.5f, 0, 0});
    EXPECT_TRUE(record.hit);
    EXPECT_FLOAT_EQ(record.depth, 0.5f);
}

TEST(CollisionComponent, TriggerPairRunsBothActionsAndMovesNothing)
{
    auto self = SphereComponent({0, 0, 0}, true);
    auto other = SphereComponent({1.5f, 0, 0}, false);
    int first = 0, second = 0;
    Collision record;
    EXPECT_TRUE(self->CollideWithVolume(
        other->volume.get(), &record, [&] { ++first; }, [&] { ++second; }));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
    ExpectVec3Near(self->transform->position, {0, 0, 0});
    ExpectVec3Near(other->transform->position, {1.5f, 0, 0});
}

TEST(CollisionComponent, NoContactOrUnknownShapeRunsNoAction)
{
    auto self = SphereComponent({0, 0, 0}, false);
    auto far = SphereComponent({5, 0, 0}, false);
    int actions = 0;
    Collision record;
    auto count = [&] { ++actions; };
    EXPECT_FALSE(self->CollideWithVolume(far->volume.get(), &record, count, count));

    auto near = SphereComponent({0.5f, 0, 0}, true);
    near->volume->shapeType = 6;
    EXPECT_FALSE(self->CollideWithVolume(near->volume.get(), &record, count, count));
    EXPECT_FALSE(self->CollideWithVolume(nullptr, &record, count, count));
    EXPECT_FALSE(self->CollideWithComponent(nullptr, &record, count, count));
    EXPECT_EQ(actions, 0);
    ExpectVec3Near(self->transform->position, {0, 0, 0});
}

TEST(CollisionComponent, BoxAgainstTriangleOrOBBBetweenSolidsRunsNoAction)
{
    auto box =
        std::make_shared<CollisionComponent<Cube>>(false, glm::vec3(0.0f), std::make_shared<TransformComponent>());
    Triangle triangle({-3, 0, -3}, {0, 0, 3}, {3, 0, -3});
    OBB obb({0.5f, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1});
    triangle.SetTrigger(false);
    obb.SetTrigger(false);
    int actions = 0;
    auto count = [&] { ++actions; };
    Collision record;
    EXPECT_FALSE(box->CollideWithVolume(&triangle, &record, count, count));
    EXPECT_FALSE(box->CollideWithVolume(&obb, &record, count, count));
    EXPECT_EQ(actions, 0);
    // The same pairs with a trigger answer and run both actions.
    triangle.SetTrigger(true);
    EXPECT_TRUE(box->CollideWithVolume(&triangle, &record, count, count));
    EXPECT_EQ(actions, 2);
}

TEST(CollisionComponent, EmptyActionOnContactThrows)
{
    auto self = SphereComponent({0, 0, 0}, true);
    auto other = SphereComponent({0.5f, 0, 0}, true);
    Collision record;
    EXPECT_THROW(self->CollideWithVolume(other->volume.get(), &record, nullptr, [] {}), std::bad_function_call);
}
