// What the first-person camera shows of the gun in a running Scene0 at 16:9: the gun low on the
// right taking a modest share of the frame, its muzzle in view, both hands on it, and the bubble
// leaving from the muzzle. The gun is rasterised on the CPU from the mesh the game loaded.
#include "GeneratedModelSupport.h"
#include "assets/MeshComponent.h"
#include "game/actors/SkeletonBones.h"
#include "scene/components/AnimationComponent.h"
#include "support/SceneDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>

namespace {

constexpr int FrameW = 320, FrameH = 180; // 16:9, as the game's 1280 x 720 window
constexpr float HandReach = 0.12f;        // a wrist is within a hand's length of what it holds

struct ScreenPoint {
    glm::vec2 pixel; // x right, y down
    float depth;     // clip w: distance along the view direction
};

ScreenPoint Project(const glm::mat4& viewProj, const glm::vec3& world)
{
    const glm::vec4 c = viewProj * glm::vec4(world, 1.0f);
    // The renderer here is not Vulkan: clip-space y points up.
    return {{(c.x / c.w + 1.0f) * 0.5f * FrameW, (1.0f - c.y / c.w) * 0.5f * FrameH}, c.w};
}

bool InFrame(const ScreenPoint& p)
{
    return p.depth > 0.0f && p.pixel.x >= 0.0f && p.pixel.x <= FrameW && p.pixel.y >= 0.0f && p.pixel.y <= FrameH;
}

struct Footprint {
    double coverage = 0.0; // share of the frame's pixels
    glm::vec2 lo{1.0f}, hi{0.0f};
    float nearest = std::numeric_limits<float>::max();
    double RectangleShare() const { return std::max(0.0f, hi.x - lo.x) * std::max(0.0f, hi.y - lo.y); }
};

// Pixel centres covered by any triangle of the mesh, whichever way it faces.
Footprint Rasterise(const MeshComponent& mesh, const glm::mat4& mvp)
{
    std::vector<uint8_t> covered(static_cast<size_t>(FrameW * FrameH), 0);
    Footprint f;
    modeltest::ForEachTriangle(mesh, [&](const Vertex& va, const Vertex& vb, const Vertex& vc) {
        ScreenPoint p[3] = {Project(mvp, va.position), Project(mvp, vb.position), Project(mvp, vc.position)};
        for (const ScreenPoint& q : p)
            f.nearest = std::min(f.nearest, q.depth);
        if (p[0].depth <= 0.0f || p[1].depth <= 0.0f || p[2].depth <= 0.0f)
            return;
        const glm::vec2 a = p[0].pixel, b = p[1].pixel, c = p[2].pixel;
        const float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
        if (std::abs(area) < 1e-9f)
            return;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
        const int x1 = std::min(FrameW - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
        const int y1 = std::min(FrameH - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const glm::vec2 s(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
                const float w0 = ((b.x - s.x) * (c.y - s.y) - (c.x - s.x) * (b.y - s.y)) / area;
                const float w1 = ((c.x - s.x) * (a.y - s.y) - (a.x - s.x) * (c.y - s.y)) / area;
                if (w0 >= 0.0f && w1 >= 0.0f && w0 + w1 <= 1.0f)
                    covered[static_cast<size_t>(y * FrameW + x)] = 1;
            }
    });
    size_t count = 0;
    for (int y = 0; y < FrameH; ++y)
        for (int x = 0; x < FrameW; ++x)
            if (covered[static_cast<size_t>(y * FrameW + x)]) {
                ++count;
                f.lo = glm::min(f.lo, glm::vec2(x / float(FrameW), y / float(FrameH)));
                f.hi = glm::max(f.hi, glm::vec2((x + 1) / float(FrameW), (y + 1) / float(FrameH)));
            }
    f.coverage = static_cast<double>(count) / (FrameW * FrameH);
    return f;
}

class FirstPersonView : public ::testing::Test {
protected:
    void SetUp() override
    {
        d.StopSpawning();
        d.LookAtYaw(0.0f);
        gun = d.Player().gun;
        gunMesh = gun->GetComponent<MeshComponent>();
        ASSERT_NE(gunMesh, nullptr);
        ASSERT_NEAR(d.Cam().aspect, 16.0f / 9.0f, 1e-4f);
    }

    glm::mat4 ViewProj() const { return d.Cam().projection * d.Cam().GetViewMatrix(); }
    glm::mat4 GunModel() const { return gun->GetComponent<TransformComponent>()->GetModelMatrix(); }

    // The centre of the muzzle's rim: the gun model points its muzzle along -X.
    glm::vec3 Muzzle() const
    {
        const modeltest::Box box = modeltest::Bounds(*gunMesh);
        glm::vec3 sum(0.0f);
        int n = 0;
        for (const Vertex& v : gunMesh->vertices)
            if (v.position.x < box.lo.x + 0.1f) {
                sum += v.position;
                ++n;
            }
        return glm::vec3(GunModel() * glm::vec4(sum / static_cast<float>(n), 1.0f));
    }

    float DistanceToGun(const glm::vec3& world) const
    {
        const glm::mat4 model = GunModel();
        float best = std::numeric_limits<float>::max();
        for (const Vertex& v : gunMesh->vertices)
            best = std::min(best, glm::distance(world, glm::vec3(model * glm::vec4(v.position, 1.0f))));
        return best;
    }

    glm::vec3 Hand(int id) const
    {
        const PlayerActor& p = d.Player();
        const auto mesh = p.GetComponent<MeshComponent>();
        const auto anim = p.GetComponent<AnimationComponent>();
        return BoneWorldPosition(p.Transform().GetModelMatrix(), anim->finalBoneMatrices[id],
                                 InverseBoneOffset(*mesh, id));
    }

    void ExpectGunReadsAsFirstPerson(const char* when, bool print = true)
    {
        SCOPED_TRACE(when);
        const Footprint f = Rasterise(*gunMesh, ViewProj() * GunModel());
        const ScreenPoint start = Project(ViewProj(), d.Player().GunPosition());
        if (print)
            std::printf("%s: gun covers %.1f%% of the frame, rectangle %.2f-%.2f x %.2f-%.2f (%.1f%%), nearest %.2f m, "
                        "bubble starts at %.2f, %.2f\n",
                        when, 100.0 * f.coverage, f.lo.x, f.hi.x, f.lo.y, f.hi.y, 100.0 * f.RectangleShare(), f.nearest,
                        start.pixel.x / FrameW, start.pixel.y / FrameH);
        // Nothing of the gun is cut open by the near plane.
        EXPECT_GT(f.nearest, d.Cam().nearPlane);
        // A modest share of the frame: well under a sixth of it, rectangle included.
        EXPECT_GT(f.coverage, 0.01) << "the gun should be plainly in view";
        EXPECT_LT(f.coverage, 1.0 / 16.0);
        EXPECT_LT(f.RectangleShare(), 1.0 / 6.0);
        // Low on the right: all of it in the lower right quarter of the frame.
        EXPECT_GT(f.lo.x, 0.5f);
        EXPECT_GT(f.lo.y, 0.5f);
        EXPECT_TRUE(InFrame(Project(ViewProj(), Muzzle()))) << "the muzzle is out of view";
        EXPECT_TRUE(InFrame(start)) << "the bubble would start out of view";
        EXPECT_LT(DistanceToGun(Hand(8)), HandReach) << "the left hand let go of the gun";
        EXPECT_LT(DistanceToGun(Hand(32)), HandReach) << "the right hand let go of the gun";
    }

    SceneDriver d;
    Actor* gun = nullptr;
    std::shared_ptr<MeshComponent> gunMesh;
};

} // namespace

TEST_F(FirstPersonView, GunSitsLowOnTheRightHeldByBothHands)
{
    d.RunFor(0.5f);
    ExpectGunReadsAsFirstPerson("standing");
    // Every frame of a whole stride: the gun bobs lowest and highest somewhere in it.
    d.Key(SDL_SCANCODE_W, true);
    for (int frame = 0; frame < 48 && !HasFailure(); ++frame) {
        d.Step();
        const std::string when = "walking, frame " + std::to_string(frame);
        ExpectGunReadsAsFirstPerson(when.c_str(), frame % 12 == 0);
    }
    d.Key(SDL_SCANCODE_W, false);
}

TEST_F(FirstPersonView, BubbleLeavesThroughTheMuzzle)
{
    d.RunFor(0.5f);
    const ScreenPoint muzzle = Project(ViewProj(), Muzzle());
    d.Click();
    d.Step();
    ASSERT_TRUE(d.Player().bubbleFlying);
    // First frame of the flight: the bubble is already past the muzzle, and the muzzle lies
    // inside its outline on screen, so it is seen coming out of the gun.
    const glm::vec3 centre = d.Player().bubble->GetComponent<TransformComponent>()->position;
    const ScreenPoint c = Project(ViewProj(), centre);
    ASSERT_GT(c.depth, muzzle.depth);
    const float radiusPixels = 0.3f * d.Cam().projection[1][1] / c.depth * 0.5f * FrameH;
    EXPECT_LT(glm::distance(c.pixel, muzzle.pixel), radiusPixels);
}
