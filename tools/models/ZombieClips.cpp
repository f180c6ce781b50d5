#include "tools/models/ZombieClips.h"

#include "tools/models/PoseKit.h"

#include <cmath>
#include <memory>

namespace {

constexpr float TwoPi = 6.2831853f;

Pose Idle(const Skeleton& sk, float t)
{
    const float a = TwoPi * t / ZombieClips::IdleTicks;
    PoseKit p(sk);
    p.Move({2.0f * std::sin(a), -0.6f + 0.6f * std::cos(2.0f * a), 0.0f});
    p.Turn("Spine", 0.0f, 0.0f, 3.0f * std::sin(a));
    p.Turn("Spine1", 2.0f * std::sin(2.0f * a + 1.0f), 3.0f * std::sin(a + 0.7f));
    p.Turn("Spine2", 0.0f, 0.0f, -2.0f * std::sin(a));
    p.Turn("Neck", 4.0f * std::sin(2.0f * a), 6.0f * std::sin(a + 2.0f), 7.0f * std::sin(a + 0.5f));
    p.Turn("Jaw", 7.0f + 5.0f * std::sin(3.0f * a));
    p.Turn("LeftArm", 6.0f * std::sin(a), 0.0f, 3.0f * std::sin(2.0f * a));
    p.Turn("RightArm", 6.0f * std::sin(a + 1.6f), 0.0f, -3.0f * std::sin(2.0f * a + 1.0f));
    p.Turn("LeftForeArm", 4.0f * std::sin(2.0f * a + 0.4f));
    p.Turn("RightForeArm", 4.0f * std::sin(2.0f * a + 2.0f));
    for (const char* side : {"Left", "Right"})
        for (const char* finger : {"Index", "Middle", "Ring", "Pinky"})
            p.Turn(std::string(side) + "Hand" + finger + "1",
                   8.0f * std::sin(3.0f * a + static_cast<float>(finger[0])));
    p.Turn("LeftLeg", 3.0f + 2.0f * std::sin(a));
    p.Turn("RightLeg", 3.0f - 2.0f * std::sin(a));
    return p.Build();
}

// A leg through its gait (psi = 0 at heel strike), scaled for dragging or running.
void Leg(PoseKit& p, const std::string& side, float psi, float stride, float lift, float bend)
{
    const float swing = std::max(0.0f, -std::sin(psi + 0.3f));
    p.Turn(side + "UpLeg", -stride * std::cos(psi) - 0.3f * stride * swing);
    p.Turn(side + "Leg", bend + lift * swing * swing);
    p.Turn(side + "Foot", -0.3f * stride * std::cos(psi));
}

Pose Walk(const Skeleton& sk, float t)
{
    const float psi = TwoPi * t / ZombieClips::WalkTicks;
    PoseKit p(sk);
    Leg(p, "Left", psi, 24.0f, 55.0f, 10.0f);
    Leg(p, "Right", psi - TwoPi * 0.5f, 12.0f, 18.0f, 14.0f); // the dragging foot
    p.Turn("RightUpLeg", 0.0f, -14.0f).Turn("RightFoot", 12.0f);
    // Lurching: deep bob, the weight thrown side to side, the head lolling after it.
    p.Move({3.0f * std::sin(psi), -3.0f - 2.5f * std::cos(2.0f * psi), 0.0f});
    p.Turn("Hips", 0.0f, -8.0f * std::cos(psi), 3.0f * std::sin(psi));
    p.Turn("Spine", 4.0f, 4.0f * std::cos(psi), -8.0f * std::sin(psi));
    p.Turn("Spine1", 4.0f + 4.0f * std::sin(2.0f * psi), 3.0f * std::cos(psi));
    p.Turn("Neck", 4.0f * std::sin(2.0f * psi + 1.0f), 0.0f, 7.0f * std::sin(psi + 0.8f));
    p.Turn("Jaw", 8.0f + 4.0f * std::sin(2.0f * psi));
    p.Turn("LeftArm", 7.0f * std::sin(psi), 0.0f, 3.0f * std::cos(psi));
    p.Turn("RightArm", -7.0f * std::sin(psi), 0.0f, -3.0f * std::cos(psi));
    p.Turn("LeftForeArm", 5.0f * std::sin(2.0f * psi));
    p.Turn("RightForeArm", 5.0f * std::sin(2.0f * psi + 1.0f));
    return p.Build();
}

Pose Run(const Skeleton& sk, float t)
{
    const float psi = TwoPi * t / ZombieClips::RunTicks;
    PoseKit p(sk);
    Leg(p, "Left", psi, 36.0f, 80.0f, 14.0f);
    Leg(p, "Right", psi - TwoPi * 0.5f, 34.0f, 75.0f, 16.0f);
    p.Move({2.0f * std::sin(psi), -5.0f - 3.0f * std::cos(2.0f * psi), 3.0f});
    p.Turn("Hips", 6.0f, -10.0f * std::cos(psi));
    p.Turn("Spine", 10.0f, 6.0f * std::cos(psi), -5.0f * std::sin(psi));
    p.Turn("Spine1", 6.0f + 3.0f * std::sin(2.0f * psi));
    p.Turn("Neck", -14.0f + 5.0f * std::sin(2.0f * psi), 0.0f, 6.0f * std::sin(psi));
    p.Turn("Jaw", 14.0f + 6.0f * std::sin(2.0f * psi));
    // Arms thrash forward, out of step with the legs.
    p.Turn("LeftArm", -12.0f + 22.0f * std::sin(psi), 0.0f, 6.0f * std::sin(2.0f * psi));
    p.Turn("RightArm", -12.0f - 22.0f * std::sin(psi), 0.0f, -6.0f * std::sin(2.0f * psi));
    p.Turn("LeftForeArm", 12.0f * std::sin(2.0f * psi));
    p.Turn("RightForeArm", 12.0f * std::sin(2.0f * psi + 1.5f));
    return p.Build();
}

PoseTimeline Attack(const Skeleton& sk)
{
    PoseTimeline tl;
    tl.Key(0, PoseKit(sk));
    // Wind-up: the right arm flung up and back over the head, body rearing and twisting.
    PoseKit up(sk);
    up.Turn("RightArm", -125.0f, 10.0f, 5.0f).Turn("RightForeArm", -25.0f).Turn("RightHand", -20.0f);
    up.Turn("Spine", -8.0f).Turn("Spine1", -6.0f, -16.0f).Turn("Neck", -12.0f);
    up.Turn("LeftArm", 15.0f, 0.0f, 10.0f).Turn("Jaw", 18.0f);
    up.Move({0, 1, -4});
    tl.Key(static_cast<float>(ZombieClips::WindUpTick), up);
    // The blow: down and forward through the target with a lunge.
    PoseKit strike(sk);
    strike.Turn("RightArm", 10.0f, -5.0f).Turn("RightForeArm", -5.0f).Turn("RightHand", 15.0f);
    strike.Turn("Spine", 22.0f).Turn("Spine1", 10.0f, 16.0f).Turn("Neck", -18.0f);
    strike.Turn("LeftArm", 30.0f, 0.0f, 20.0f).Turn("Jaw", 22.0f);
    strike.Turn("LeftUpLeg", -28.0f).Turn("LeftLeg", 25.0f).Turn("RightUpLeg", 14.0f).Turn("RightLeg", 10.0f);
    strike.Move({0, -6, 18});
    tl.Key(8, strike);
    // Follow-through, the arm low across the body.
    PoseKit through = strike;
    through.Turn("RightArm", 35.0f, -15.0f).Turn("Spine1", 0.0f, 8.0f).Turn("Spine", 5.0f).Move({0, -1, -2});
    tl.Key(13, through);
    tl.Key(static_cast<float>(ZombieClips::AttackTicks), PoseKit(sk));
    return tl;
}

PoseTimeline Death(const Skeleton& sk)
{
    PoseTimeline tl;
    tl.Key(0, PoseKit(sk));
    PoseKit throes(sk);
    throes.Turn("Spine", -14.0f).Turn("Spine1", -8.0f).Turn("Neck", -30.0f).Turn("Jaw", 25.0f);
    throes.Turn("LeftArm", -60.0f, 0.0f, 15.0f).Turn("RightArm", -75.0f, 0.0f, -10.0f).Turn("LeftForeArm", -20.0f);
    throes.Move({0, 2, -4});
    tl.Key(9, throes);
    PoseKit buckle(sk);
    buckle.Turn("LeftUpLeg", -50.0f, 6.0f).Turn("LeftLeg", 95.0f).Turn("LeftFoot", -45.0f);
    buckle.Turn("RightUpLeg", -42.0f, -8.0f).Turn("RightLeg", 88.0f).Turn("RightFoot", -45.0f);
    buckle.Turn("Spine", 20.0f).Turn("Spine1", 10.0f).Turn("Neck", 12.0f).Turn("Jaw", 15.0f);
    buckle.Turn("LeftArm", 20.0f, 0.0f, -10.0f).Turn("RightArm", 25.0f, 0.0f, 10.0f);
    buckle.Move({0, -36, 6});
    tl.Key(22, buckle);
    PoseKit fall(sk);
    fall.Turn("Hips", 50.0f);
    fall.Turn("LeftUpLeg", -35.0f).Turn("LeftLeg", 80.0f).Turn("RightUpLeg", -25.0f).Turn("RightLeg", 75.0f);
    fall.Turn("Spine", 10.0f).Turn("Neck", -10.0f);
    fall.Turn("LeftArm", -35.0f, 0.0f, 20.0f).Turn("RightArm", -45.0f, 0.0f, -20.0f);
    fall.Move({0, -50, 22});
    tl.Key(34, fall);
    PoseKit down(sk);
    down.Turn("Hips", 86.0f, 0.0f, -6.0f);
    down.Turn("LeftUpLeg", 2.0f, 8.0f).Turn("LeftLeg", 30.0f).Turn("RightUpLeg", 6.0f, -10.0f).Turn("RightLeg", 18.0f);
    down.Turn("LeftFoot", 35.0f).Turn("RightFoot", 30.0f);
    down.Turn("Spine", -10.0f).Turn("Spine1", -6.0f).Turn("Neck", -18.0f, 55.0f).Turn("Jaw", 20.0f);
    down.Turn("LeftArm", -92.0f, 0.0f, 30.0f).Turn("RightArm", -80.0f, 0.0f, -30.0f).Turn("LeftForeArm", -10.0f);
    down.Move({0, -80, 40});
    tl.Key(46, down);
    PoseKit still = down;
    still.Turn("Neck", 2.0f, 5.0f).Move({0, -1, 1});
    tl.Key(static_cast<float>(ZombieClips::DeathTicks), still);
    return tl;
}

} // namespace

std::vector<ClipRecipe> ZombieClips::All(const Skeleton& skeleton)
{
    const auto sk = std::make_shared<const Skeleton>(skeleton);
    const auto attack = std::make_shared<const PoseTimeline>(Attack(*sk));
    const auto death = std::make_shared<const PoseTimeline>(Death(*sk));
    return {{"ZombieIdle", IdleTicks, [sk](float t) { return Idle(*sk, t); }},
            {"ZombieWalking", WalkTicks, [sk](float t) { return Walk(*sk, t); }},
            {"ZombieRun", RunTicks, [sk](float t) { return Run(*sk, t); }},
            {"ZombieAttack", AttackTicks, [sk, attack](float t) { return attack->At(t); }},
            {"ZombieDeath", DeathTicks, [sk, death](float t) { return death->At(t); }}};
}
