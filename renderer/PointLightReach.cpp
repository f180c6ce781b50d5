#include "renderer/PointLightReach.h"

#include <algorithm>
#include <cmath>
#include <limits>

float SurfaceLightGain(float roughness)
{
    // Pbr.glsl's floor on roughness; its diffuse term returns at most 1/pi of the light.
    constexpr double MinRoughness = 0.089, Pi = 3.14159265358979;
    const double r = std::clamp(std::isfinite(roughness) ? double(roughness) : 0.0, MinRoughness, 1.0);
    // Specular peak: GGX at the half vector's centre is 1 / (pi alpha^2) with alpha = r^2; Fresnel
    // is at most 1; Smith's G(v) G(l) over 4 (n.v)(n.l), times n.l, is at most 1 / (4k), with
    // Karis's k = (r + 1)^2 / 8.
    const double alpha = r * r, k = (r + 1.0) * (r + 1.0) / 8.0;
    const double gain = 1.0 / Pi + 1.0 / (Pi * alpha * alpha * 4.0 * k);
    return float(std::max(gain, 1.0));
}

float PointLightReach(const PointLight& light, float surfaceGain)
{
    constexpr float Unbounded = std::numeric_limits<float>::infinity();
    const float c = light.constant, l = light.linear, q = light.quadratic;
    if (!std::isfinite(c) || !std::isfinite(l) || !std::isfinite(q) || l < 0.0f || q < 0.0f || (l == 0.0f && q == 0.0f))
        return Unbounded;
    const glm::vec3 colour(light.colour), ambient(light.ambient);
    const double peak = double(std::max({colour.r, colour.g, colour.b})) * double(surfaceGain) +
                        double(std::max({ambient.r, ambient.g, ambient.b, 0.0f}));
    if (!std::isfinite(peak))
        return Unbounded;
    // Solve c + l d + q d^2 = peak / threshold for the distance d, in double: the terms differ
    // by orders of magnitude.
    const double rest = double(c) - peak / double(NegligibleContribution);
    if (rest >= 0.0)
        return 0.0f; // under the threshold at the light itself: it never shows
    if (q == 0.0f)
        return float(-rest / double(l));
    const double root = std::sqrt(double(l) * double(l) - 4.0 * double(q) * rest);
    return float((root - double(l)) / (2.0 * double(q)));
}
