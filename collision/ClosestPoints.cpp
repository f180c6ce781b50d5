#include "collision/ClosestPoints.h"

#include <algorithm>

namespace COLLISION {

glm::vec3 ClosestPointOnTriangle(const glm::vec3& p, const glm::vec3& a, const glm::vec3& b, const glm::vec3& c)
{
    const glm::vec3 ab = b - a;
    const glm::vec3 ac = c - a;
    const glm::vec3 ap = p - a;
    const float d1 = glm::dot(ab, ap);
    const float d2 = glm::dot(ac, ap);
    if (d1 <= 0.0f && d2 <= 0.0f)
        return a;

    const glm::vec3 bp = p - b;
    const float d3 = glm::dot(ab, bp);
    const float d4 = glm::dot(ac, bp);
    if (d3 >= 0.0f && d4 <= d3)
        return b;

    const float vc = d1 * d4 - d3 * d2;
    if (vc <= 0.0f && d1 >= 0.0f && d3 <= 0.0f)
        return a + ab * (d1 / (d1 - d3));

    const glm::vec3 cp = p - c;
    const float d5 = glm::dot(ab, cp);
    const float d6 = glm::dot(ac, cp);
    if (d6 >= 0.0f && d5 <= d6)
        return c;

    const float vb = d5 * d2 - d1 * d6;
    if (vb <= 0.0f && d2 >= 0.0f && d6 <= 0.0f)
        return a + ac * (d2 / (d2 - d6));

    const float va = d3 * d6 - d5 * d4;
    if (va <= 0.0f && (d4 - d3) >= 0.0f && (d5 - d6) >= 0.0f)
        return b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));

    const float k = 1.0f / (va + vb + vc);
    return a + ab * (vb * k) + ac * (vc * k);
}

glm::vec3 ClosestPointOnOBB(const glm::vec3& p, const OrientedBox& box)
{
    const glm::vec3 d = p - box.centre;
    glm::vec3 q = box.centre;
    for (int i = 0; i < 3; ++i) {
        const float dist = glm::clamp(glm::dot(d, box.axes[i]), -box.halfExtents[i], box.halfExtents[i]);
        q += dist * box.axes[i];
    }
    return q;
}

SegmentClosestPoints ClosestPointsOfSegments(const glm::vec3& p1, const glm::vec3& q1, const glm::vec3& p2,
                                             const glm::vec3& q2)
{
    const glm::vec3 d1 = q1 - p1;
    const glm::vec3 d2 = q2 - p2;
    const glm::vec3 r = p1 - p2;
    const float a = glm::dot(d1, d1);
    const float e = glm::dot(d2, d2);
    const float f = glm::dot(d2, r);

    SegmentClosestPoints out;
    float& s = out.s;
    float& t = out.t;
    if (a <= Epsilon && e <= Epsilon) {
        s = t = 0.0f;
    } else if (a <= Epsilon) {
        s = 0.0f;
        t = glm::clamp(f / e, 0.0f, 1.0f);
    } else {
        const float c = glm::dot(d1, r);
        if (e <= Epsilon) {
            t = 0.0f;
            s = glm::clamp(-c / a, 0.0f, 1.0f);
        } else {
            const float b = glm::dot(d1, d2);
            const float denom = a * e - b * b;
            s = denom != 0.0f ? glm::clamp((b * f - c * e) / denom, 0.0f, 1.0f) : 0.0f;
            t = (b * s + f) / e;
            if (t < 0.0f) {
                t = 0.0f;
                s = glm::clamp(-c / a, 0.0f, 1.0f);
            } else if (t > 1.0f) {
                t = 1.0f;
                s = glm::clamp((b - c) / a, 0.0f, 1.0f);
            }
        }
    }
    out.c1 = p1 + d1 * s;
    out.c2 = p2 + d2 * t;
    const glm::vec3 gap = out.c1 - out.c2;
    out.distanceSquared = glm::dot(gap, gap);
    return out;
}

FacePush NearestFacePush(const glm::vec3& a, const glm::vec3& b, float radius, const OrientedBox& box)
{
    FacePush best;
    bool first = true;
    for (int i = 0; i < 3; ++i) {
        const glm::vec3& axis = box.axes[i];
        const float sa = glm::dot(a - box.centre, axis);
        const float sb = glm::dot(b - box.centre, axis);
        const float extent = box.halfExtents[i];
        // Out through the + face the lower end must pass extent + radius; out through the - face
        // the higher end must pass -(extent + radius).
        const float outPositive = extent + radius - std::min(sa, sb);
        const float outNegative = std::max(sa, sb) + extent + radius;
        if (first || outPositive < best.depth)
            best = {axis, outPositive};
        first = false;
        if (outNegative < best.depth)
            best = {-axis, outNegative};
    }
    return best;
}

} // namespace COLLISION
