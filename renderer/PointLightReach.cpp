#include "renderer/PointLightReach.h"

#include <algorithm>
#include <cmath>
#include <limits>

float PointLightReach(const PointLight& light)
{
    constexpr float Unbounded = std::numeric_limits<float>::infinity();
    const float c = light.constant, l = light.linear, q = light.quadratic;
    if (!std::isfinite(c) || !std::isfinite(l) || !std::isfinite(q) || l < 0.0f || q < 0.0f || (l == 0.0f && q == 0.0f))
        return Unbounded;
    const glm::vec3 colour(light.colour), ambient(light.ambient);
    const float peak = std::max({colour.r, colour.g, colour.b, ambient.r, ambient.g, ambient.b});
    if (!std::isfinite(peak))
        return Unbounded;
    // Solve c + l d + q d^2 = peak / threshold for the distance d, in double: the terms differ
    // by orders of magnitude.
    const double denominator = double(peak) / double(NegligibleContribution);
    const double rest = double(c) - denominator;
    if (rest >= 0.0)
        return 0.0f; // under the threshold at the light itself: it never shows
    if (q == 0.0f)
        return float(-rest / double(l));
    const double root = std::sqrt(double(l) * double(l) - 4.0 * double(q) * rest);
    return float((root - double(l)) / (2.0 * double(q)));
}
