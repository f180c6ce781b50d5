#include "tools/models/ZombieDesign.h"

#include "tools/models/BodyKit.h"
#include "tools/models/HandBuilder.h"

namespace {

constexpr float UpperArm = 32.0f, ForeArm = 30.0f; // long arms, cm

void PlaceSkeleton(Skeleton& sk)
{
    sk.Joint("Hips") = {0, 96, -2};
    sk.Joint("Spine") = {0, 106, -0.5f};
    sk.Joint("Spine1") = {0, 121, 4};
    sk.Joint("Spine2") = {0, 121, 4};
    sk.Joint("Neck") = {0, 145, 11};
    sk.Joint("Head") = {0, 152, 16};
    sk.Joint("Eyes") = {0, 159.5f, 27};
    sk.Joint("Jaw") = {0, 153, 19};
    sk.Joint("LeftShoulder") = {3, 141, 8};
    sk.Joint("LeftArm") = {18.5f, 139, 7};
    sk.Joint("RightShoulder") = {-3, 140, 8};
    sk.Joint("RightArm") = {-18, 136.5f, 7.5f}; // the dropped shoulder
    sk.Joint("LeftUpLeg") = {9, 94, -2};
    sk.Joint("LeftLeg") = {10.5f, 52, 4};
    sk.Joint("LeftFoot") = {10.5f, 9, -2};
    sk.Joint("LeftToeBase") = {11.5f, 3, 11};
    sk.Joint("RightUpLeg") = {-9, 94, -2};
    sk.Joint("RightLeg") = {-10, 52, 1.5f};
    sk.Joint("RightFoot") = {-11, 9, -5};
    sk.Joint("RightToeBase") = {-13.5f, 3, 7};
}

void Head(BodyKit& kit, int chart)
{
    const glm::mat3 tilt = BodyKit::Frame({0, 1, 0.35f}, {0, -0.35f, 1});
    kit.Use("Head", Skin, chart, 3.5f, 4.0f);
    kit.Ellipsoid({0, 163, 16}, {7.6f, 9.6f, 9.6f}, tilt); // cranium
    kit.Use("Jaw", Skin, chart, 3.0f, 3.0f);
    kit.Ellipsoid({0, 153.5f, 22.5f}, {5.4f, 5.4f, 5.8f}, tilt); // slack jaw
    kit.Use("Head", Skin, chart, 1.6f, 3.0f);
    kit.Ellipsoid({4.4f, 158.5f, 22.5f}, {2.2f, 1.5f, 2.2f}); // gaunt cheekbones
    kit.Ellipsoid({-4.4f, 158.5f, 22.5f}, {2.2f, 1.5f, 2.2f});
    kit.Capsule({-4.6f, 163.0f, 24.2f}, {4.6f, 163.0f, 24.2f}, 1.5f, 1.5f); // heavy brow
    kit.Use("Head", Skin, chart, 1.2f, 2.0f);
    kit.Capsule({0, 161.2f, 25.6f}, {0, 157.4f, 27.4f}, 0.7f, 0.9f); // sunken nose
    kit.Ellipsoid({-7.2f, 159.5f, 14.5f}, {1.6f, 2.6f, 0.9f}, BodyKit::Frame({0, 1, 0.3f}, {1, 0, 0}));
    kit.Ellipsoid({7.0f, 160.5f, 14.5f}, {1.2f, 1.6f, 0.9f}, BodyKit::Frame({0, 1, 0.3f}, {1, 0, 0})); // half an ear
    SdfPrimitive cut;
    cut.kind = SdfPrimitive::Kind::Ellipsoid;
    for (float x : {3.2f, -3.2f}) {
        cut.a = {x, 160.8f, 25.0f};
        cut.radii = {2.3f, 1.9f, 2.0f};
        kit.Cut(cut, 1.2f); // deep sockets
        cut.a = {x * 1.45f, 156.0f, 22.5f};
        cut.radii = {1.6f, 2.4f, 1.6f};
        kit.Cut(cut, 1.5f); // hollow cheeks
    }
    cut.a = {0, 154.6f, 26.2f};
    cut.radii = {2.4f, 1.3f, 2.0f};
    kit.Cut(cut, 0.8f); // the mouth hangs open
    kit.Use("Eyes", Eye, chart, 0.3f, 0.6f);
    kit.Ellipsoid({3.2f, 160.6f, 23.4f}, glm::vec3(1.35f));
    kit.Ellipsoid({-3.2f, 160.6f, 23.4f}, glm::vec3(1.35f));
    // Lank hair (its bald patches are painted: a cap this thin cannot take holes).
    kit.Use("Head", Hair, chart, 0.4f, 3.0f);
    SdfPrimitive& hair = kit.Ellipsoid({0, 163.8f, 15.0f}, {8.3f, 10.1f, 10.2f}, tilt);
    const glm::vec3 hairline = glm::normalize(glm::vec3(0, -1, 0.55f)); // high on the brow, low at the nape
    hair.clip = glm::vec4(hairline, glm::dot(hairline, glm::vec3(0, 166, 25)));
    hair.bumpScale = 1.2f;
    hair.bumpAmount = 0.2f;
    kit.Use("Neck", Skin, chart, 3.0f, 4.0f);
    kit.Capsule({0, 140, 9}, {0, 156, 16}, 4.6f, 4.3f);
    kit.Capsule({1.8f, 142, 12}, {1.2f, 153, 19}, 1.0f, 0.8f); // stringy tendons
    kit.Capsule({-1.8f, 142, 12}, {-1.2f, 153, 19}, 1.0f, 0.8f);
}

// Skin underneath and a shirt layer a centimetre out, torn open by noise.
void Torso(BodyKit& kit, int torso)
{
    const glm::mat3 lean = BodyKit::Frame({0, 1, 0.3f}, {0, -0.3f, 1});
    struct Part {
        const char* bone;
        glm::vec3 centre, radii;
    };
    const Part parts[] = {{"Spine", {0, 110, 1}, {12.5f, 10.0f, 8.5f}},
                          {"Spine1", {0, 124, 4.5f}, {15.0f, 10.0f, 10.0f}},
                          {"Spine2", {0, 133, 6.5f}, {16.5f, 8.0f, 9.5f}}};
    kit.Use("Hips", Trousers, torso, 6.0f, 6.0f);
    SdfPrimitive& pelvis = kit.Ellipsoid({0, 96, -2}, {15.0f, 9.5f, 10.0f});
    pelvis.holeScale = ZombieDesign::HoleScale;
    pelvis.holeLevel = 0.55f;
    kit.Use("Hips", Skin, torso, 6.0f, 6.0f);
    kit.Ellipsoid({0, 96, -2}, {14.0f, 8.5f, 9.0f});
    for (const Part& p : parts) {
        kit.Use(p.bone, Skin, torso, 7.0f, 6.0f);
        SdfPrimitive& skin = kit.Ellipsoid(p.centre, p.radii, lean);
        skin.bumpScale = 0.55f; // ribs and knots under the skin
        skin.bumpAmount = 0.35f;
        kit.Use(p.bone, Shirt, torso, 7.0f, 6.0f);
        SdfPrimitive& shirt = kit.Ellipsoid(p.centre, p.radii + glm::vec3(1.2f), lean);
        shirt.holeScale = ZombieDesign::HoleScale;
        shirt.holeLevel = ZombieDesign::ShirtHoleLevel;
    }
    for (float s : {1.0f, -1.0f}) {
        const std::string side = s > 0 ? "Left" : "Right";
        kit.Use(side + "Shoulder", Shirt, torso, 6.0f, 5.0f);
        SdfPrimitive& shoulder = kit.Ellipsoid(kit.Joint(side + "Arm") + glm::vec3(-7.5f * s, 3.5f, 0),
                                               {8.0f, 4.0f, 6.5f}, BodyKit::Frame({-0.35f * s, 1, 0}, {0, 0, 1}));
        shoulder.holeScale = ZombieDesign::HoleScale;
        shoulder.holeLevel = 0.45f;
        kit.Use(side + "Shoulder", Skin, torso, 6.0f, 5.0f);
        kit.Ellipsoid(kit.Joint(side + "Arm") + glm::vec3(-7.5f * s, 3.0f, 0), {7.0f, 3.2f, 5.5f},
                      BodyKit::Frame({-0.35f * s, 1, 0}, {0, 0, 1}));
    }
}

void Arm(BodyKit& kit, const std::string& side, float s, int upper, int fore, float sleeve)
{
    const glm::vec3 shoulder = kit.Joint(side + "Arm"), elbow = kit.Joint(side + "ForeArm"),
                    wrist = kit.Joint(side + "Hand");
    kit.Use(side + "Arm", Skin, upper, 3.5f, 5.0f);
    kit.Ellipsoid(shoulder + glm::vec3(0.5f * s, 0.5f, 0), {5.0f, 5.0f, 5.5f});
    kit.Capsule(shoulder, elbow, 4.4f, 3.4f);
    // Sleeve torn off partway down the upper arm.
    kit.Use(side + "Arm", Shirt, upper, 2.0f, 5.0f);
    SdfPrimitive& cloth = kit.Capsule(shoulder, shoulder + (elbow - shoulder) * sleeve, 5.6f, 5.0f);
    cloth.holeScale = ZombieDesign::HoleScale * 1.6f;
    cloth.holeLevel = 0.35f;
    kit.Use(side + "ForeArm", Skin, fore, 2.5f, 4.0f);
    kit.Ellipsoid(elbow, glm::vec3(3.6f));
    kit.Capsule(elbow, wrist, 3.6f, 2.5f);
    kit.Capsule(elbow + glm::vec3(0, 0.8f, 0), elbow + (wrist - elbow) * 0.45f + glm::vec3(0, 1.0f, 0), 3.0f,
                2.4f); // wasted muscle
}

void Leg(BodyKit& kit, const std::string& side, float s, int thigh, int shin, int foot, bool torn)
{
    const glm::vec3 hip = kit.Joint(side + "UpLeg"), knee = kit.Joint(side + "Leg"), ankle = kit.Joint(side + "Foot");
    const glm::vec3 toe = kit.Joint(side + "ToeBase");
    kit.Use(side + "UpLeg", Trousers, thigh, 5.0f, 5.0f);
    SdfPrimitive& leg = kit.Capsule(hip, knee, 8.0f, 5.8f);
    leg.holeScale = ZombieDesign::HoleScale;
    leg.holeLevel = ZombieDesign::TrouserHoleLevel;
    kit.Use(side + "UpLeg", Skin, thigh, 5.0f, 5.0f);
    kit.Capsule(hip, knee, 7.0f, 4.8f);
    kit.Use(side + "Leg", Skin, shin, 3.0f, 4.0f);
    kit.Ellipsoid(knee + glm::vec3(0, 0, 1.2f), {4.6f, 4.6f, 4.8f});
    kit.Capsule(knee, ankle, 4.3f, 2.9f);
    kit.Ellipsoid({knee.x, 37, knee.z - 4.5f}, {4.0f, 7.5f, 4.0f}); // calf
    kit.Use(side + "Leg", Trousers, shin, 2.0f, 4.0f);
    // The torn leg's cloth ends in rags below the knee; the other reaches the ankle.
    const glm::vec3 end = torn ? knee + (ankle - knee) * 0.3f : ankle + glm::vec3(0, 5, 0);
    SdfPrimitive& cloth = kit.Capsule(knee + glm::vec3(0, 3, 0), end, 5.7f, torn ? 5.6f : 5.0f);
    cloth.holeScale = ZombieDesign::HoleScale * 1.3f;
    cloth.holeLevel = torn ? 0.2f : ZombieDesign::TrouserHoleLevel;
    // Bare feet with toes.
    const glm::vec3 along = glm::normalize(glm::vec3(toe.x - ankle.x, 0, toe.z - ankle.z));
    const glm::mat3 footAxes = BodyKit::Frame({0, 1, 0}, along);
    kit.Use(side + "Foot", Skin, foot, 2.0f, 4.0f);
    kit.Ellipsoid(ankle + glm::vec3(0, -1.5f, 0) - along * 2.0f, {3.6f, 4.0f, 4.5f}, footAxes); // heel
    kit.Box(ankle + glm::vec3(0, -4.8f, 0) + along * 5.0f, {4.0f, 2.6f, 8.5f}, 2.2f, footAxes);
    kit.Use(side + "ToeBase", Skin, foot, 0.9f, 2.0f);
    const glm::vec3 side3 = glm::cross(glm::vec3(0, 1, 0), along);
    for (int t = 0; t < 5; ++t) {
        const float off = (static_cast<float>(t) - 1.5f) * 1.7f * s;
        const float len = t == 0 ? 4.0f : 3.6f - 0.35f * static_cast<float>(t);
        const glm::vec3 base = toe + side3 * off - along * 1.2f + glm::vec3(0, -0.8f, 0);
        kit.Capsule(base, base + along * len + glm::vec3(0, -0.6f, 0), t == 0 ? 1.3f : 0.95f, t == 0 ? 1.1f : 0.8f);
    }
}

} // namespace

CharacterDesign ZombieDesign::Build()
{
    CharacterDesign d;
    d.name = "Zombie";
    d.cell = 0.6f;
    d.triangleBudget = 5800;
    Skeleton& sk = d.skeleton;
    PlaceSkeleton(sk);
    BodyKit kit(d);

    HandStyle claw;
    claw.scale = 1.1f;
    claw.fingerLength = 1.12f;
    claw.thickness = 0.82f;
    claw.curl = {{{18, 28, 22}, {22, 32, 25}, {26, 36, 26}, {30, 38, 28}}};
    claw.spread = 12.0f;
    claw.thumbCurl = {5, 15, 15};
    claw.thumbOpen = 15.0f;
    // Both arms reach forward, the right (striking) one higher and further.
    const struct {
        const char* side;
        glm::vec3 wrist, forward, palm, pole;
    } arms[] = {{"Left", {11, 124, 58}, {0.05f, -0.15f, 1}, {-0.3f, -1, 0.1f}, {0.8f, -1.0f, 0.0f}},
                {"Right", {-12, 128, 62}, {0.0f, -0.05f, 1}, {0.3f, -1, 0.1f}, {-0.8f, -1.0f, 0.0f}}};
    HandLayout hands[2];
    for (int i = 0; i < 2; ++i) {
        const std::string side = arms[i].side;
        hands[i] = HandBuilder::Layout(claw, side, arms[i].wrist, arms[i].forward, arms[i].palm);
        sk.Joint(side + "Hand") = arms[i].wrist;
        sk.Joint(side + "ForeArm") =
            BodyKit::MiddleJoint(sk.Joint(side + "Arm"), arms[i].wrist, UpperArm, ForeArm, arms[i].pole);
    }

    const int head = kit.Chart({0, 139, 8}, {0, 176, 20}, {0, -0.2f, 1}, 2.0f);
    const int torso = kit.Chart({0, 84, -2}, {0, 146, 9}, {0, 0, 1}, 1.0f);
    Head(kit, head);
    Torso(kit, torso);
    for (int i = 0; i < 2; ++i) {
        const std::string side = arms[i].side;
        const float s = i == 0 ? 1.0f : -1.0f;
        const glm::vec3 sh = sk.Joint(side + "Arm"), el = sk.Joint(side + "ForeArm"), wr = sk.Joint(side + "Hand");
        const int upper = kit.Chart(sh, el, {0, 1, 0}, 1.2f);
        const int fore = kit.Chart(el, wr, {0, 1, 0}, 1.3f);
        Arm(kit, side, s, upper, fore, i == 0 ? 0.45f : 0.6f);
        const HandLayout& h = hands[i];
        const int hand = kit.Chart(h.wrist - h.forward * 3.0f, h.wrist + h.forward * 11.0f, -h.palm, 1.6f);
        HandBuilder::Build(kit, d, claw, side, h, hand, Skin);
        const glm::vec3 hip = sk.Joint(side + "UpLeg"), knee = sk.Joint(side + "Leg"), ankle = sk.Joint(side + "Foot");
        const int thigh = kit.Chart(hip + glm::vec3(0, 8, 0), knee, {0, 0, 1}, 0.8f);
        const int shin = kit.Chart(knee, ankle, {0, 0, 1}, 0.9f);
        const int foot =
            kit.Chart(ankle + glm::vec3(0, -4, -8), sk.Joint(side + "ToeBase") + glm::vec3(0, 0, 6), {0, 1, 0}, 0.9f);
        Leg(kit, side, s, thigh, shin, foot, i == 1);
    }
    kit.Commit();
    return d;
}
