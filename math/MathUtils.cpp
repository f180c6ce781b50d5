#include "math/MathUtils.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

glm::mat4 Rotate(float angleDegrees, const glm::vec3& axis)
{
    return glm::rotate(glm::mat4(1.0f), angleDegrees * DegToRad, axis);
}

glm::mat4 Inverse(const glm::mat4& m)
{
    return glm::inverse(m);
}

glm::mat4 Multiply(const glm::mat4& a, const glm::mat4& b)
{
    return a * b;
}

glm::mat4 ModelMatrix(const glm::vec3& position, const glm::quat& rotation, const glm::vec3& scale)
{
    glm::mat4 m = glm::mat4_cast(rotation);
    m[0] *= scale.x;
    m[1] *= scale.y;
    m[2] *= scale.z;
    m[3] = glm::vec4(position, 1.0f);
    return m;
}

glm::quat QuatFromRotationMatrix(const glm::mat3& rotation)
{
    return glm::normalize(glm::quat_cast(rotation));
}

glm::quat LookRotation(const glm::vec3& direction)
{
    glm::vec3 h(direction.x, 0.0f, direction.z);
    float len = glm::length(h);
    if (len <= 1e-7f)
        return glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
    glm::vec3 front = h / len;
    const glm::vec3 worldUp(0.0f, 1.0f, 0.0f);
    glm::vec3 side = glm::normalize(glm::cross(worldUp, front));
    glm::vec3 up = glm::cross(front, side);
    return QuatFromRotationMatrix(glm::mat3(side, up, front));
}

std::mt19937& RandomGenerator()
{
    static std::mt19937 generator{std::random_device{}()};
    return generator;
}

float ApproachFraction(float rate, float dt)
{
    return -std::expm1(-rate * dt);
}

float RandomRange(float a, float b)
{
    // 2^-32 maps the full 32-bit output onto [0, 1).
    const double u = static_cast<double>(RandomGenerator()()) * (1.0 / 4294967296.0);
    const float r = static_cast<float>(a + u * (static_cast<double>(b) - a));
    // Rounding to float can land on b itself; keep the range half-open.
    return (a < b && r >= b) ? std::nextafter(b, a) : r;
}
