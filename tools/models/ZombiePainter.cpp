#include "tools/models/ZombiePainter.h"

#include "tools/models/CharacterDesign.h"
#include "tools/models/PaintKit.h"
#include "tools/models/ZombieDesign.h"

using namespace paint;

namespace {

// Dark dried blood in splashes, stronger where `bias` says.
float Blood(const glm::vec3& p, float bias)
{
    return Smooth(0.15f, 0.35f, Fbm(p * 0.09f + glm::vec3(11.0f), 4) + bias);
}

// Frayed, darkened cloth next to a noise hole's edge (the shape cuts where noise > level).
float Fray(const glm::vec3& p, float scale, float level)
{
    const float n = stb_perlin_noise3(p.x * scale + 17.0f, p.y * scale, p.z * scale, 0, 0, 0);
    return Smooth(level - 0.12f, level, n);
}

::Paint SkinPaint(const SurfacePoint& s)
{
    const glm::vec3 p = s.position;
    ::Paint out;
    glm::vec3 c(0.55f, 0.62f, 0.46f);
    c = Mix(c, {0.44f, 0.50f, 0.40f}, 0.5f + 0.6f * Fbm(p * 0.25f, 3));                                // blotches
    c = Mix(c, {0.50f, 0.44f, 0.52f}, 0.5f * Smooth(0.2f, 0.6f, Fbm(p * 0.12f + glm::vec3(5.0f), 3))); // bruising
    // Veins only where the skin is thin and pale enough to show them.
    const float vein = (1.0f - std::abs(Fbm(p * 0.5f + glm::vec3(2.0f), 3))) *
                       Smooth(-0.2f, 0.3f, Fbm(p * 0.08f + glm::vec3(9.0f), 2));
    c = Mix(c, {0.36f, 0.38f, 0.46f}, 0.35f * Smooth(0.93f, 0.985f, vein));
    out.height = 0.06f * Fbm(p * 2.0f, 3) + 0.03f * Smooth(0.93f, 0.985f, vein);
    out.gloss = 0.45f;
    // Wounds: torn flesh with a wet dark centre.
    // A bite torn out of the left side of the neck, and scattered gashes.
    const float bite = Band(glm::distance(p, glm::vec3(5.0f, 146.0f, 12.0f)) + 1.5f * Noise(p * 0.6f), 3.0f, 1.2f);
    const float gash = Fbm(p * 0.18f + glm::vec3(31.0f), 4) + 0.3f * bite;
    const float wound = Smooth(0.37f, 0.45f, gash);
    if (wound > 0.0f) {
        const float deep = Smooth(0.45f, 0.55f, gash);
        c = Mix(c, {0.55f, 0.22f, 0.20f}, wound);
        c = Mix(c, {0.20f, 0.03f, 0.03f}, deep);
        out.height -= 0.4f * deep;
        out.gloss = 0.45f + 0.4f * deep;
    }
    const bool face = p.y > 150.0f && p.z > 18.0f;
    if (face) {
        for (float side : {1.0f, -1.0f}) {
            const float ring = Band(glm::length(glm::vec2(p.x * side - 3.2f, (p.y - 160.6f) * 1.2f)), 2.2f, 1.6f);
            c = Mix(c, {0.22f, 0.20f, 0.24f}, 0.8f * ring); // sunken dark sockets
        }
        const float mouth = Band(p.y - 154.6f, 1.6f, 0.6f) * Band(p.x, 2.6f, 0.6f);
        c = Mix(c, {0.30f, 0.20f, 0.24f}, 0.7f * mouth);
        // Teeth along the lips' inner edges, a dark hole between them.
        const float teeth = (Band(p.y - 155.7f, 0.5f, 0.15f) + Band(p.y - 153.5f, 0.45f, 0.15f)) *
                            Band(p.x, 2.1f, 0.3f) * Smooth(24.5f, 25.5f, p.z);
        const float gaps = Band(std::fmod(std::abs(p.x) + 0.3f, 0.75f) - 0.37f, 0.06f, 0.04f);
        c = Mix(c, {0.70f, 0.64f, 0.42f}, teeth * (1.0f - 0.7f * gaps));
        c = Mix(c, {0.10f, 0.02f, 0.02f},
                Band(p.y - 154.6f, 0.6f, 0.3f) * Band(p.x, 1.8f, 0.3f) * Smooth(24.5f, 25.5f, p.z));
        // Old blood from the mouth down the chin.
        c = Mix(c, {0.30f, 0.05f, 0.04f},
                0.8f * Smooth(154.0f, 149.0f, p.y) * Band(p.x + 0.8f * Noise(p * 0.5f), 1.6f, 1.0f));
    }
    // Dirt on the feet and in grimy patches; old blood smeared on the hands.
    c = Mix(c, {0.22f, 0.20f, 0.14f}, 0.55f * Smooth(18.0f, 2.0f, p.y) + 0.35f * Smooth(0.1f, 0.6f, Fbm(p * 0.4f, 3)));
    const float hands = Smooth(40.0f, 50.0f, p.z) * Smooth(0.0f, 0.4f, Fbm(p * 0.3f + glm::vec3(5.0f), 3));
    c = Mix(c, {0.32f, 0.06f, 0.05f}, 0.7f * hands);
    out.colour = c;
    return out;
}

::Paint ShirtPaint(const SurfacePoint& s)
{
    const glm::vec3 p = s.position;
    ::Paint out;
    // Faded plaid flannel.
    const glm::vec2 c = s.chart;
    const float bandU = Band(std::fmod(std::abs(c.x) + 100.0f, 6.0f) - 3.0f, 0.9f, 0.3f);
    const float bandV = Band(std::fmod(std::abs(c.y) + 100.0f, 6.0f) - 3.0f, 0.9f, 0.3f);
    const float fine = Band(std::fmod(std::abs(c.x) + 101.5f, 6.0f) - 3.0f, 0.12f, 0.05f) +
                       Band(std::fmod(std::abs(c.y) + 101.5f, 6.0f) - 3.0f, 0.12f, 0.05f);
    glm::vec3 col(0.50f, 0.22f, 0.18f);
    col = Mix(col, {0.20f, 0.12f, 0.12f}, 0.5f * (bandU + bandV));
    col = Mix(col, {0.65f, 0.58f, 0.45f}, 0.5f * std::min(fine, 1.0f));
    const float thread = Weave(c, 0.25f);
    col *= 0.85f + 0.25f * thread;
    col = Mix(col, {0.52f, 0.48f, 0.40f}, 0.35f * Smooth(0.0f, 0.6f, Fbm(p * 0.1f, 3))); // faded, dusty
    const float blood = Blood(p, 0.2f * Smooth(140.0f, 120.0f, p.y) + 0.25f * Smooth(10.0f, 25.0f, p.z));
    col = Mix(col, {0.28f, 0.04f, 0.03f}, 0.85f * blood);
    const float fray = Fray(p, ZombieDesign::HoleScale, ZombieDesign::ShirtHoleLevel);
    col = Mix(col, {0.16f, 0.12f, 0.10f}, 0.7f * fray);
    out.colour = col;
    out.height = 0.04f * thread + 0.2f * Fbm(p * glm::vec3(0.35f, 0.8f, 0.35f), 3) - 0.1f * fray;
    out.gloss = 0.12f + 0.4f * blood;
    return out;
}

::Paint TrousersPaint(const SurfacePoint& s)
{
    const glm::vec3 p = s.position;
    ::Paint out;
    const float twill = Twill(s.chart, 0.3f);
    glm::vec3 col = glm::vec3(0.24f, 0.29f, 0.38f) * (0.85f + 0.25f * twill);
    col = Mix(col, {0.45f, 0.48f, 0.52f}, 0.45f * Smooth(0.1f, 0.7f, Fbm(p * 0.15f, 3)));              // worn pale
    col = Mix(col, {0.25f, 0.20f, 0.13f}, 0.6f * Smooth(60.0f, 5.0f, p.y + 25.0f * Noise(p * 0.08f))); // mud
    const float blood = Blood(p + glm::vec3(40.0f), 0.0f);
    col = Mix(col, {0.25f, 0.05f, 0.04f}, 0.7f * blood);
    const float fray = Fray(p, ZombieDesign::HoleScale, ZombieDesign::TrouserHoleLevel);
    col = Mix(col, {0.55f, 0.55f, 0.52f}, 0.5f * fray); // white threads at the tears
    out.colour = col;
    out.height = 0.04f * twill + 0.2f * Fbm(p * glm::vec3(0.4f, 0.9f, 0.4f), 3);
    out.gloss = 0.1f + 0.3f * blood;
    return out;
}

} // namespace

Paint ZombiePainter::At(const SurfacePoint& s)
{
    ::Paint out;
    switch (s.material) {
    case Skin:
        out = SkinPaint(s);
        break;
    case Nail:
        out.colour = {0.32f, 0.28f, 0.16f};
        out.gloss = 0.5f;
        break;
    case Eye: {
        const glm::vec3 centre(s.position.x > 0 ? 3.2f : -3.2f, 160.6f, 23.4f);
        const float look = glm::dot(glm::normalize(s.position - centre), glm::normalize(glm::vec3(0, -0.1f, 1)));
        glm::vec3 c(0.78f, 0.74f, 0.42f);
        c = Mix(c, {0.55f, 0.12f, 0.08f}, 0.5f * Smooth(0.5f, 0.1f, look)); // bloodshot rim
        c = Mix(c, {0.95f, 0.92f, 0.70f}, Smooth(0.88f, 0.93f, look));      // milky pupil
        out.colour = c;
        out.gloss = 0.95f;
        break;
    }
    case Hair: {
        // Greasy strands with bald, scabbed patches of scalp between them.
        const float strands = Fbm(s.position * glm::vec3(3.0f, 0.5f, 3.0f), 3);
        const float bald = Smooth(0.15f, 0.3f, Noise(s.position * 0.4f + glm::vec3(17.0f)));
        out = SkinPaint(s);
        out.colour = Mix(glm::vec3(0.16f, 0.15f, 0.12f) * (0.75f + 0.5f * strands), out.colour * 0.85f, bald);
        out.height = (1.0f - bald) * 0.1f * strands - 0.05f * bald;
        out.gloss = 0.55f; // greasy
        break;
    }
    case Shirt:
        out = ShirtPaint(s);
        break;
    case Trousers:
        out = TrousersPaint(s);
        break;
    default:
        out.colour = {1.0f, 0.0f, 1.0f};
    }
    out.colour *= 0.5f + 0.5f * s.occlusion;
    return out;
}
