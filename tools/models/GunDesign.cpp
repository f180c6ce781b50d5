#include "tools/models/GunDesign.h"

#include "tools/models/BodyKit.h"

namespace {

// Pistol grip under the rear body, raked back like a toy blaster's.
const glm::vec3 RearGripCentre(0.0f, -6.6f, -8.2f);
const glm::vec3 RearGripAxis = glm::normalize(glm::vec3(0.0f, -1.0f, -0.29f));
// Upright fore grip under the middle of the bubble chamber: close enough to the rear grip that the
// left hand reaches it with the gun held well out in front of the eyes.
const glm::vec3 FrontGripCentre(0.0f, -6.4f, 5.0f);
const glm::vec3 FrontGripAxis = glm::normalize(glm::vec3(0.0f, -1.0f, 0.08f));
// Height of the barrel's axis.
constexpr float AxisY = 0.4f;

// A hand closed round a grip whose axis runs from the thumb side down: the palm faces the grip.
HandLayout HandOnGrip(const HandStyle& style, const std::string& side, const glm::vec3& centre, const glm::vec3& axis)
{
    const glm::vec3 palm = side == "Right" ? glm::vec3(1, 0, 0) : glm::vec3(-1, 0, 0);
    // Perpendicular to the grip, pointing ahead: the knuckles' direction.
    const glm::vec3 forward = glm::normalize(glm::cross(side == "Right" ? palm : -palm, -axis));
    const HandLayout atOrigin = HandBuilder::Layout(style, side, glm::vec3(0.0f), forward, palm);
    return HandBuilder::Layout(style, side, centre - atOrigin.gripCentre, forward, palm);
}

} // namespace

GunHold GunDesign::Hold()
{
    GunHold h;
    h.rearStyle.curl = {{{25, 35, 20}, {72, 88, 45}, {75, 88, 45}, {78, 85, 40}}}; // index on the trigger
    h.rearStyle.thumbCurl = {10, 25, 20};
    h.rearStyle.spread = 2.0f;
    h.frontStyle.curl = {{{65, 80, 40}, {70, 88, 45}, {72, 88, 42}, {75, 85, 40}}};
    h.frontStyle.thumbCurl = {15, 25, 15};
    h.rear = HandOnGrip(h.rearStyle, "Right", RearGripCentre, RearGripAxis);
    h.front = HandOnGrip(h.frontStyle, "Left", FrontGripCentre, FrontGripAxis);
    h.origin = 0.5f * (h.rear.wrist + h.front.wrist) + glm::vec3(0.0f, 0.0f, HoldForwardCm);
    return h;
}

glm::vec3 GunDesign::ToModel(const glm::vec3& design, const GunHold& hold)
{
    return DirectionToModel(design - hold.origin) / UnitCm;
}

CharacterDesign GunDesign::Build(const GunHold& hold)
{
    CharacterDesign d;
    d.name = "BubbleGun";
    d.cell = 0.22f;
    d.triangleBudget = 3200;
    BodyKit kit(d);
    const glm::vec3 z(0, 0, 1), y(0, 1, 0), x(1, 0, 0);
    const int body = kit.Chart({0, AxisY, -15}, {0, AxisY, 17}, y, 1.0f);
    const int rear = kit.Chart(RearGripCentre - RearGripAxis * 5.0f, RearGripCentre + RearGripAxis * 5.0f, z, 1.0f);
    const int front =
        kit.Chart(FrontGripCentre - FrontGripAxis * 4.0f, FrontGripCentre + FrontGripAxis * 4.0f, z, 1.0f);
    const int tank = kit.Chart({0, 5.0f, -13.0f}, {0, 5.0f, -1.5f}, y, 1.2f);
    const glm::mat3 alongZ = BodyKit::Frame(z, y); // local y runs along the barrel

    // Rear housing, its end cap and side fins.
    kit.Use("", GunBody, body, 1.2f);
    kit.Box({0, AxisY, -6.3f}, {3.0f, 3.3f, 7.0f}, 2.2f);
    kit.Use("", GunAccent, body, 0.8f);
    kit.Ellipsoid({0, AxisY, -13.2f}, {3.3f, 3.7f, 1.5f});
    kit.Box({3.1f, AxisY + 0.8f, -8.0f}, {0.6f, 1.1f, 4.6f}, 0.5f);
    kit.Box({-3.1f, AxisY + 0.8f, -8.0f}, {0.6f, 1.1f, 4.6f}, 0.5f);
    kit.Use("", GunMetal, body, 0.4f);
    kit.Capsule({3.0f, AxisY - 0.4f, -1.8f}, {3.9f, AxisY - 0.4f, -1.8f}, 1.2f, 1.2f); // pressure dial
    kit.Capsule({-3.0f, AxisY - 0.4f, -1.8f}, {-3.9f, AxisY - 0.4f, -1.8f}, 1.2f, 1.2f);

    // Bubble-mix tank on top, held by two metal bands.
    kit.Use("", GunLiquid, tank, 1.0f);
    kit.Capsule({0, 5.0f, -11.5f}, {0, 5.0f, -3.0f}, 1.9f, 1.9f);
    kit.Use("", GunMetal, tank, 0.5f);
    kit.Torus({0, 5.0f, -10.2f}, 1.9f, 0.45f, alongZ);
    kit.Torus({0, 5.0f, -4.3f}, 1.9f, 0.45f, alongZ);
    kit.Use("", GunBody, body, 1.0f);
    kit.Box({0, 3.6f, -7.0f}, {1.2f, 1.0f, 3.0f}, 0.6f);

    // Glass bubble chamber between two metal collars.
    kit.Use("", GunGlass, body, 0.6f);
    kit.Ellipsoid({0, AxisY, 5.4f}, {3.9f, 3.9f, 4.6f});
    kit.Use("", GunMetal, body, 0.5f);
    kit.Torus({0, AxisY, 1.3f}, 2.9f, 0.8f, alongZ);
    kit.Torus({0, AxisY, 9.6f}, 2.6f, 0.8f, alongZ);

    // Barrel with a flared muzzle.
    kit.Use("", GunBody, body, 0.8f);
    kit.Capsule({0, AxisY, 9.5f}, {0, AxisY, 14.2f}, 1.8f, 1.5f);
    kit.Use("", GunAccent, body, 0.7f);
    kit.Capsule({0, AxisY, 14.0f}, {0, AxisY, 15.2f}, 2.3f, 2.6f);
    kit.Use("", GunMetal, body, 0.4f);
    kit.Torus({0, AxisY, 15.3f}, 2.0f, 0.6f, alongZ);
    SdfPrimitive bore;
    bore.kind = SdfPrimitive::Kind::Capsule;
    bore.a = {0, AxisY, 13.3f};
    bore.b = {0, AxisY, 19.0f};
    bore.ra = bore.rb = 1.25f;
    kit.Cut(bore, 0.4f);

    // Rear grip, trigger and its guard.
    kit.Use("", GunRubber, rear, 0.9f);
    kit.Capsule(RearGripCentre - RearGripAxis * 4.8f, RearGripCentre + RearGripAxis * 4.2f,
                hold.rear.gripRadius + 0.15f, hold.rear.gripRadius + 0.35f);
    kit.Use("", GunAccent, body, 0.3f);
    kit.Capsule({0, -2.3f, -3.4f}, {0, -4.3f, -3.9f}, 0.5f, 0.42f);
    kit.Use("", GunBody, body, 0.4f);
    SdfPrimitive& guard = kit.Torus({0, -3.0f, -4.1f}, 2.2f, 0.45f, BodyKit::Frame(x, y));
    guard.clip = {0.0f, 1.0f, 0.0f, -2.6f};

    // Fore grip on a block under the chamber.
    kit.Use("", GunBody, body, 1.0f);
    kit.Box({0, -3.0f, 4.8f}, {1.6f, 1.3f, 2.8f}, 0.8f);
    kit.Use("", GunRubber, front, 0.8f);
    kit.Capsule(FrontGripCentre - FrontGripAxis * 3.6f, FrontGripCentre + FrontGripAxis * 3.4f,
                hold.front.gripRadius + 0.15f, hold.front.gripRadius + 0.3f);
    kit.Commit();
    return d;
}
