#include "tools/models/HandBuilder.h"

#include <glm/gtc/quaternion.hpp>

namespace {

constexpr float Deg = 0.0174532925f;

// Knuckle positions from the wrist in (thumb side, forward, back of hand), cm for scale 1.
constexpr glm::vec3 Knuckle[4] = {{2.5f, 8.3f, 0.2f}, {0.75f, 8.6f, 0.3f}, {-1.0f, 8.2f, 0.2f}, {-2.6f, 7.5f, 0.0f}};
// Phalanx lengths (proximal, middle, distal), cm.
constexpr float Phalanx[4][3] = {{4.4f, 2.5f, 2.0f}, {4.8f, 2.9f, 2.2f}, {4.5f, 2.8f, 2.1f}, {3.6f, 2.1f, 1.9f}};
constexpr float FingerRadius[4] = {0.92f, 0.95f, 0.88f, 0.78f};
// The thumb: its base (carpometacarpal joint) and its three bone lengths.
constexpr glm::vec3 ThumbBase = {2.1f, 1.8f, -0.9f};
constexpr float ThumbLength[3] = {4.3f, 3.1f, 2.6f};
constexpr float ThumbRadius = 1.2f;
const char* const FingerNames[5] = {"Thumb", "Index", "Middle", "Ring", "Pinky"};

glm::vec3 Rotate(const glm::vec3& v, const glm::vec3& axis, float degrees)
{
    return glm::angleAxis(degrees * Deg, glm::normalize(axis)) * v;
}

} // namespace

HandLayout HandBuilder::Layout(const HandStyle& style, const std::string& side, const glm::vec3& wrist,
                               const glm::vec3& forward, const glm::vec3& palm)
{
    HandLayout h;
    h.wrist = wrist;
    h.forward = glm::normalize(forward);
    h.palm = glm::normalize(palm - h.forward * glm::dot(palm, h.forward));
    // The right hand's thumb is on forward x palm; the left hand mirrors it.
    const float mirror = side == "Right" ? 1.0f : -1.0f;
    h.thumbSide = mirror * glm::cross(h.forward, h.palm);
    const glm::vec3 back = -h.palm;
    auto local = [&](const glm::vec3& v) { return style.scale * (v.x * h.thumbSide + v.y * h.forward + v.z * back); };
    // Flexion turns a finger from `forward` towards the palm, about this axis.
    const glm::vec3 bendAxis = glm::cross(h.forward, h.palm);

    for (int f = 0; f < 4; ++f) {
        glm::vec3 p = wrist + local(Knuckle[f]);
        const float fan = style.spread * (1.5f - static_cast<float>(f)) / 1.5f;
        glm::vec3 dir = Rotate(h.forward, back, fan * mirror);
        float bend = 0.0f;
        for (int s = 0; s < 3; ++s) {
            h.finger[f + 1][s] = p;
            bend += style.curl[f][s];
            const glm::vec3 d = Rotate(dir, bendAxis, bend);
            p += d * (Phalanx[f][s] * style.scale * style.fingerLength);
        }
        h.finger[f + 1][3] = p;
    }
    // The thumb leaves the palm diagonally and folds across it.
    glm::vec3 tdir = glm::normalize(0.62f * h.thumbSide + 0.62f * h.forward + 0.48f * h.palm);
    tdir = Rotate(tdir, h.forward, -style.thumbOpen * mirror);
    const glm::vec3 across = glm::normalize(-h.thumbSide + 0.5f * h.palm);
    glm::vec3 p = wrist + local(ThumbBase);
    float bend = 0.0f;
    for (int s = 0; s < 3; ++s) {
        h.finger[0][s] = p;
        bend += style.thumbCurl[s];
        const glm::vec3 axis = glm::cross(tdir, across);
        const glm::vec3 d = glm::length(axis) > 1e-4f ? Rotate(tdir, axis, bend) : tdir;
        p += d * (ThumbLength[s] * style.scale * style.fingerLength);
    }
    h.finger[0][3] = p;

    // The hole of a closed fist: the middle finger's joints lie around it.
    glm::vec3 c(0.0f);
    for (const glm::vec3& q : h.finger[2])
        c += q;
    c *= 0.25f;
    float r = 0.0f;
    for (const glm::vec3& q : h.finger[2])
        r += glm::distance(q, c);
    h.gripCentre = c;
    h.gripRadius = r * 0.25f - FingerRadius[1] * style.scale * style.thickness;
    return h;
}

void HandBuilder::Build(BodyKit& kit, CharacterDesign& design, const HandStyle& style, const std::string& side,
                        const HandLayout& h, int chart, int skinMaterial)
{
    Skeleton& sk = design.skeleton;
    const std::string hand = side + "Hand";
    sk.Joint(hand) = h.wrist;
    for (int f = 0; f < 5; ++f)
        for (int s = 0; s < 3; ++s)
            sk.Joint(hand + FingerNames[f] + std::to_string(s + 1)) = h.finger[f][s];

    const float sc = style.scale;
    const glm::vec3 back = -h.palm;
    const glm::mat3 palmAxes(h.thumbSide, h.forward, back);
    // Palm and wrist: a flat rounded block that narrows towards the wrist.
    kit.Use(hand, skinMaterial, chart, 1.6f * sc, 1.6f * sc);
    kit.Box(h.wrist + sc * (4.9f * h.forward + 0.1f * back), sc * glm::vec3(4.0f, 3.6f, 1.25f), 1.1f * sc, palmAxes);
    kit.Ellipsoid(h.wrist + sc * (1.3f * h.forward), sc * glm::vec3(2.9f, 2.4f, 1.8f), palmAxes);
    kit.Capsule(h.wrist - sc * 4.0f * h.forward, h.wrist + sc * 0.8f * h.forward, 2.5f * sc, 2.5f * sc);
    kit.Use(hand + "Thumb1", skinMaterial, chart, 1.6f * sc, 1.5f * sc);
    // The ball of the thumb.
    kit.Ellipsoid(0.5f * (h.finger[0][0] + h.finger[0][1]) + sc * 0.5f * h.palm, sc * glm::vec3(1.7f, 2.6f, 1.5f),
                  BodyKit::Frame(h.finger[0][1] - h.finger[0][0], h.palm));

    for (int f = 0; f < 5; ++f) {
        const float r0 = (f == 0 ? ThumbRadius : FingerRadius[f - 1]) * sc * style.thickness;
        for (int s = 0; s < 3; ++s) {
            const float ra = r0 * (1.0f - 0.08f * static_cast<float>(s));
            kit.Use(hand + FingerNames[f] + std::to_string(s + 1), skinMaterial, chart, 0.7f * sc, 0.9f * sc);
            kit.Capsule(h.finger[f][s], h.finger[f][s + 1], ra, ra * 0.92f);
        }
        // A nail on the back of the last segment.
        const glm::vec3 tipDir = glm::normalize(h.finger[f][3] - h.finger[f][2]);
        glm::vec3 up = back - tipDir * glm::dot(back, tipDir);
        if (f == 0)
            up = glm::normalize(glm::cross(tipDir, h.palm)) * (side == "Right" ? -1.0f : 1.0f);
        kit.Use(hand + FingerNames[f] + "3", Nail, chart, 0.3f * sc, 0.5f * sc);
        kit.Ellipsoid(h.finger[f][3] - tipDir * (0.55f * r0) + glm::normalize(up) * (0.45f * r0),
                      glm::vec3(0.62f, 0.25f, 0.75f) * r0, BodyKit::Frame(up, tipDir));
    }
    kit.Commit();
}
