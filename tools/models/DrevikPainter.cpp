#include "tools/models/DrevikPainter.h"

#include "tools/models/CharacterDesign.h"
#include "tools/models/PaintKit.h"

using namespace paint;

namespace {

::Paint SkinPaint(const SurfacePoint& s)
{
    const glm::vec3 p = s.position;
    ::Paint out;
    glm::vec3 c(0.80f, 0.60f, 0.48f);
    c = Mix(c, {0.74f, 0.47f, 0.40f}, 0.5f + 0.5f * Fbm(p * 0.35f, 3)); // blotchy warmth
    out.height = 0.03f * Fbm(p * 3.0f, 2);
    const bool face = p.y > 152.0f && p.z > 2.0f;
    if (face) {
        // Stubble on jaw, chin and upper lip.
        const float jaw = Smooth(162.5f, 160.0f, p.y) * Smooth(1.0f, 4.0f, p.z);
        const float lip = Band(p.y - 161.2f, 0.5f, 0.4f) * Band(p.x, 2.6f, 0.6f);
        const float stubble = std::max(jaw, lip) * (0.55f + 0.45f * Noise(p * 9.0f));
        c = Mix(c, {0.36f, 0.27f, 0.22f}, 0.55f * stubble);
        // Lips.
        const float lips = Band(p.y - 159.7f, 0.75f, 0.35f) * Band(p.x, 2.1f, 0.5f) * Smooth(8.0f, 9.5f, p.z);
        c = Mix(c, {0.62f, 0.33f, 0.30f}, 0.8f * lips);
        c = Mix(c, {0.25f, 0.10f, 0.09f},
                Band(p.y - 159.7f, 0.12f, 0.12f) * Band(p.x, 2.0f, 0.4f) * Smooth(8.5f, 9.8f, p.z));
        // Brows.
        for (float side : {1.0f, -1.0f}) {
            const float bx = p.x * side;
            const float arch = 168.4f + 0.35f * std::sin((bx - 1.2f) / 4.6f * 3.14159f);
            const float brow = Band(p.y - arch, 0.45f, 0.25f) * Band(bx - 3.5f, 2.3f, 0.4f) * Smooth(6.5f, 8.0f, p.z);
            c = Mix(c, {0.17f, 0.11f, 0.08f}, brow * (0.75f + 0.25f * Noise(p * 12.0f)));
            // Eyelid shadow around the sockets.
            const float lid = Band(glm::length(glm::vec2(bx - 3.2f, (p.y - 166.2f) * 1.3f)), 1.9f, 0.8f);
            c = Mix(c, {0.55f, 0.38f, 0.33f}, 0.35f * lid);
        }
        c = Mix(c, {0.85f, 0.50f, 0.42f},
                0.25f * Band(p.y - 163.5f, 1.5f, 1.5f) * Band(std::abs(p.x) - 4.0f, 1.5f, 1.5f));
    }
    out.colour = c;
    out.gloss = 0.35f;
    return out;
}

::Paint EyePaint(const SurfacePoint& s)
{
    ::Paint out;
    const glm::vec3 centre(s.position.x > 0 ? 3.2f : -3.2f, 166.0f, 7.9f);
    const float look = glm::dot(glm::normalize(s.position - centre), glm::vec3(0, 0, 1));
    glm::vec3 c(0.72f, 0.68f, 0.63f);
    c = Mix(c, {0.27f, 0.20f, 0.12f}, Smooth(0.74f, 0.78f, look));
    c = Mix(c, {0.16f, 0.11f, 0.07f}, Smooth(0.86f, 0.92f, look));
    c = Mix(c, {0.02f, 0.02f, 0.02f}, Smooth(0.93f, 0.95f, look));
    out.colour = c;
    out.gloss = 0.9f;
    return out;
}

::Paint ClothPaint(const SurfacePoint& s, const glm::vec3& base, float pitch, bool twill)
{
    const glm::vec3 p = s.position;
    ::Paint out;
    const float thread = twill ? Twill(s.chart, pitch) : Weave(s.chart, pitch);
    glm::vec3 c = base * (0.88f + 0.2f * thread);
    c = Mix(c, base * 1.35f, 0.35f * Smooth(0.2f, 0.8f, Fbm(p * 0.12f, 3))); // faded patches
    c = Mix(c, {0.24f, 0.20f, 0.15f},
            0.35f * Smooth(0.25f, 0.7f, Fbm(p * 0.3f + glm::vec3(3.0f), 4)) *
                Smooth(80.0f, 10.0f, p.y + 40.0f * Noise(p * 0.05f)));             // mud towards the ground
    out.height = 0.04f * thread + 0.15f * Fbm(p * glm::vec3(0.4f, 0.9f, 0.4f), 3); // folds
    out.colour = c;
    out.gloss = 0.12f;
    return out;
}

::Paint JacketPaint(const SurfacePoint& s)
{
    const glm::vec3 p = s.position;
    ::Paint out = ClothPaint(s, {0.31f, 0.33f, 0.20f}, 0.35f, false);
    // Zip and its placket down the front.
    if (p.z > 5.0f && p.y > 100.0f && p.y < 151.0f) {
        const float zip = Band(p.x, 0.35f, 0.1f);
        const float teeth = 0.5f + 0.5f * std::sin(p.y * 6.2831853f / 0.45f);
        out.colour = Mix(out.colour, glm::vec3(0.12f, 0.12f, 0.11f) + 0.08f * teeth, zip);
        out.height += 0.1f * zip * teeth - 0.15f * Band(std::abs(p.x) - 1.6f, 0.1f, 0.1f);
        out.colour = Mix(out.colour, {0.20f, 0.21f, 0.13f}, Stitches(p.y, std::abs(p.x) - 2.0f, 0.5f));
    }
    // Cuffs: ribbed knit near the wrists.
    if (s.axis > 0.0f && s.chart.y > 0.0f) {
        const float seam = Stitches(s.chart.x, s.chart.y - 2.0f, 0.45f);
        out.colour = Mix(out.colour, {0.18f, 0.19f, 0.12f}, seam * 0.8f);
    }
    // Wear on edges and creases.
    out.colour *= 0.75f + 0.25f * s.occlusion;
    return out;
}

::Paint BootPaint(const SurfacePoint& s)
{
    const glm::vec3 p = s.position;
    ::Paint out;
    glm::vec3 c(0.16f, 0.11f, 0.08f);
    c = Mix(c, {0.28f, 0.20f, 0.14f}, 0.6f * Smooth(0.1f, 0.7f, Fbm(p * 0.5f, 3))); // scuffed leather
    out.height = 0.05f * Fbm(p * glm::vec3(2.0f, 6.0f, 2.0f), 3);
    if (p.y < 2.6f) {
        // Rubber sole with a tread.
        c = {0.06f, 0.06f, 0.06f};
        out.height = 0.2f * Band(std::fmod(std::abs(p.z) + 10.0f, 1.4f) - 0.7f, 0.3f, 0.1f);
    } else if (s.normal.y > 0.35f && p.z > 2.0f && p.z < 12.0f) {
        // Laces crossing over the tongue.
        const float x = std::abs(p.x) - 10.0f;
        const float lace = std::max(Band(std::fmod(p.z + 20.0f + x, 1.6f) - 0.8f, 0.2f, 0.08f),
                                    Band(std::fmod(p.z + 20.0f - x, 1.6f) - 0.8f, 0.2f, 0.08f)) *
                           Band(x, 1.8f, 0.3f);
        c = Mix(c, {0.35f, 0.30f, 0.22f}, lace);
        out.height += 0.12f * lace;
    }
    out.colour = c * (0.7f + 0.3f * s.occlusion);
    out.gloss = 0.45f;
    return out;
}

} // namespace

Paint DrevikPainter::At(const SurfacePoint& s)
{
    ::Paint out;
    switch (s.material) {
    case Skin:
        out = SkinPaint(s);
        break;
    case Nail:
        out.colour = {0.82f, 0.64f, 0.58f};
        out.gloss = 0.6f;
        break;
    case Eye:
        out = EyePaint(s);
        break;
    case Hair: {
        const float strands = Fbm(s.position * glm::vec3(3.0f, 0.6f, 3.0f), 3);
        out.colour = glm::vec3(0.15f, 0.10f, 0.07f) * (0.8f + 0.4f * strands);
        out.height = 0.08f * strands;
        out.gloss = 0.3f;
        break;
    }
    case Jacket:
        out = JacketPaint(s);
        break;
    case Trousers:
        out = ClothPaint(s, {0.16f, 0.17f, 0.19f}, 0.3f, true);
        break;
    case Boot:
        out = BootPaint(s);
        break;
    case Strap:
        out = ClothPaint(s, {0.20f, 0.19f, 0.15f}, 0.2f, true);
        break;
    case Shirt:
        out = ClothPaint(s, {0.17f, 0.17f, 0.19f}, 0.15f, false);
        break;
    case Backpack:
        out = ClothPaint(s, {0.22f, 0.24f, 0.15f}, 0.4f, false);
        break;
    default:
        out.colour = {1.0f, 0.0f, 1.0f}; // a material this painter does not know shows loudly
    }
    // Creases and undersides collect shadow.
    out.colour *= 0.55f + 0.45f * s.occlusion;
    return out;
}
