// The steps that turn a signed distance shape into a game model: polygonising, simplifying,
// unwrapping and skinning, checked on shapes whose answers are known.
#include "tools/models/BodyKit.h"
#include "tools/models/MeshOptimiser.h"
#include "tools/models/PoseKit.h"
#include "tools/models/Skinning.h"
#include "tools/models/SurfaceNets.h"
#include "tools/models/UvAtlas.h"

#include "support/MeshVolume.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <stdexcept>

namespace {

constexpr double Pi = 3.14159265358979;

std::map<std::pair<uint32_t, uint32_t>, int> EdgeUse(const ModelMesh& m)
{
    std::map<std::pair<uint32_t, uint32_t>, int> edges;
    for (const glm::uvec3& t : m.triangles)
        for (int k = 0; k < 3; ++k) {
            const uint32_t a = t[k], b = t[(k + 1) % 3];
            ++edges[{std::min(a, b), std::max(a, b)}];
        }
    return edges;
}

bool Closed(const ModelMesh& m)
{
    for (const auto& [edge, uses] : EdgeUse(m))
        if (uses != 2)
            return false;
    return true;
}

SdfShape Ball(float radius)
{
    SdfShape s;
    SdfPrimitive p;
    p.kind = SdfPrimitive::Kind::Ellipsoid;
    p.radii = glm::vec3(radius);
    s.Add(p);
    return s;
}

ModelMesh Net(const SdfShape& s, float cell)
{
    glm::vec3 lo, hi;
    s.Bounds(lo, hi);
    ModelMesh m = SurfaceNets::Build([&s](const glm::vec3& p) { return s.Distance(p); }, lo, hi, cell);
    for (const glm::vec3& p : m.positions)
        m.normals.push_back(s.Gradient(p));
    return m;
}

} // namespace

TEST(SurfaceNets, SphereComesOutClosedOutwardAndOnTheSurface)
{
    const SdfShape ball = Ball(5.0f);
    const ModelMesh m = Net(ball, 0.5f);
    EXPECT_TRUE(Closed(m));
    EXPECT_NEAR(EnclosedVolume(m), 4.0 / 3.0 * Pi * 125.0, 0.03 * 4.0 / 3.0 * Pi * 125.0);
    for (const glm::vec3& p : m.positions)
        ASSERT_NEAR(glm::length(p), 5.0f, 0.15f);
}

TEST(SurfaceNets, TorusKeepsItsHole)
{
    SdfShape s;
    SdfPrimitive ring;
    ring.kind = SdfPrimitive::Kind::Torus;
    ring.ra = 4.0f;
    ring.rb = 1.5f;
    s.Add(ring);
    const ModelMesh m = Net(s, 0.3f);
    ASSERT_TRUE(Closed(m));
    // Euler characteristic V - E + F of a torus is 0 (a sphere would give 2).
    const long long v = static_cast<long long>(m.positions.size()), e = static_cast<long long>(EdgeUse(m).size()),
                    f = static_cast<long long>(m.triangles.size());
    EXPECT_EQ(v - e + f, 0);
    EXPECT_NEAR(EnclosedVolume(m), 2.0 * Pi * Pi * 4.0 * 1.5 * 1.5, 0.05 * 2.0 * Pi * Pi * 4.0 * 2.25);
}

TEST(UvAtlas, EveryPlaceOnTheModelGetsItsOwnUnmirroredTexels)
{
    // A bent tube folds back on itself round one cylindrical chart: the fold must not share texels.
    CharacterDesign d;
    BodyKit kit(d);
    const int chart = kit.Chart({0, -12, 0}, {0, 12, 0}, {0, 0, 1}, 1.0f);
    kit.Use("Hips", 0, chart, 1.5f);
    kit.Capsule({0, -10, 0}, {0, 10, 0}, 4.0f, 4.0f);
    kit.Capsule({0, 10, 0}, {0, 10, 9}, 2.0f, 2.0f);
    kit.Capsule({0, 10, 9}, {0, -6, 9}, 2.0f, 2.0f); // hangs down in front of the trunk
    kit.Commit();
    ModelMesh closed = Net(d.shape, 0.4f);
    MeshOptimiser::Simplify(closed, 3000, 0.005f);
    AtlasLayout layout;
    const ModelMesh m = UvAtlas::Unwrap(d, closed, 512, layout);
    ASSERT_EQ(layout.triangleChart.size(), m.triangles.size());
    EXPECT_GT(layout.rects.size(), 1u) << "the fold should have been moved to islands of its own";
    std::vector<int> owner(512 * 512, -1);
    size_t shared = 0, covered = 0;
    for (size_t t = 0; t < m.triangles.size(); ++t) {
        glm::vec2 uv[3];
        for (int k = 0; k < 3; ++k) {
            uv[k] = m.uvs[m.triangles[t][k]];
            ASSERT_GE(uv[k].x, 0.0f);
            ASSERT_LE(uv[k].x, 1.0f);
            ASSERT_GE(uv[k].y, 0.0f);
            ASSERT_LE(uv[k].y, 1.0f);
            uv[k] *= 512.0f;
        }
        const float area = (uv[1].x - uv[0].x) * (uv[2].y - uv[0].y) - (uv[2].x - uv[0].x) * (uv[1].y - uv[0].y);
        EXPECT_LT(area, 0.0f) << "mirrored UVs on triangle " << t;
        const glm::ivec2 lo = glm::max(glm::ivec2(glm::floor(glm::min(uv[0], glm::min(uv[1], uv[2])))), glm::ivec2(0));
        const glm::ivec2 hi = glm::min(glm::ivec2(glm::ceil(glm::max(uv[0], glm::max(uv[1], uv[2])))), glm::ivec2(511));
        for (int y = lo.y; y <= hi.y; ++y)
            for (int x = lo.x; x <= hi.x; ++x) {
                const glm::vec2 c(x + 0.5f, y + 0.5f);
                const float w0 = ((uv[1].x - c.x) * (uv[2].y - c.y) - (uv[2].x - c.x) * (uv[1].y - c.y)) / area;
                const float w1 = ((uv[2].x - c.x) * (uv[0].y - c.y) - (uv[0].x - c.x) * (uv[2].y - c.y)) / area;
                if (w0 <= 0.0f || w1 <= 0.0f || w0 + w1 >= 1.0f)
                    continue;
                int& o = owner[static_cast<size_t>(y * 512 + x)];
                shared += o >= 0;
                ++covered;
                o = static_cast<int>(t);
            }
    }
    EXPECT_GT(covered, 512u * 512u / 5);
    EXPECT_EQ(shared, 0u);
}

TEST(Skinning, WeightsFollowTheChainAndKeepSiblingsApart)
{
    CharacterDesign d;
    BodyKit kit(d);
    // Every bone needs a vertex: small balls far away, one per bone.
    for (size_t b = 0; b < d.skeleton.bones.size(); ++b) {
        kit.Use(d.skeleton.bones[b].name, 0, 0, 0.0f);
        kit.Ellipsoid({200.0f + 10.0f * static_cast<float>(b), 0, 0}, glm::vec3(2.0f));
    }
    // A thigh and shin (parent and child), and the other thigh touching the first.
    kit.Use("LeftUpLeg", 0, 0, 2.0f, 4.0f);
    kit.Capsule({5, 90, 0}, {5, 50, 0}, 6.0f, 5.0f);
    kit.Use("LeftLeg", 0, 0, 2.0f, 4.0f);
    kit.Capsule({5, 50, 0}, {5, 10, 0}, 5.0f, 4.0f);
    kit.Use("RightUpLeg", 0, 0, 2.0f, 4.0f);
    kit.Capsule({-6, 90, 0}, {-6, 50, 0}, 6.0f, 5.0f);
    kit.Commit();
    ModelMesh m = Net(d.shape, 1.0f);
    const std::vector<VertexSkin> skin = Skinning::Compute(d, m);
    const int up = d.skeleton.Find("LeftUpLeg"), low = d.skeleton.Find("LeftLeg"),
              other = d.skeleton.Find("RightUpLeg");
    bool blendedKnee = false;
    for (size_t v = 0; v < m.positions.size(); ++v) {
        std::set<int> bones;
        float sum = 0.0f;
        for (int k = 0; k < 4; ++k)
            if (skin[v].bones[k] >= 0) {
                bones.insert(skin[v].bones[k]);
                sum += skin[v].weights[k];
            }
        ASSERT_NEAR(sum, 1.0f, 1e-5f);
        EXPECT_FALSE(bones.count(up) && bones.count(other)) << "the two thighs share a vertex";
        const glm::vec3 p = m.positions[v];
        if (p.x > 0.0f && p.x < 100.0f && p.y > 75.0f) {
            EXPECT_EQ(bones, std::set<int>{up}) << "high on the thigh";
        }
        if (p.x > 0.0f && p.x < 100.0f && p.y < 30.0f) {
            EXPECT_EQ(bones, std::set<int>{low}) << "low on the shin";
        }
        blendedKnee |= std::abs(p.y - 50.0f) < 2.0f && bones == std::set<int>{up, low};
    }
    EXPECT_TRUE(blendedKnee);
}

TEST(Skinning, RefusesABoneWithoutVertices)
{
    CharacterDesign d;
    BodyKit kit(d);
    kit.Use("Hips", 0, 0, 0.0f);
    kit.Ellipsoid({0, 0, 0}, glm::vec3(5.0f));
    kit.Commit();
    const ModelMesh m = Net(d.shape, 1.0f);
    // The import would drop the empty bones and shift every id after them.
    EXPECT_THROW(Skinning::Compute(d, m), std::runtime_error);
}

TEST(PoseTimeline, HoldsOutsideItsKeysAndEasesBetween)
{
    const Skeleton sk;
    PoseKit a(sk), b(sk);
    b.Turn("Neck", 90.0f).Move({0, -10, 0});
    PoseTimeline tl;
    tl.Key(10, a).Key(20, b);
    const int neck = sk.Find("Neck");
    auto angle = [&](float t) { return glm::degrees(glm::angle(tl.At(t).rotation[static_cast<size_t>(neck)])); };
    EXPECT_NEAR(angle(0.0f), 0.0f, 1e-3f);
    EXPECT_NEAR(angle(15.0f), 45.0f, 1e-2f);
    EXPECT_LT(angle(12.0f), 0.2f * 90.0f); // eased: slow off the first key
    EXPECT_NEAR(angle(30.0f), 90.0f, 1e-2f);
    EXPECT_FLOAT_EQ(tl.At(30.0f).hipsOffset.y, -10.0f);
    EXPECT_THROW(tl.Key(20, a), std::invalid_argument);
}
