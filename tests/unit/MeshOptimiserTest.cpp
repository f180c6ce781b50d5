// The generators' simplification and mesh ordering (meshoptimizer): budgets and error bounds kept,
// and reordering that changes nothing but the order, with every per-vertex record moving along.
#include "tools/models/MeshOptimiser.h"
#include "tools/models/Sdf.h"
#include "tools/models/SurfaceNets.h"

#include "support/MeshVolume.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numeric>
#include <random>
#include <stdexcept>
#include <tuple>

namespace {

constexpr double Pi = 3.14159265358979;
constexpr float Radius = 5.0f;

ModelMesh Ball(float cell)
{
    SdfShape s;
    SdfPrimitive p;
    p.kind = SdfPrimitive::Kind::Ellipsoid;
    p.radii = glm::vec3(Radius);
    s.Add(p);
    glm::vec3 lo, hi;
    s.Bounds(lo, hi);
    ModelMesh m = SurfaceNets::Build([&s](const glm::vec3& q) { return s.Distance(q); }, lo, hi, cell);
    for (const glm::vec3& q : m.positions)
        m.normals.push_back(s.Gradient(q));
    return m;
}

bool Closed(const ModelMesh& m)
{
    std::map<std::pair<uint32_t, uint32_t>, int> edges;
    for (const glm::uvec3& t : m.triangles)
        for (int k = 0; k < 3; ++k) {
            const uint32_t a = t[k], b = t[(k + 1) % 3];
            ++edges[{std::min(a, b), std::max(a, b)}];
        }
    return std::all_of(edges.begin(), edges.end(), [](const auto& e) { return e.second == 2; });
}

using Key = std::array<float, 3>;
Key KeyOf(const glm::vec3& p)
{
    return {p.x, p.y, p.z};
}

// A triangle as its three corner positions, started at the smallest so that the same triangle
// compares equal whichever corner comes first, while a flipped winding does not.
std::array<Key, 3> Corners(const ModelMesh& m, const glm::uvec3& t)
{
    std::array<Key, 3> c = {KeyOf(m.positions[t.x]), KeyOf(m.positions[t.y]), KeyOf(m.positions[t.z])};
    std::rotate(c.begin(), std::min_element(c.begin(), c.end()), c.end());
    return c;
}

std::vector<std::array<Key, 3>> TriangleSet(const ModelMesh& m)
{
    std::vector<std::array<Key, 3>> out;
    for (const glm::uvec3& t : m.triangles)
        out.push_back(Corners(m, t));
    std::sort(out.begin(), out.end());
    return out;
}

// Skin that a vertex's position decides, so a record that does not travel with its vertex shows.
VertexSkin SkinAt(const glm::vec3& p)
{
    VertexSkin s;
    const int band = static_cast<int>(std::floor(p.y + Radius)) % 8;
    const float w = 0.5f + 0.05f * (p.x + Radius);
    s.bones = {band, band + 10, -1, -1};
    s.weights = {w, 1.0f - w, 0.0f, 0.0f};
    return s;
}

// The ball with UVs and skin, its triangles and vertices shuffled: the worst order to start from.
ModelMesh ShuffledBall(std::vector<VertexSkin>& skin)
{
    ModelMesh m = Ball(0.5f);
    std::mt19937 rng(7);
    std::vector<uint32_t> perm(m.positions.size());
    std::iota(perm.begin(), perm.end(), 0u);
    std::shuffle(perm.begin(), perm.end(), rng);
    ModelMesh s;
    s.positions.resize(perm.size());
    s.normals.resize(perm.size());
    for (size_t i = 0; i < perm.size(); ++i) {
        s.positions[perm[i]] = m.positions[i];
        s.normals[perm[i]] = m.normals[i];
    }
    for (const glm::vec3& p : s.positions) {
        s.uvs.push_back({std::atan2(p.z, p.x), p.y});
        skin.push_back(SkinAt(p));
    }
    for (const glm::uvec3& t : m.triangles)
        s.triangles.push_back({perm[t.x], perm[t.y], perm[t.z]});
    std::shuffle(s.triangles.begin(), s.triangles.end(), rng);
    return s;
}

} // namespace

TEST(MeshSimplify, MeetsTheBudgetWithinTheErrorKeepingTheShapeClosed)
{
    ModelMesh m = Ball(0.25f);
    const double before = EnclosedVolume(m);
    ASSERT_GT(m.triangles.size(), 10000u);
    const float maxError = 0.01f;
    const float error = MeshOptimiser::Simplify(m, 600, maxError);
    EXPECT_LE(m.triangles.size(), 600u);
    EXPECT_GT(m.triangles.size(), 500u) << "stopped far short of the budget";
    EXPECT_LE(error, maxError);
    EXPECT_TRUE(Closed(m));
    EXPECT_NEAR(EnclosedVolume(m), before, 0.03 * before);
    EXPECT_EQ(m.normals.size(), m.positions.size());
    EXPECT_TRUE(m.uvs.empty());
    // Every vertex still lies on the sphere, within the error bound of its 10-unit extent (the
    // grid's own placement is good to a few hundredths of a unit).
    for (const glm::vec3& p : m.positions)
        ASSERT_NEAR(glm::length(p), Radius, maxError * 2.0f * Radius + 0.05f);
    for (size_t i = 0; i < m.positions.size(); ++i)
        ASSERT_GT(glm::dot(m.normals[i], m.positions[i]), 0.9f * Radius) << "a normal left its vertex";
    for (const glm::uvec3& t : m.triangles) {
        const glm::vec3 face = glm::cross(m.positions[t.y] - m.positions[t.x], m.positions[t.z] - m.positions[t.x]);
        ASSERT_GT(glm::dot(face, m.positions[t.x]), 0.0f) << "a triangle folded inwards";
    }
    // No vertex is left behind unused.
    std::vector<bool> used(m.positions.size(), false);
    for (const glm::uvec3& t : m.triangles)
        used[t.x] = used[t.y] = used[t.z] = true;
    EXPECT_TRUE(std::all_of(used.begin(), used.end(), [](bool u) { return u; }));
}

TEST(MeshSimplify, RefusesABudgetItCannotMeetWithinTheError)
{
    ModelMesh m = Ball(0.5f);
    // Forty triangles cannot hold a sphere to a ten-thousandth of its size.
    EXPECT_THROW(MeshOptimiser::Simplify(m, 40, 1e-4f), std::runtime_error);
}

TEST(MeshSimplify, LeavesAMeshWithinItsBudgetAlone)
{
    ModelMesh m = Ball(1.0f);
    const ModelMesh before = m;
    EXPECT_EQ(MeshOptimiser::Simplify(m, m.triangles.size() + 10, 0.001f), 0.0f);
    EXPECT_EQ(m.triangles, before.triangles);
    EXPECT_EQ(m.positions, before.positions);
}

TEST(MeshOrder, ReordersForTheCachesWithoutChangingTheMesh)
{
    std::vector<VertexSkin> skin;
    ModelMesh m = ShuffledBall(skin);
    const auto triangles = TriangleSet(m);
    std::map<Key, std::tuple<glm::vec3, glm::vec2, VertexSkin>> attributes;
    for (size_t i = 0; i < m.positions.size(); ++i)
        attributes[KeyOf(m.positions[i])] = {m.normals[i], m.uvs[i], skin[i]};
    const float acmrBefore = MeshOptimiser::Acmr(m);

    MeshOptimiser::Order(m, &skin);

    ASSERT_EQ(m.normals.size(), m.positions.size());
    ASSERT_EQ(m.uvs.size(), m.positions.size());
    ASSERT_EQ(skin.size(), m.positions.size());
    // The same triangles over the same positions, each wound as before.
    EXPECT_EQ(TriangleSet(m), triangles);
    // Normal, UV and skin are still those of the vertex's position.
    for (size_t i = 0; i < m.positions.size(); ++i) {
        const auto& [normal, uv, s] = attributes.at(KeyOf(m.positions[i]));
        ASSERT_EQ(m.normals[i], normal);
        ASSERT_EQ(m.uvs[i], uv);
        ASSERT_EQ(skin[i].bones, s.bones);
        ASSERT_EQ(skin[i].weights, s.weights);
        ASSERT_NEAR(skin[i].weights[0] + skin[i].weights[1] + skin[i].weights[2] + skin[i].weights[3], 1.0f, 1e-6f);
    }
    // Cache order: from a shuffled list (near 3 vertices per triangle) to close to the optimum of
    // a closed grid-like mesh (about 0.6).
    const float acmrAfter = MeshOptimiser::Acmr(m);
    EXPECT_GT(acmrBefore, 2.0f);
    EXPECT_LT(acmrAfter, 0.8f);
    // Fetch order: vertices are numbered in the order the triangles first use them.
    uint32_t next = 0;
    for (const glm::uvec3& t : m.triangles)
        for (int k = 0; k < 3; ++k) {
            ASSERT_LE(t[k], next) << "vertex " << t[k] << " is used before vertex " << next;
            if (t[k] == next)
                ++next;
        }
    EXPECT_EQ(next, m.positions.size());
}

TEST(MeshOrder, DropsUnusedVerticesAndTheirSkin)
{
    ModelMesh m;
    m.AddVertex({0, 0, 0}, {0, 0, 1}, {0, 0});
    m.AddVertex({9, 9, 9}, {0, 0, 1}, {1, 1}); // used by no triangle
    m.AddVertex({1, 0, 0}, {0, 0, 1}, {1, 0});
    m.AddVertex({0, 1, 0}, {0, 0, 1}, {0, 1});
    m.AddTriangle(0, 2, 3);
    std::vector<VertexSkin> skin(4);
    for (size_t i = 0; i < 4; ++i)
        skin[i].bones[0] = static_cast<int>(i);
    const auto corners = Corners(m, m.triangles[0]);
    MeshOptimiser::Order(m, &skin);
    ASSERT_EQ(m.positions.size(), 3u);
    ASSERT_EQ(skin.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NE(m.positions[i], glm::vec3(9, 9, 9));
        EXPECT_NE(skin[i].bones[0], 1);
    }
    ASSERT_EQ(m.triangles.size(), 1u);
    EXPECT_EQ(Corners(m, m.triangles[0]), corners);
}

TEST(MeshOrder, RefusesSkinThatDoesNotMatchTheVertices)
{
    ModelMesh m = Ball(1.0f);
    std::vector<VertexSkin> skin(m.positions.size() - 1);
    EXPECT_THROW(MeshOptimiser::Order(m, &skin), std::invalid_argument);
}
