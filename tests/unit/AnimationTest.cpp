#include "math/MathUtils.h"
#include "scene/components/AnimationComponent.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <memory>

namespace {

void ExpectMatNear(const glm::mat4& a, const glm::mat4& b, float eps = 1e-4f)
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(a[c][r], b[c][r], eps) << "column " << c << " row " << r;
}

Bone MovingBone(int id, const glm::mat4& offset = glm::mat4(1.0f))
{
    // Moves along +X from 0 to 10 over ticks 0..10 and turns 90 degrees about Y.
    return Bone("Bone" + std::to_string(id), id, offset, {{{0, 0, 0}, 0.0f}, {{10, 0, 0}, 10.0f}},
                {{glm::quat(1, 0, 0, 0), 0.0f}, {glm::angleAxis(glm::radians(90.0f), glm::vec3(0, 1, 0)), 10.0f}},
                {{{1, 1, 1}, 0.0f}});
}

// Root node (not a bone) -> bone 0 -> bone 1.
std::shared_ptr<Animation> TwoBoneClip(float duration, int tps)
{
    NodeData child;
    child.boneId = 1;
    NodeData mid;
    mid.boneId = 0;
    mid.children.push_back(child);
    mid.childrenCount = 1;
    NodeData root;
    root.transformation = glm::translate(glm::mat4(1.0f), glm::vec3(0, 5, 0));
    root.children.push_back(mid);
    root.childrenCount = 1;
    std::unordered_map<int, Bone> bones;
    bones.emplace(0, MovingBone(0));
    bones.emplace(1, Bone("Tip", 1, glm::translate(glm::mat4(1.0f), glm::vec3(0, -1, 0)),
                          {{{0, 2, 0}, 0.0f}}, {{glm::quat(1, 0, 0, 0), 0.0f}}, {{{1, 1, 1}, 0.0f}}));
    return std::make_shared<Animation>(nullptr, duration, tps, root, std::move(bones));
}

} // namespace

TEST(Bone, SingleKeysGiveTheSamePoseAtEveryTime)
{
    const glm::quat q = glm::normalize(glm::quat(0.8f, 0.1f, 0.5f, 0.2f));
    Bone bone("B", 0, glm::mat4(1.0f), {{{1, 2, 3}, 4.0f}}, {{q * 3.0f, 4.0f}}, {{{2, 2, 2}, 4.0f}});
    bone.Update(0.0f);
    const glm::mat4 first = bone.localTransform;
    ExpectMatNear(first, ModelMatrix({1, 2, 3}, q, {2, 2, 2})); // the single rotation is normalised
    for (float t : {3.0f, 4.0f, 100.0f}) {
        bone.Update(t);
        ExpectMatNear(bone.localTransform, first);
    }
}

TEST(Bone, InterpolatesBetweenKeysAndHoldsTheEnds)
{
    Bone bone = MovingBone(0);
    bone.Update(5.0f);
    EXPECT_NEAR(bone.localTransform[3][0], 5.0f, 1e-5f);
    // Halfway through a 90-degree turn about Y: +Z turns by 45 degrees.
    const glm::vec3 z = glm::vec3(bone.localTransform * glm::vec4(0, 0, 1, 0));
    EXPECT_NEAR(z.x, std::sin(glm::radians(45.0f)), 1e-4f);
    bone.Update(25.0f); // past the last key: hold it
    EXPECT_NEAR(bone.localTransform[3][0], 10.0f, 1e-5f);
    bone.Update(-3.0f); // before the first key: hold it rather than extrapolate
    EXPECT_NEAR(bone.localTransform[3][0], 0.0f, 1e-5f);
}

TEST(Bone, NegatedQuaternionTakesTheShortWayAndStaysPut)
{
    const glm::quat q = glm::normalize(glm::quat(0.6f, 0.0f, 0.8f, 0.0f));
    Bone bone("B", 0, glm::mat4(1.0f), {{{0, 0, 0}, 0.0f}}, {{q, 0.0f}, {-q, 10.0f}}, {{{1, 1, 1}, 0.0f}});
    const glm::mat4 expected = glm::mat4_cast(q);
    for (float t : {0.0f, 2.5f, 5.0f, 9.9f}) {
        bone.Update(t);
        ExpectMatNear(bone.localTransform, expected);
    }
}

TEST(AnimationComponent, FinalMatricesComposeParentsAndOffsets)
{
    auto clip = TwoBoneClip(20.0f, 10);
    AnimationComponent anim(clip, 1.0f);
    anim.Update(false, 0.5f); // 5 ticks
    EXPECT_FLOAT_EQ(anim.currentTime, 5.0f);
    Bone& b0 = *clip->FindBone(0);
    const glm::mat4 root = glm::translate(glm::mat4(1.0f), glm::vec3(0, 5, 0));
    const glm::mat4 g0 = root * b0.localTransform;
    ExpectMatNear(anim.finalBoneMatrices[0], g0);
    const glm::mat4 g1 = g0 * glm::translate(glm::mat4(1.0f), glm::vec3(0, 2, 0));
    ExpectMatNear(anim.finalBoneMatrices[1], g1 * glm::translate(glm::mat4(1.0f), glm::vec3(0, -1, 0)));
    // Bones the clip does not animate keep identity.
    ExpectMatNear(anim.finalBoneMatrices[2], glm::mat4(1.0f));
}

TEST(AnimationComponent, OneShotStopsOneTickBeforeTheEnd)
{
    auto clip = TwoBoneClip(50.0f, 25);
    AnimationComponent anim(clip, 1.0f);
    anim.PlayAnimation(clip, false, 1.0f);
    anim.currentTime = 40.0f;
    anim.Update(false, 0.2f); // 45 ticks: still playing
    EXPECT_FALSE(anim.finished);
    const glm::mat4 before = anim.finalBoneMatrices[0];
    anim.currentTime = 40.0f;
    anim.Update(false, 1.0f); // 65 ticks: past the end
    EXPECT_TRUE(anim.finished);
    EXPECT_FLOAT_EQ(anim.currentTime, 49.0f);
    ExpectMatNear(anim.finalBoneMatrices[0], before); // no bone step in the finishing frame
}

TEST(AnimationComponent, LoopWrapsAndRestartAlwaysRestarts)
{
    auto clip = TwoBoneClip(50.0f, 10);
    AnimationComponent anim(clip, 2.0f);
    anim.currentTime = 100.0f;
    anim.Update(false, 1.0f); // +20 ticks at speed 2: 120 -> 20
    EXPECT_NEAR(anim.currentTime, 20.0f, 1e-4f);
    EXPECT_FALSE(anim.finished);
    anim.PlayAnimation(clip, true, 1.0f);
    EXPECT_FLOAT_EQ(anim.currentTime, 0.0f);
    EXPECT_FLOAT_EQ(anim.speed, 1.0f);
    anim.finished = true;
    anim.PlayAnimation(clip, false, 1.5f);
    EXPECT_FALSE(anim.finished);
    EXPECT_FALSE(anim.loop);
}

TEST(AnimationComponent, OverrideHoldsItsPoseAndSkippingKeepsMatrices)
{
    auto clip = TwoBoneClip(20.0f, 10);
    AnimationComponent anim(clip, 1.0f);
    Bone& b0 = *clip->FindBone(0);
    b0.overrideTransform = Rotate(30.0f, {1, 0, 0});
    anim.Update(false, 0.7f);
    const glm::mat4 root = glm::translate(glm::mat4(1.0f), glm::vec3(0, 5, 0));
    ExpectMatNear(anim.finalBoneMatrices[0], root * Rotate(30.0f, {1, 0, 0}));

    const glm::mat4 kept = anim.finalBoneMatrices[1];
    anim.Update(true, 0.3f); // an invisible actor: the clock runs, the matrices stay
    EXPECT_NEAR(anim.currentTime, 10.0f, 1e-4f);
    ExpectMatNear(anim.finalBoneMatrices[1], kept);

    b0.ClearOverride();
    EXPECT_FALSE(b0.HasOverride());
}

TEST(AnimationComponent, BoneIdsPastTheArrayAreSkipped)
{
    NodeData node;
    node.boneId = 150;
    std::unordered_map<int, Bone> bones;
    bones.emplace(150, MovingBone(150));
    auto clip = std::make_shared<Animation>(nullptr, 10.0f, 10, node, std::move(bones));
    AnimationComponent anim(clip, 1.0f);
    anim.Update(false, 0.5f);
    for (const glm::mat4& m : anim.finalBoneMatrices)
        ExpectMatNear(m, glm::mat4(1.0f));
}
