#include "tools/models/BodyKit.h"

#include <cmath>

void BodyKit::Use(const std::string& bone, int material, int chart, float blend, float skin)
{
    Commit();
    bone_ = bone.empty() ? -1 : design_.skeleton.Find(bone);
    tag_ = material;
    chart_ = chart;
    blend_ = blend;
    skin_ = skin;
}

int BodyKit::Chart(const glm::vec3& a, const glm::vec3& b, const glm::vec3& front, float density)
{
    design_.charts.push_back({a, b, front, density});
    return static_cast<int>(design_.charts.size() - 1);
}

SdfPrimitive& BodyKit::Start(SdfPrimitive p)
{
    Commit();
    p.bone = bone_;
    p.tag = tag_;
    p.chart = chart_;
    p.blend = blend_;
    p.skin = skin_;
    pending_ = p;
    hasPending_ = true;
    return pending_;
}

void BodyKit::Commit()
{
    if (hasPending_)
        design_.shape.Add(pending_);
    hasPending_ = false;
}

SdfPrimitive& BodyKit::Capsule(const glm::vec3& a, const glm::vec3& b, float ra, float rb)
{
    SdfPrimitive p;
    p.kind = SdfPrimitive::Kind::Capsule;
    p.a = a;
    p.b = b;
    p.ra = ra;
    p.rb = rb;
    return Start(p);
}

SdfPrimitive& BodyKit::Ellipsoid(const glm::vec3& centre, const glm::vec3& radii, const glm::mat3& axes)
{
    SdfPrimitive p;
    p.kind = SdfPrimitive::Kind::Ellipsoid;
    p.a = centre;
    p.radii = radii;
    p.axes = axes;
    return Start(p);
}

SdfPrimitive& BodyKit::Box(const glm::vec3& centre, const glm::vec3& half, float rounding, const glm::mat3& axes)
{
    SdfPrimitive p;
    p.kind = SdfPrimitive::Kind::Box;
    p.a = centre;
    p.radii = half;
    p.ra = rounding;
    p.axes = axes;
    return Start(p);
}

SdfPrimitive& BodyKit::Torus(const glm::vec3& centre, float ring, float tube, const glm::mat3& axes)
{
    SdfPrimitive p;
    p.kind = SdfPrimitive::Kind::Torus;
    p.a = centre;
    p.ra = ring;
    p.rb = tube;
    p.axes = axes;
    return Start(p);
}

SdfPrimitive& BodyKit::Cut(SdfPrimitive p, float blend)
{
    SdfPrimitive& s = Start(p);
    s.op = SdfPrimitive::Op::Subtract;
    s.blend = blend;
    return s;
}

glm::mat3 BodyKit::Frame(const glm::vec3& up, const glm::vec3& forward)
{
    const glm::vec3 y = glm::normalize(up);
    const glm::vec3 x = glm::normalize(glm::cross(y, forward));
    return glm::mat3(x, y, glm::cross(x, y));
}

glm::vec3 BodyKit::MiddleJoint(const glm::vec3& root, const glm::vec3& target, float upper, float lower,
                               const glm::vec3& pole)
{
    const glm::vec3 toTarget = target - root;
    // A target out of reach leaves the chain almost straight (never fully, to keep a bend direction).
    const float d = std::min(glm::length(toTarget), 0.999f * (upper + lower));
    const glm::vec3 dir = glm::normalize(toTarget);
    const float along = (upper * upper - lower * lower + d * d) / (2.0f * d);
    const float out = std::sqrt(std::max(upper * upper - along * along, 0.0f));
    const glm::vec3 side = glm::normalize(pole - dir * glm::dot(pole, dir));
    return root + dir * along + side * out;
}
