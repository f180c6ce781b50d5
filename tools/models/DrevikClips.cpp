#include "tools/models/DrevikClips.h"

#include "tools/models/PoseKit.h"

#include <cmath>
#include <memory>

namespace {

constexpr float TwoPi = 6.2831853f;

Pose Idle(const Skeleton& sk, float t)
{
    const float a = TwoPi * t / DrevikClips::IdleTicks;
    PoseKit p(sk);
    p.Turn("Spine1", 1.2f * std::sin(a)); // breathing
    p.Turn("Spine", 0.5f * std::sin(a + 1.0f), 0.0f, 0.8f * std::sin(a));
    p.Turn("LeftShoulder", 0.0f, 0.0f, 0.6f * std::sin(a));
    p.Turn("RightShoulder", 0.0f, 0.0f, -0.6f * std::sin(a));
    p.Turn("Neck", -1.0f * std::sin(a), 2.0f * std::sin(a + 2.0f));
    p.Move({0.8f * std::sin(a + 1.0f), -0.3f + 0.3f * std::cos(2.0f * a), 0.0f});
    for (const char* side : {"Left", "Right"}) {
        p.Turn(std::string(side) + "UpLeg", -3.0f);
        p.Turn(std::string(side) + "Leg", 6.0f);
        p.Turn(std::string(side) + "Foot", -3.0f);
    }
    return p.Build();
}

// One leg through the gait: psi = 0 at its heel strike, stance until pi, swing after.
void Leg(PoseKit& p, const std::string& side, float psi)
{
    const float swing = std::max(0.0f, -std::sin(psi + 0.35f));
    p.Turn(side + "UpLeg", -24.0f * std::cos(psi) - 6.0f * swing);
    p.Turn(side + "Leg", 6.0f + 48.0f * swing * swing + 8.0f * std::max(0.0f, std::sin(2.0f * psi)));
    p.Turn(side + "Foot", -8.0f * std::cos(psi) + 10.0f * std::max(0.0f, std::sin(psi - 2.2f)));
    p.Turn(side + "ToeBase", -12.0f * std::max(0.0f, std::sin(psi - 2.0f)));
}

Pose Walk(const Skeleton& sk, float t)
{
    const float c = t / DrevikClips::WalkTicks;
    const float psiL = TwoPi * (c - DrevikClips::LeftContact);
    const float psiR = TwoPi * (c - DrevikClips::RightContact);
    PoseKit p(sk);
    Leg(p, "Left", psiL);
    Leg(p, "Right", psiR);
    // Lowest on each heel strike, swaying over the standing leg; the torso counters the hips.
    p.Move({1.6f * std::sin(psiL), -3.5f - 2.5f * std::cos(2.0f * psiL), 0.0f});
    p.Turn("Hips", 0.0f, -6.0f * std::cos(psiL), 2.0f * std::sin(psiL));
    p.Turn("Spine", 5.0f, 3.0f * std::cos(psiL), -2.0f * std::sin(psiL));
    p.Turn("Spine1", 1.0f * std::cos(2.0f * psiL), 2.5f * std::cos(psiL));
    // Keep the eyes level: the neck takes back the lean.
    p.Turn("Neck", -5.0f);
    // The gun bobs with the steps; both arms move alike.
    for (const char* side : {"Left", "Right"})
        p.Turn(std::string(side) + "Arm", 2.0f * std::sin(2.0f * psiL));
    return p.Build();
}

PoseKit Standing(const Skeleton& sk)
{
    PoseKit p(sk);
    for (const char* side : {"Left", "Right"}) {
        p.Turn(std::string(side) + "UpLeg", -3.0f);
        p.Turn(std::string(side) + "Leg", 6.0f);
        p.Turn(std::string(side) + "Foot", -3.0f);
    }
    p.Move({0.8f * std::sin(1.0f), 0.0f, 0.0f});
    return p;
}

PoseTimeline Death(const Skeleton& sk)
{
    PoseTimeline tl;
    tl.Key(0, Standing(sk));
    // Hit: thrown back, arms flinch.
    PoseKit hit = Standing(sk);
    hit.Turn("Spine1", -10.0f)
        .Turn("Neck", -12.0f)
        .Turn("LeftArm", -10.0f, 0, 12.0f)
        .Turn("RightArm", -10.0f, 0, -12.0f);
    hit.Move({0, -3, -4});
    tl.Key(8, hit);
    // Knees give way, the gun drops.
    PoseKit buckle(sk);
    buckle.Turn("LeftUpLeg", -45.0f, 5.0f).Turn("LeftLeg", 85.0f).Turn("LeftFoot", -40.0f);
    buckle.Turn("RightUpLeg", -38.0f, -8.0f).Turn("RightLeg", 78.0f).Turn("RightFoot", -40.0f);
    buckle.Turn("Spine", 12.0f).Turn("Spine1", 8.0f).Turn("Neck", 10.0f);
    buckle.Turn("LeftArm", 40.0f, 0, -10.0f)
        .Turn("RightArm", 45.0f, 0, 10.0f)
        .Turn("LeftForeArm", 20.0f)
        .Turn("RightForeArm", 25.0f);
    buckle.Move({0, -30, -5});
    tl.Key(22, buckle);
    // Toppling forwards over the buckled knees, arms going out to break the fall.
    PoseKit topple(sk);
    topple.Turn("Hips", 55.0f, 0, -4.0f);
    topple.Turn("LeftUpLeg", -35.0f).Turn("LeftLeg", 78.0f).Turn("RightUpLeg", -25.0f, -8.0f).Turn("RightLeg", 70.0f);
    topple.Turn("Spine", 10.0f).Turn("Neck", -20.0f);
    topple.Turn("LeftArm", -45.0f, 0, 20.0f).Turn("RightArm", -50.0f, 0, -20.0f);
    topple.Move({0, -46, 25});
    tl.Key(36, topple);
    // Face down on the ground, head turned aside, the pack on his back.
    PoseKit down(sk);
    down.Turn("Hips", 88.0f, 0, 5.0f);
    down.Turn("LeftUpLeg", 4.0f, 8.0f).Turn("LeftLeg", 25.0f).Turn("RightUpLeg", -2.0f, -10.0f).Turn("RightLeg", 40.0f);
    down.Turn("LeftFoot", 30.0f).Turn("RightFoot", 25.0f);
    down.Turn("Spine", -6.0f).Turn("Spine1", -4.0f).Turn("Neck", -22.0f, 65.0f);
    down.Turn("LeftArm", -76.0f, 0, 30.0f)
        .Turn("RightArm", -75.0f, 0, -25.0f)
        .Turn("LeftForeArm", 20.0f)
        .Turn("RightForeArm", 35.0f);
    down.Move({0, -77, 48});
    tl.Key(48, down);
    PoseKit settled = down;
    settled.Turn("Neck", 2.0f, 5.0f).Turn("LeftArm", 3.0f).Move({0, -0.5f, 0});
    tl.Key(60, settled);
    return tl;
}

} // namespace

std::vector<ClipRecipe> DrevikClips::All(const Skeleton& skeleton)
{
    // The clips outlive the caller's skeleton, so they share their own copy.
    const auto sk = std::make_shared<const Skeleton>(skeleton);
    const auto death = std::make_shared<const PoseTimeline>(Death(*sk));
    return {{"DrevikIdle", IdleTicks, [sk](float t) { return Idle(*sk, t); }},
            {"DrevikWalk", WalkTicks, [sk](float t) { return Walk(*sk, t); }},
            {"DrevikDeath", DeathTicks, [sk, death](float t) { return death->At(t); }}};
}
