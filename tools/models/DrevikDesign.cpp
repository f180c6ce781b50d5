#include "tools/models/DrevikDesign.h"

#include "tools/models/BodyKit.h"
#include "tools/models/GunDesign.h"
#include "tools/models/HandBuilder.h"

namespace {

// cm, shoulder to elbow to wrist: a grown man's reach, which the gun held well out in front needs.
constexpr float UpperArm = 31.0f, ForeArm = 29.5f;

void PlaceSpine(Skeleton& sk)
{
    sk.Joint("Hips") = {0, 95, 0};
    sk.Joint("Spine") = {0, 105, -0.5f};
    sk.Joint("Spine1") = {0, 121, -1};
    sk.Joint("Spine2") = {0, 121, -1}; // pitch pivot: no offset from its parent
    sk.Joint("Neck") = {0, 149, -2.5f};
    sk.Joint("Head") = {0, 158, -1};
    sk.Joint("Eyes") = {0, 165.5f, 10.0f}; // just in front of the eyes: the camera
    sk.Joint("Jaw") = {0, 160.5f, 1.5f};
    for (float s : {1.0f, -1.0f}) {
        const std::string side = s > 0 ? "Left" : "Right";
        sk.Joint(side + "Shoulder") = {3 * s, 145, -2.5f};
        sk.Joint(side + "Arm") = {18 * s, 144, -3};
        sk.Joint(side + "UpLeg") = {9.5f * s, 93, 0};
        sk.Joint(side + "Leg") = {10 * s, 51, 1.5f};
        sk.Joint(side + "Foot") = {10 * s, 9, -1};
        sk.Joint(side + "ToeBase") = {10 * s, 3, 13};
    }
}

void Head(BodyKit& kit, int chart)
{
    kit.Use("Head", Skin, chart, 4.0f, 4.0f);
    kit.Ellipsoid({0, 169.5f, 0.5f}, {7.8f, 10.0f, 9.8f}); // cranium
    kit.Use("Jaw", Skin, chart, 4.0f, 3.0f);
    kit.Ellipsoid({0, 161.0f, 4.0f}, {6.0f, 5.8f, 6.5f}); // jaw and chin
    kit.Use("Head", Skin, chart, 2.0f, 3.0f);
    kit.Ellipsoid({4.2f, 164.0f, 6.3f}, {2.2f, 1.6f, 2.0f}); // cheekbones
    kit.Ellipsoid({-4.2f, 164.0f, 6.3f}, {2.2f, 1.6f, 2.0f});
    kit.Capsule({-4.8f, 168.2f, 8.0f}, {4.8f, 168.2f, 8.0f}, 1.2f, 1.2f); // brow ridge
    kit.Use("Head", Skin, chart, 1.4f, 2.0f);
    kit.Capsule({0, 166.8f, 9.2f}, {0, 162.8f, 11.2f}, 0.75f, 1.1f); // nose
    kit.Ellipsoid({0, 162.6f, 10.2f}, {1.7f, 0.9f, 1.0f});
    kit.Ellipsoid({0, 159.7f, 9.3f}, {2.4f, 0.9f, 1.0f}); // lips
    kit.Use("Head", Skin, chart, 1.0f, 2.0f);
    const glm::mat3 ear = BodyKit::Frame({0, 1, 0.15f}, {1, 0, 0});
    kit.Ellipsoid({7.6f, 165.5f, 0.0f}, {1.9f, 3.0f, 1.0f}, ear); // ears
    kit.Ellipsoid({-7.6f, 165.5f, 0.0f}, {1.9f, 3.0f, 1.0f}, ear);
    SdfPrimitive socket;
    socket.kind = SdfPrimitive::Kind::Ellipsoid;
    for (float x : {3.2f, -3.2f}) {
        socket.a = {x, 166.1f, 9.6f};
        socket.radii = {2.1f, 1.45f, 1.7f};
        kit.Cut(socket, 1.0f);
    }
    kit.Use("Eyes", Eye, chart, 0.25f, 0.6f);
    kit.Ellipsoid({3.2f, 166.0f, 7.9f}, glm::vec3(1.25f));
    kit.Ellipsoid({-3.2f, 166.0f, 7.9f}, glm::vec3(1.25f));
    // Short hair: one cap over the cranium, kept where any of three regions allows it: above the
    // forehead line, above the ears behind the temples, and down to the nape at the back.
    const struct {
        glm::vec3 normal, through, normal2, through2;
    } hairline[] = {{{0.45f, -1, 0.35f}, {0, 170.4f, 9.0f}, {-1, 0, 0}, {0, 0, 0}}, // fringe, rising to the temples
                    {{-0.45f, -1, 0.35f}, {0, 170.4f, 9.0f}, {1, 0, 0}, {0, 0, 0}},
                    {{0, -1, 0.1f}, {0, 167.8f, 0.0f}, {0, 0, 1}, {0, 0, 3.5f}},
                    {{0, -1, 0.15f}, {0, 160.5f, -4.0f}, {0, 0, 1}, {0, 0, -3.5f}}};
    for (const auto& h : hairline) {
        kit.Use("Head", Hair, chart, 0.3f, 3.0f);
        SdfPrimitive& hair = kit.Ellipsoid({0, 170.3f, 0.1f}, {8.3f, 10.1f, 10.2f});
        const glm::vec3 n = glm::normalize(h.normal);
        hair.clip = glm::vec4(n, glm::dot(n, h.through));
        if (glm::length(h.normal2) > 0.0f)
            hair.clip2 = glm::vec4(h.normal2, glm::dot(h.normal2, h.through2));
        hair.bumpScale = 0.9f;
        hair.bumpAmount = 0.2f;
    }
    kit.Use("Neck", Skin, chart, 3.0f, 4.0f);
    kit.Capsule({0, 149, -2.5f}, {0, 161, -0.5f}, 5.6f, 5.2f);
}

void Torso(BodyKit& kit, int torso, int pack)
{
    kit.Use("Hips", Trousers, torso, 6.0f, 6.0f);
    kit.Ellipsoid({0, 97, -1}, {16.0f, 10.0f, 11.0f});
    kit.Use("Spine", Jacket, torso, 7.0f, 6.0f);
    kit.Ellipsoid({0, 113, 0}, {15.0f, 12.0f, 11.0f});
    kit.Use("Spine1", Jacket, torso, 7.0f, 6.0f);
    kit.Ellipsoid({0, 127, -0.5f}, {16.5f, 10.0f, 11.5f});
    kit.Use("Spine2", Jacket, torso, 7.0f, 6.0f);
    kit.Ellipsoid({0, 136, -1}, {17.0f, 10.0f, 11.0f});
    kit.Use("Spine", Jacket, torso, 2.0f, 4.0f);
    kit.Ellipsoid({0, 104.5f, -0.5f}, {16.2f, 3.2f, 11.7f}); // jacket hem over the trousers
    for (float s : {1.0f, -1.0f}) {
        const std::string side = s > 0 ? "Left" : "Right";
        kit.Use(side + "Shoulder", Jacket, torso, 6.0f, 5.0f);
        kit.Ellipsoid({11 * s, 144.5f, -3}, {8.5f, 4.5f, 7.0f}, BodyKit::Frame({-0.3f * s, 1, 0}, {0, 0, 1}));
        kit.Use("Spine2", Jacket, torso, 1.0f, 3.0f);
        kit.Box({7.5f * s, 137.0f, 9.6f}, {4.3f, 4.8f, 0.9f}, 0.7f,
                BodyKit::Frame({0, 1, 0.2f}, {0.25f * s, 0, 1})); // chest pockets
        // Pack straps, sunk into the jacket so no thin gap opens between them and it.
        kit.Use("Spine2", Strap, torso, 1.6f, 3.0f);
        kit.Capsule({9.5f * s, 147.0f, 2.0f}, {9.0f * s, 133.0f, 9.6f}, 1.3f, 1.2f);
        kit.Capsule({9.0f * s, 133.0f, 9.6f}, {10.5f * s, 118.0f, 9.8f}, 1.2f, 1.2f);
        kit.Capsule({9.5f * s, 147.0f, 2.0f}, {10.5f * s, 146.0f, -12.5f}, 1.3f, 1.3f);
    }
    // A dark T-shirt fills the collar's opening round the neck.
    kit.Use("Spine2", Shirt, torso, 2.0f, 4.0f);
    kit.Capsule({0, 145.0f, -2.0f}, {0, 151.0f, -1.5f}, 6.3f, 6.0f);
    // Collar standing round the neck.
    kit.Use("Spine2", Jacket, torso, 2.0f, 4.0f);
    kit.Torus({0, 150.0f, -2.0f}, 6.9f, 1.6f, BodyKit::Frame({0, 1, -0.25f}, {0, 0, 1}));
    // Backpack.
    kit.Use("Spine2", Backpack, pack, 3.0f, 6.0f);
    kit.Box({0, 131, -17}, {12.5f, 15.5f, 5.5f}, 4.0f);
    kit.Box({0, 121, -22.5f}, {9.0f, 6.0f, 2.5f}, 2.0f);                        // front pocket
    kit.Capsule({-11.0f, 148.0f, -14.5f}, {11.0f, 148.0f, -14.5f}, 3.2f, 3.2f); // rolled mat on top
}

void Arm(BodyKit& kit, const std::string& side, float s, int upper, int fore)
{
    const glm::vec3 shoulder = kit.Joint(side + "Arm"), elbow = kit.Joint(side + "ForeArm"),
                    wrist = kit.Joint(side + "Hand");
    const glm::vec3 dir = glm::normalize(wrist - elbow);
    kit.Use(side + "Arm", Jacket, upper, 4.0f, 5.0f);
    kit.Ellipsoid(shoulder + glm::vec3(1.0f * s, 0.5f, 0), {6.2f, 6.0f, 6.5f});
    kit.Capsule(shoulder, elbow, 5.4f, 4.5f);
    kit.Use(side + "ForeArm", Jacket, fore, 3.0f, 4.0f);
    kit.Capsule(elbow, wrist - dir * 2.5f, 4.6f, 3.9f);
    kit.Use(side + "ForeArm", Jacket, fore, 0.6f, 3.0f);
    kit.Capsule(wrist - dir * 4.5f, wrist - dir * 1.2f, 4.0f, 4.0f); // cuff
}

void Leg(BodyKit& kit, const std::string& side, float s, int thigh, int shin, int foot)
{
    const glm::vec3 hip = kit.Joint(side + "UpLeg"), knee = kit.Joint(side + "Leg"), ankle = kit.Joint(side + "Foot");
    kit.Use(side + "UpLeg", Trousers, thigh, 5.0f, 5.0f);
    kit.Capsule(hip, knee, 8.6f, 6.0f);
    kit.Use(side + "UpLeg", Trousers, thigh, 1.0f, 3.0f);
    kit.Box({hip.x + 7.6f * s, 72, 1.5f}, {1.3f, 6.5f, 5.0f}, 0.9f); // cargo pockets
    kit.Use(side + "Leg", Trousers, shin, 3.0f, 4.0f);
    kit.Ellipsoid(knee + glm::vec3(0, 0, 1.5f), {5.9f, 5.5f, 6.0f});
    kit.Capsule(knee, ankle + glm::vec3(0, 8, 0), 5.8f, 4.6f);
    kit.Ellipsoid({knee.x, 36, -2.5f}, {5.3f, 9.0f, 5.6f}); // calf
    kit.Use(side + "Foot", Boot, foot, 1.5f, 4.0f);
    kit.Capsule(ankle + glm::vec3(0, -1, 0), ankle + glm::vec3(0, 12, -0.5f), 5.4f, 5.3f); // boot shaft
    kit.Box({ankle.x, 4.6f, 4.0f}, {4.8f, 3.8f, 11.0f}, 3.2f);
    kit.Box({ankle.x, 1.4f, 5.0f}, {5.5f, 1.4f, 13.2f}, 1.2f); // sole
    kit.Use(side + "ToeBase", Boot, foot, 2.0f, 3.0f);
    kit.Ellipsoid({ankle.x, 4.6f, 14.5f}, {5.0f, 4.1f, 5.8f});
}

} // namespace

CharacterDesign DrevikDesign::Build()
{
    CharacterDesign d;
    d.name = "Drevik";
    d.cell = 0.6f;
    d.triangleBudget = 5800;
    Skeleton& sk = d.skeleton;
    PlaceSpine(sk);
    BodyKit kit(d);

    // Hands on the gun: the hold is designed with the gun, then moved into the body's space.
    const GunHold hold = GunDesign::Hold();
    const glm::vec3 shift = GunOrigin - hold.origin;
    HandLayout right = hold.rear, left = hold.front;
    for (HandLayout* h : {&right, &left}) {
        h->wrist += shift;
        h->gripCentre += shift;
        for (auto& finger : h->finger)
            for (glm::vec3& p : finger)
                p += shift;
    }
    sk.Joint("RightHand") = right.wrist;
    sk.Joint("LeftHand") = left.wrist;
    for (float s : {1.0f, -1.0f}) {
        const std::string side = s > 0 ? "Left" : "Right";
        sk.Joint(side + "ForeArm") = BodyKit::MiddleJoint(sk.Joint(side + "Arm"), sk.Joint(side + "Hand"), UpperArm,
                                                          ForeArm, {0.8f * s, -1.0f, -0.4f});
    }

    const int head = kit.Chart({0, 147, -1}, {0, 182, 1}, {0, 0, 1}, 2.4f);
    const int torso = kit.Chart({0, 86, 0}, {0, 153, -2}, {0, 0, 1}, 1.0f);
    const int pack = kit.Chart({0, 112, -18}, {0, 152, -16}, {0, 0, -1}, 0.6f);
    Head(kit, head);
    Torso(kit, torso, pack);
    for (float s : {1.0f, -1.0f}) {
        const std::string side = s > 0 ? "Left" : "Right";
        const glm::vec3 sh = sk.Joint(side + "Arm"), el = sk.Joint(side + "ForeArm"), wr = sk.Joint(side + "Hand");
        const int upper = kit.Chart(sh + glm::vec3(0, 0, 0), el, {0, 1, 0}, 1.3f);
        const int fore = kit.Chart(el, wr, {0, 1, 0}, 1.6f);
        Arm(kit, side, s, upper, fore);
        const HandLayout& h = s > 0 ? left : right;
        const int hand = kit.Chart(h.wrist - h.forward * 3.0f, h.wrist + h.forward * 10.0f, -h.palm, 2.0f);
        HandBuilder::Build(kit, d, s > 0 ? hold.frontStyle : hold.rearStyle, side, h, hand, Skin);
        const glm::vec3 hip = sk.Joint(side + "UpLeg"), knee = sk.Joint(side + "Leg"), ankle = sk.Joint(side + "Foot");
        const int thigh = kit.Chart(hip + glm::vec3(0, 8, 0), knee, {0, 0, 1}, 0.8f);
        const int shin = kit.Chart(knee, ankle + glm::vec3(0, 6, 0), {0, 0, 1}, 0.8f);
        const int foot = kit.Chart({ankle.x, 4, -10}, {ankle.x, 4, 22}, {0, 1, 0}, 0.9f);
        Leg(kit, side, s, thigh, shin, foot);
    }
    kit.Commit();
    return d;
}
