#include "tools/models/GunPainter.h"

#include "tools/models/CharacterDesign.h"
#include "tools/models/PaintKit.h"

using namespace paint;

namespace {

// Bubbles as circles on a 3D lattice of jittered centres (cm).
float Bubbles(const glm::vec3& p, float cell, float radius)
{
    const glm::vec3 c = glm::floor(p / cell);
    float best = 1e9f;
    for (int dz = -1; dz <= 1; ++dz)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const glm::vec3 k = c + glm::vec3(dx, dy, dz);
                const glm::vec3 j(Noise(k * 0.731f + 0.17f), Noise(k * 0.613f + 4.3f), Noise(k * 0.877f + 9.1f));
                const float r = radius * (0.5f + 0.5f * (Noise(k * 0.37f + 2.0f) + 1.0f));
                best = std::min(best, glm::distance(p, (k + 0.5f + 0.8f * j) * cell) - r);
            }
    return best;
}

} // namespace

Paint GunPainter::At(const SurfacePoint& s)
{
    const glm::vec3 p = s.position;
    Paint out;
    switch (s.material) {
    case GunBody: {
        out.colour = glm::vec3(0.93f, 0.42f, 0.07f) * (0.95f + 0.08f * Noise(p * 3.0f));
        // Moulded panel lines round the housing and a cream stripe along it.
        const float seam = Band(std::fmod(std::abs(p.z + 20.0f), 5.0f) - 2.5f, 0.06f, 0.05f);
        out.height = -0.05f * seam;
        out.colour *= 1.0f - 0.35f * seam;
        out.colour =
            Mix(out.colour, {0.95f, 0.88f, 0.70f}, Band(p.y - 1.2f, 0.35f, 0.1f) * Smooth(2.0f, 2.8f, std::abs(p.x)));
        out.gloss = 0.7f;
        break;
    }
    case GunAccent:
        out.colour = glm::vec3(0.08f, 0.55f, 0.58f) * (0.92f + 0.1f * Noise(p * 4.0f));
        out.height = 0.03f * Band(std::fmod(std::abs(p.y * 3.0f), 1.0f) - 0.5f, 0.1f, 0.1f);
        out.gloss = 0.65f;
        break;
    case GunMetal: {
        const float brushed = Noise(glm::vec3(p.x * 0.5f, p.y * 40.0f, p.z * 0.5f));
        const float scratch = Smooth(0.55f, 0.7f, Noise(p * glm::vec3(8.0f, 0.7f, 8.0f)));
        out.colour = glm::vec3(0.62f, 0.63f, 0.66f) * (0.9f + 0.12f * brushed) + 0.15f * scratch;
        out.height = 0.02f * brushed;
        out.gloss = 0.85f;
        break;
    }
    case GunRubber: {
        // Diamond knurling.
        const glm::vec2 c = s.chart / 0.35f;
        const float k = std::abs(std::sin(3.14159f * (c.x + c.y))) * std::abs(std::sin(3.14159f * (c.x - c.y)));
        out.colour = glm::vec3(0.10f, 0.10f, 0.11f) * (0.85f + 0.4f * k);
        out.height = 0.06f * k;
        out.gloss = 0.2f;
        break;
    }
    case GunGlass: {
        // Tinted glass with pink mix pooling at the bottom and bubbles inside.
        glm::vec3 c(0.50f, 0.72f, 0.82f);
        const float liquid = Smooth(0.6f, -0.6f, p.y + 0.6f * Noise(p * 0.8f));
        c = Mix(c, {0.92f, 0.30f, 0.62f}, 0.85f * liquid);
        const float b = Bubbles(p, 1.3f, 0.45f);
        c = Mix(c, {0.95f, 0.97f, 1.0f}, Band(b, 0.05f, 0.06f) * 0.9f);
        c = Mix(c, {0.75f, 0.90f, 0.97f}, (b < 0.0f ? 0.35f : 0.0f));
        // A window reflection streak.
        c = Mix(c, glm::vec3(1.0f),
                0.8f * Band(p.y - 2.4f + 0.25f * p.z, 0.25f, 0.3f) * (s.normal.y > 0.2f ? 1.0f : 0.0f));
        out.colour = c;
        out.gloss = 0.95f;
        break;
    }
    case GunLiquid: {
        const float b = Bubbles(p, 0.9f, 0.3f);
        glm::vec3 c = Mix({0.86f, 0.22f, 0.58f}, {0.98f, 0.55f, 0.80f}, 0.5f + 0.5f * Noise(p * 1.2f));
        c = Mix(c, {0.99f, 0.85f, 0.95f}, Band(b, 0.04f, 0.05f));
        // Fill level: clear tinted plastic above it.
        c = Mix(c, {0.70f, 0.75f, 0.80f}, Smooth(5.6f, 5.9f, p.y));
        out.colour = c;
        out.gloss = 0.9f;
        break;
    }
    default:
        out.colour = {1.0f, 0.0f, 1.0f};
    }
    out.colour *= 0.6f + 0.4f * s.occlusion;
    return out;
}
