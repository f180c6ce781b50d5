// Matrix, quaternion and random helpers shared by the engine and the game.
// Matrices are column-major and act on column vectors; quaternions are stored w, x, y, z.
#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include <random>

// Degrees to radians as the game has always converted them: a hair below pi/180.
inline constexpr float DegToRad = 0.017453289f;

// Rotation by angleDegrees about the (normalised) axis.
glm::mat4 Rotate(float angleDegrees, const glm::vec3& axis);

// General 4x4 inverse (cofactors over the determinant).
glm::mat4 Inverse(const glm::mat4& m);

// a x b, composed right to left.
glm::mat4 Multiply(const glm::mat4& a, const glm::mat4& b);

// T(position) x R(rotation) x S(scale).
glm::mat4 ModelMatrix(const glm::vec3& position, const glm::quat& rotation, const glm::vec3& scale);

// Unit quaternion of a 3x3 rotation matrix (largest-diagonal-element method).
glm::quat QuatFromRotationMatrix(const glm::mat3& rotation);

// Rotation that turns the model's front (+Z) towards the horizontal direction `direction`,
// with +Y up. Returns the identity for a direction without horizontal length.
glm::quat LookRotation(const glm::vec3& direction);

// Fraction of the remaining way that a chase at `rate` (fraction of the gap closed per second when
// the steps are small) covers in `dt` seconds: 1 - e^(-rate * dt). A chase stepped with it ends at
// the same place whatever the frame rate, and never overshoots.
float ApproachFraction(float rate, float dt);

// The one process-wide Mersenne Twister, seeded once from the system's random device.
std::mt19937& RandomGenerator();

// Uniform float in [a, b): a + u * (b - a) with u = next 32-bit draw * 2^-32.
float RandomRange(float a, float b);
