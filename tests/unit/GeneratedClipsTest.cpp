// The generated clips as the game plays them: rate and length, loops that close, and the motion
// the game's rules depend on (footsteps at 40 % and 80 % of the walk, the zombie's swing landing
// after tick 3, deaths ending on the ground).
#include "GeneratedModelSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace modeltest;

namespace {

struct ClipCase {
    const char* model;
    const char* clip;
    float duration;
    bool loops;
};

const ClipCase Clips[] = {{"Drevik", "DrevikIdle", 60, true},    {"Drevik", "DrevikWalk", 24, true},
                          {"Drevik", "DrevikDeath", 60, false},  {"Zombie", "ZombieIdle", 48, true},
                          {"Zombie", "ZombieWalking", 36, true}, {"Zombie", "ZombieRun", 20, true},
                          {"Zombie", "ZombieAttack", 24, false}, {"Zombie", "ZombieDeath", 54, false}};

std::shared_ptr<Animation> Clip(const char* model, const char* name)
{
    return std::make_shared<Animation>(name, Mesh(model));
}

size_t Id(const char* model, const char* bone)
{
    return static_cast<size_t>(BoneId(*Mesh(model), bone));
}

float MaxMove(const std::vector<glm::vec3>& a, const std::vector<glm::vec3>& b)
{
    float m = 0.0f;
    for (size_t i = 0; i < a.size(); ++i)
        m = std::max(m, glm::distance(a[i], b[i]));
    return m;
}

} // namespace

TEST(GeneratedClips, ThirtyTicksPerSecondAndTheirLengths)
{
    for (const ClipCase& c : Clips) {
        const auto clip = Clip(c.model, c.clip);
        EXPECT_EQ(clip->ticksPerSecond, 30) << c.clip;
        EXPECT_FLOAT_EQ(clip->duration, c.duration) << c.clip;
        const float seconds = c.duration / 30.0f;
        EXPECT_GE(seconds, 0.6f) << c.clip;
        EXPECT_LE(seconds, 2.5f) << c.clip;
        // Every channel belongs to a bone the skin already knows: nothing is added behind its back.
        EXPECT_EQ(clip->model->bones.size(), 54u) << c.clip;
        EXPECT_EQ(clip->bones.size(), 54u) << c.clip;
    }
}

TEST(GeneratedClips, LoopsCloseAndEveryClipMoves)
{
    for (const ClipCase& c : Clips) {
        const auto clip = Clip(c.model, c.clip);
        const std::vector<glm::vec3> start = Joints(clip, 0.0f);
        float most = 0.0f;
        for (float t = 1.0f; t < c.duration; t += 1.0f)
            most = std::max(most, MaxMove(start, Joints(clip, t)));
        EXPECT_GT(most, 1.0f) << c.clip << " barely moves";
        if (c.loops) {
            EXPECT_LT(MaxMove(start, Joints(clip, c.duration - 0.01f)), 0.5f) << c.clip << " jumps when it wraps";
        }
    }
}

TEST(GeneratedClips, IdlesBreatheWithoutWandering)
{
    for (const auto& [model, name] : {std::pair{"Drevik", "DrevikIdle"}, std::pair{"Zombie", "ZombieIdle"}}) {
        const auto clip = Clip(model, name);
        const std::vector<glm::vec3> start = Joints(clip, 0.0f);
        const size_t hips = Id(model, "Hips"), foot = Id(model, "LeftFoot");
        for (float t = 0.0f; t < clip->duration; t += 2.0f) {
            const std::vector<glm::vec3> now = Joints(clip, t);
            EXPECT_LT(glm::distance(now[hips], start[hips]), 5.0f) << name;
            EXPECT_LT(glm::distance(now[foot], start[foot]), 3.0f) << name << ": feet stay planted";
        }
    }
}

TEST(GeneratedClips, DrevikWalkStrikesLeftThenRightWhereTheFootstepsPlay)
{
    const auto walk = Clip("Drevik", "DrevikWalk");
    const size_t hips = Id("Drevik", "Hips"), left = Id("Drevik", "LeftFoot"), right = Id("Drevik", "RightFoot");
    float bestLeft = -1e9f, bestRight = -1e9f, tickLeft = 0.0f, tickRight = 0.0f;
    for (float t = 0.0f; t < walk->duration; t += 0.25f) {
        const std::vector<glm::vec3> j = Joints(walk, t);
        const float l = j[left].z - j[hips].z, r = j[right].z - j[hips].z;
        if (l > bestLeft)
            bestLeft = l, tickLeft = t;
        if (r > bestRight)
            bestRight = r, tickRight = t;
    }
    // Heel strikes (the foot furthest forward) close to the footstep sounds at 40 % and 80 %.
    EXPECT_NEAR(tickLeft / walk->duration, 0.375f, 0.06f);
    EXPECT_NEAR(tickRight / walk->duration, 0.825f, 0.06f);
    for (const auto& [fraction, lead, trail] : {std::tuple{0.4f, left, right}, std::tuple{0.8f, right, left}}) {
        const std::vector<glm::vec3> j = Joints(walk, fraction * walk->duration);
        EXPECT_GT(j[lead].z - j[trail].z, 25.0f) << "stride at " << fraction;
        EXPECT_LT(std::min(j[left].y, j[right].y), 14.0f) << "a foot is down at " << fraction;
    }
    // The gun stays between the hands: they move together.
    const std::vector<glm::vec3> start = Joints(walk, 0.0f);
    const float grip = glm::distance(start[8], start[32]);
    for (float t = 0.0f; t < walk->duration; t += 1.0f) {
        const std::vector<glm::vec3> j = Joints(walk, t);
        EXPECT_NEAR(glm::distance(j[8], j[32]), grip, 1.5f);
    }
}

TEST(GeneratedClips, ZombieAttackRaisesTheStrikingHandByTickThreeAndSwingsItThroughTheFront)
{
    const auto attack = Clip("Zombie", "ZombieAttack");
    const size_t hips = Id("Zombie", "Hips"), head = Id("Zombie", "Head");
    const std::vector<glm::vec3> rest = Joints(attack, 0.0f);
    const std::vector<glm::vec3> raised = Joints(attack, 3.0f);
    EXPECT_GT(glm::distance(raised[36], rest[36]), 60.0f) << "bone 36 must move far and fast before the hit wakes";
    EXPECT_GT(raised[36].y, raised[head].y) << "the blow starts overhead";
    // From tick 3 on, the hand comes down through the space in front of the zombie within a few ticks.
    float reach = -1e9f, lowest = 1e9f;
    for (float t = 3.0f; t <= 10.0f; t += 0.5f) {
        const std::vector<glm::vec3> j = Joints(attack, t);
        reach = std::max(reach, j[36].z - rest[hips].z);
        lowest = std::min(lowest, j[36].y);
    }
    EXPECT_GT(reach, 70.0f);
    EXPECT_LT(lowest, 130.0f);
    // And it is back near where it started by the end of the swing.
    EXPECT_LT(glm::distance(Joints(attack, attack->duration - 1.0f)[36], rest[36]), 15.0f);
}

TEST(GeneratedClips, DeathsEndLyingOnTheGround)
{
    for (const auto& [model, name] : {std::pair{"Drevik", "DrevikDeath"}, std::pair{"Zombie", "ZombieDeath"}}) {
        const auto clip = Clip(model, name);
        // A finished one-shot clip rests one tick before its end.
        const std::vector<glm::vec3> end = Joints(clip, clip->duration - 1.0f);
        EXPECT_LT(end[Id(model, "Hips")].y, 30.0f) << name;
        EXPECT_LT(end[Id(model, "Head")].y, 40.0f) << name;
        EXPECT_LT(end[Id(model, "Spine1")].y, 40.0f) << name;
        for (const glm::vec3& j : end)
            EXPECT_GT(j.y, -5.0f) << name << ": nothing sinks into the ground";
    }
}

TEST(GeneratedClips, ZombieGaitsStepAndTheRunIsFaster)
{
    for (const char* name : {"ZombieWalking", "ZombieRun"}) {
        const auto clip = Clip("Zombie", name);
        const size_t left = Id("Zombie", "LeftFoot"), right = Id("Zombie", "RightFoot");
        float spread = 0.0f;
        for (float t = 0.0f; t < clip->duration; t += 1.0f) {
            const std::vector<glm::vec3> j = Joints(clip, t);
            spread = std::max(spread, std::abs(j[left].z - j[right].z));
        }
        EXPECT_GT(spread, 25.0f) << name;
    }
    EXPECT_LT(Clip("Zombie", "ZombieRun")->duration, Clip("Zombie", "ZombieWalking")->duration);
}
