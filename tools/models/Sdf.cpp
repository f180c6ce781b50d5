#include "tools/models/Sdf.h"

#include <stb_perlin.h>

#include <algorithm>
#include <cmath>
#include <limits>

float SmoothMin(float a, float b, float k)
{
    if (k <= 0.0f)
        return std::min(a, b);
    const float h = std::max(k - std::abs(a - b), 0.0f) / k;
    return std::min(a, b) - h * h * k * 0.25f;
}

float SmoothMax(float a, float b, float k)
{
    return -SmoothMin(-a, -b, k);
}

float SdfPrimitive::AxisParameter(const glm::vec3& p) const
{
    if (kind != Kind::Capsule)
        return 0.0f;
    const glm::vec3 ba = b - a;
    const float l2 = glm::dot(ba, ba);
    return l2 > 0.0f ? glm::clamp(glm::dot(p - a, ba) / l2, 0.0f, 1.0f) : 0.0f;
}

float SdfPrimitive::Distance(const glm::vec3& p) const
{
    float d = 0.0f;
    switch (kind) {
    case Kind::Capsule: {
        // Radius interpolated along the axis: close enough to exact for gently tapered limbs.
        const float t = AxisParameter(p);
        d = glm::length(p - (a + t * (b - a))) - (ra + t * (rb - ra));
        break;
    }
    case Kind::Ellipsoid: {
        const glm::vec3 q = glm::transpose(axes) * (p - a);
        const float k0 = glm::length(q / radii);
        const float k1 = glm::length(q / (radii * radii));
        d = k1 > 0.0f ? k0 * (k0 - 1.0f) / k1 : -std::min(radii.x, std::min(radii.y, radii.z));
        break;
    }
    case Kind::Box: {
        const glm::vec3 q = glm::abs(glm::transpose(axes) * (p - a)) - (radii - glm::vec3(ra));
        d = glm::length(glm::max(q, glm::vec3(0.0f))) + std::min(std::max(q.x, std::max(q.y, q.z)), 0.0f) - ra;
        break;
    }
    case Kind::Torus: {
        const glm::vec3 q = glm::transpose(axes) * (p - a);
        d = glm::length(glm::vec2(glm::length(glm::vec2(q.x, q.z)) - ra, q.y)) - rb;
        break;
    }
    }
    for (const glm::vec4& plane : {clip, clip2})
        if (plane.x != 0.0f || plane.y != 0.0f || plane.z != 0.0f)
            d = std::max(d, glm::dot(glm::vec3(plane), p) - plane.w);
    if (bumpAmount != 0.0f)
        d += bumpAmount * stb_perlin_noise3(p.x * bumpScale, p.y * bumpScale, p.z * bumpScale, 0, 0, 0);
    if (holeScale > 0.0f) {
        // Noise in [-1, 1] over the hole level becomes a cut; the factor turns it into a distance.
        const float n = stb_perlin_noise3(p.x * holeScale + 17.0f, p.y * holeScale, p.z * holeScale, 0, 0, 0);
        d = std::max(d, (n - holeLevel) / (holeScale * 1.5f));
    }
    return d;
}

void SdfShape::Add(const SdfPrimitive& p)
{
    primitives.push_back(p);
    glm::vec3 centre = p.a;
    float radius = std::max(p.radii.x, std::max(p.radii.y, p.radii.z));
    if (p.kind == SdfPrimitive::Kind::Capsule) {
        centre = 0.5f * (p.a + p.b);
        radius = 0.5f * glm::length(p.b - p.a) + std::max(p.ra, p.rb);
    } else if (p.kind == SdfPrimitive::Kind::Box) {
        radius = glm::length(p.radii);
    } else if (p.kind == SdfPrimitive::Kind::Torus) {
        radius = p.ra + p.rb;
    }
    spheres_.emplace_back(centre, radius + std::abs(p.bumpAmount));
}

float SdfShape::Distance(const glm::vec3& p) const
{
    float d = std::numeric_limits<float>::max();
    for (size_t i = 0; i < primitives.size(); ++i) {
        const SdfPrimitive& prim = primitives[i];
        // A primitive at least `blend` beyond the current surface cannot change it.
        const float lower = glm::length(p - glm::vec3(spheres_[i])) - spheres_[i].w;
        if (prim.op == SdfPrimitive::Op::Union) {
            if (lower >= d + prim.blend)
                continue;
            d = SmoothMin(d, prim.Distance(p), prim.blend);
        } else {
            if (lower >= -d + prim.blend)
                continue;
            d = SmoothMax(d, -prim.Distance(p), prim.blend);
        }
    }
    return d;
}

glm::vec3 SdfShape::Gradient(const glm::vec3& p) const
{
    // Central differences over a fraction of a millimetre in model units.
    const float e = 0.02f;
    const glm::vec3 g(Distance(p + glm::vec3(e, 0, 0)) - Distance(p - glm::vec3(e, 0, 0)),
                      Distance(p + glm::vec3(0, e, 0)) - Distance(p - glm::vec3(0, e, 0)),
                      Distance(p + glm::vec3(0, 0, e)) - Distance(p - glm::vec3(0, 0, e)));
    const float len = glm::length(g);
    return len > 0.0f ? g / len : glm::vec3(0.0f, 1.0f, 0.0f);
}

int SdfShape::Nearest(const glm::vec3& p) const
{
    int best = -1;
    float bestD = std::numeric_limits<float>::max();
    for (size_t i = 0; i < primitives.size(); ++i) {
        if (primitives[i].op != SdfPrimitive::Op::Union)
            continue;
        const float d = primitives[i].Distance(p);
        if (d < bestD) {
            bestD = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

glm::vec3 SdfShape::Project(glm::vec3 p) const
{
    for (int i = 0; i < 3; ++i) {
        const float d = Distance(p);
        if (std::abs(d) < 1e-3f)
            break;
        p -= d * Gradient(p);
    }
    return p;
}

float SdfShape::Occlusion(const glm::vec3& p, const glm::vec3& n, float reach) const
{
    // Five samples outwards: where the surface is nearer than the step, something occludes.
    float occ = 0.0f, weight = 1.0f;
    for (int i = 1; i <= 5; ++i) {
        const float h = reach * static_cast<float>(i) / 5.0f;
        occ += (h - Distance(p + n * h)) * weight / reach;
        weight *= 0.6f;
    }
    return glm::clamp(1.0f - 1.2f * occ, 0.0f, 1.0f);
}

void SdfShape::Bounds(glm::vec3& lo, glm::vec3& hi) const
{
    lo = glm::vec3(std::numeric_limits<float>::max());
    hi = -lo;
    for (const SdfPrimitive& prim : primitives) {
        if (prim.op != SdfPrimitive::Op::Union)
            continue;
        glm::vec3 pl, ph;
        if (prim.kind == SdfPrimitive::Kind::Capsule) {
            const float r = std::max(prim.ra, prim.rb);
            pl = glm::min(prim.a, prim.b) - r;
            ph = glm::max(prim.a, prim.b) + r;
        } else if (prim.kind == SdfPrimitive::Kind::Torus) {
            pl = prim.a - (prim.ra + prim.rb);
            ph = prim.a + (prim.ra + prim.rb);
        } else {
            const float r = prim.kind == SdfPrimitive::Kind::Box
                                ? glm::length(prim.radii)
                                : std::max(prim.radii.x, std::max(prim.radii.y, prim.radii.z));
            pl = prim.a - r;
            ph = prim.a + r;
        }
        const float pad = prim.bumpAmount + prim.blend;
        lo = glm::min(lo, pl - pad);
        hi = glm::max(hi, ph + pad);
    }
}
