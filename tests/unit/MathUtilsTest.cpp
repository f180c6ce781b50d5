#include "math/MathUtils.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectNear(const glm::vec3& a, const glm::vec3& b, float eps = 1e-5f)
{
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

void ExpectSameRotation(const glm::quat& a, const glm::quat& b, float eps = 1e-5f)
{
    // q and -q are the same rotation.
    const float d = std::abs(glm::dot(a, b));
    EXPECT_NEAR(d, 1.0f, eps);
}

} // namespace

TEST(MathUtils, QuaternionStorageIsWxyz)
{
    const glm::quat q(0.5f, 0.1f, 0.2f, 0.3f);
    const float* raw = &q.w;
    EXPECT_EQ(static_cast<const void*>(raw), static_cast<const void*>(&q));
    EXPECT_FLOAT_EQ(reinterpret_cast<const float*>(&q)[0], 0.5f);
    EXPECT_FLOAT_EQ(reinterpret_cast<const float*>(&q)[3], 0.3f);
}

TEST(MathUtils, RotateUsesTheGamesDegreeFactor)
{
    // 90 degrees about Z turns +X into +Y.
    const glm::mat4 r = Rotate(90.0f, glm::vec3(0, 0, 1));
    ExpectNear(glm::vec3(r * glm::vec4(1, 0, 0, 1)), glm::vec3(0, 1, 0));
    // The axis is normalised.
    const glm::mat4 r2 = Rotate(90.0f, glm::vec3(0, 0, 5));
    ExpectNear(glm::vec3(r2 * glm::vec4(1, 0, 0, 1)), glm::vec3(0, 1, 0));
    // 180 degrees with 0.017453289 is a hair short of pi: cos is not exactly -1.
    const float a = 180.0f * 0.017453289f;
    EXPECT_FLOAT_EQ(Rotate(180.0f, glm::vec3(1, 0, 0))[1][1], std::cos(a));
    // First column of the axis-angle matrix: c + (1-c)x^2, (1-c)xy + sz, (1-c)xz - sy.
    const glm::vec3 axis = glm::normalize(glm::vec3(1, 2, 3));
    const float angle = 40.0f * 0.017453289f, c = std::cos(angle), s = std::sin(angle);
    const glm::mat4 m = Rotate(40.0f, glm::vec3(1, 2, 3));
    EXPECT_NEAR(m[0][0], c + (1 - c) * axis.x * axis.x, 1e-6f);
    EXPECT_NEAR(m[0][1], (1 - c) * axis.x * axis.y + s * axis.z, 1e-6f);
    EXPECT_NEAR(m[0][2], (1 - c) * axis.x * axis.z - s * axis.y, 1e-6f);
    EXPECT_FLOAT_EQ(m[3][3], 1.0f);
}

TEST(MathUtils, ModelMatrixIsTranslateRotateScale)
{
    const glm::mat4 m = ModelMatrix({1, 2, 3}, glm::quat(1, 0, 0, 0), {2, 2, 2});
    EXPECT_FLOAT_EQ(m[0][0], 2.0f);
    EXPECT_FLOAT_EQ(m[1][1], 2.0f);
    EXPECT_FLOAT_EQ(m[2][2], 2.0f);
    EXPECT_FLOAT_EQ(m[3][3], 1.0f);
    ExpectNear(glm::vec3(m[3]), {1, 2, 3});

    // Scale first, then rotate (90 degrees about Y: +X goes to -Z), then translate.
    const float h = std::sqrt(0.5f);
    const glm::mat4 trs = ModelMatrix({10, 0, 0}, glm::quat(h, 0, h, 0), {3, 1, 1});
    ExpectNear(glm::vec3(trs * glm::vec4(1, 0, 0, 1)), {10, 0, -3});
    // First column of R(q) = (1 - 2(y^2 + z^2), 2(xy + wz), 2(xz - wy)) for unit scale.
    const glm::quat q = glm::normalize(glm::quat(0.9f, 0.1f, -0.3f, 0.2f));
    const glm::mat4 r = ModelMatrix({0, 0, 0}, q, {1, 1, 1});
    EXPECT_NEAR(r[0][0], 1 - 2 * (q.y * q.y + q.z * q.z), 1e-6f);
    EXPECT_NEAR(r[0][1], 2 * (q.x * q.y + q.w * q.z), 1e-6f);
    EXPECT_NEAR(r[0][2], 2 * (q.x * q.z - q.w * q.y), 1e-6f);
}

TEST(MathUtils, QuaternionFromRotationMatrixCoversEveryBranch)
{
    // Identity (trace branch) and 180-degree turns (x, y and z branches).
    ExpectSameRotation(QuatFromRotationMatrix(glm::mat3(1.0f)), glm::quat(1, 0, 0, 0));
    ExpectSameRotation(QuatFromRotationMatrix(glm::mat3(Rotate(180.0f, {1, 0, 0}))), glm::quat(0, 1, 0, 0));
    ExpectSameRotation(QuatFromRotationMatrix(glm::mat3(Rotate(180.0f, {0, 1, 0}))), glm::quat(0, 0, 1, 0));
    ExpectSameRotation(QuatFromRotationMatrix(glm::mat3(Rotate(180.0f, {0, 0, 1}))), glm::quat(0, 0, 0, 1));
    // Round trip of an arbitrary rotation, result unit length.
    const glm::quat q = glm::normalize(glm::quat(0.3f, -0.5f, 0.7f, 0.2f));
    const glm::quat back = QuatFromRotationMatrix(glm::mat3_cast(q));
    ExpectSameRotation(back, q);
    EXPECT_NEAR(glm::length(back), 1.0f, 1e-6f);
}

TEST(MathUtils, InverseAndProduct)
{
    // Hand inverse of translate(1,2,3) x scale(2,4,8): scale(1/2,1/4,1/8) x translate(-1,-2,-3).
    glm::mat4 m(1.0f);
    m[0][0] = 2;
    m[1][1] = 4;
    m[2][2] = 8;
    m[3] = glm::vec4(1, 2, 3, 1);
    const glm::mat4 inv = Inverse(m);
    EXPECT_FLOAT_EQ(inv[0][0], 0.5f);
    EXPECT_FLOAT_EQ(inv[1][1], 0.25f);
    EXPECT_FLOAT_EQ(inv[2][2], 0.125f);
    ExpectNear(glm::vec3(inv[3]), {-0.5f, -0.5f, -0.375f});
    // Products compose right to left: (T x S) p scales first.
    glm::mat4 t(1.0f), s(1.0f);
    t[3] = glm::vec4(5, 0, 0, 1);
    s[0][0] = 2;
    ExpectNear(glm::vec3(Multiply(t, s) * glm::vec4(1, 0, 0, 1)), {7, 0, 0});
    ExpectNear(glm::vec3(Multiply(s, t) * glm::vec4(1, 0, 0, 1)), {12, 0, 0});
}

TEST(MathUtils, LookRotationTurnsTheModelFrontTowardsTheDirection)
{
    for (const glm::vec3 dir : {glm::vec3(1, 0, 0), glm::vec3(0, 0, -1), glm::vec3(-3, 5, 4)}) {
        const glm::quat q = LookRotation(dir);
        const glm::vec3 front = q * glm::vec3(0, 0, 1);
        ExpectNear(front, glm::normalize(glm::vec3(dir.x, 0, dir.z)));
        ExpectNear(q * glm::vec3(0, 1, 0), {0, 1, 0}); // stays upright
    }
    ExpectSameRotation(LookRotation({0, 1, 0}), glm::quat(1, 0, 0, 0));
}

TEST(MathUtils, RandomRangeStaysInItsHalfOpenRange)
{
    float lo = 1e9f, hi = -1e9f;
    double sum = 0;
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        const float r = RandomRange(1.5f, 32.5f);
        ASSERT_GE(r, 1.5f);
        ASSERT_LT(r, 32.5f);
        lo = std::min(lo, r);
        hi = std::max(hi, r);
        sum += r;
    }
    EXPECT_LT(lo, 2.0f);
    EXPECT_GT(hi, 32.0f);
    EXPECT_NEAR(sum / n, 17.0, 0.5);
    EXPECT_FLOAT_EQ(RandomRange(2.0f, 2.0f), 2.0f);
    EXPECT_EQ(&RandomGenerator(), &RandomGenerator()); // one process-wide generator
}
