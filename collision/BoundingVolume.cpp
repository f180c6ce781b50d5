#include "collision/BoundingVolume.h"

#include "collision/Capsule.h"
#include "collision/Cube.h"
#include "collision/OBB.h"
#include "collision/PairTests.h"
#include "collision/Ray.h"
#include "collision/Sphere.h"
#include "collision/Triangle.h"
#include "scene/components/TransformComponent.h"

namespace COLLISION {

namespace {

// One cell of the table: the querying volume, the other, the owner to push and the record.
using PairEntry = bool (*)(BoundingVolume& self, BoundingVolume& other, TransformComponent* owner, Collision* out);

// The operand types of a pair test, read off its signature.
template <class Test> struct Operands;
template <class A, class B> struct Operands<bool (*)(const A&, const B&, Collision&)> {
    using First = A;
    using Second = B;
    static constexpr bool fillsRecord = true;
};
template <class A, class B> struct Operands<bool (*)(const A&, const B&)> {
    using First = A;
    using Second = B;
    static constexpr bool fillsRecord = false;
};

// Runs `Test` on the pair in its own operand order: `self` is its first operand unless Swap.
// The kinds were read before the call, so the casts cannot miss.
template <auto Test, bool Swap> bool Run(BoundingVolume& self, BoundingVolume& other, Collision& record)
{
    using Ops = Operands<decltype(Test)>;
    BoundingVolume& first = Swap ? other : self;
    BoundingVolume& second = Swap ? self : other;
    const auto& a = static_cast<const typename Ops::First&>(first);
    const auto& b = static_cast<const typename Ops::Second&>(second);
    if constexpr (Ops::fillsRecord)
        return Test(a, b, record);
    else
        return Test(a, b);
}

bool BothSolid(const BoundingVolume& a, const BoundingVolume& b)
{
    return !a.IsTrigger() && !b.IsTrigger();
}

// Fills the record and, when both volumes are solid and touch, moves the owner out of `other`.
// FirstSign (an int: clang takes no float template argument) says which way the test's normal pushes its first operand (+1 along the normal, -1
// against it); the second operand goes the other way.
template <auto Test, int FirstSign, bool Swap = false>
bool Push(BoundingVolume& self, BoundingVolume& other, TransformComponent* owner, Collision* out)
{
    Collision scratch;
    Collision& record = out ? *out : scratch;
    const bool contact = Run<Test, Swap>(self, other, record);
    if (contact && owner && BothSolid(self, other))
        owner->position += static_cast<float>(Swap ? -FirstSign : FirstSign) * record.normal * record.depth;
    return contact;
}

// A yes/no answer: the record is left alone and nothing moves.
template <auto Test, bool Swap = false>
bool Answer(BoundingVolume& self, BoundingVolume& other, TransformComponent*, Collision*)
{
    Collision unused;
    return Run<Test, Swap>(self, other, unused);
}

// A yes/no answer for a pair the querying side could not push apart: two solid volumes are not
// tested at all.
template <auto Test, bool Swap = false>
bool AnswerTriggers(BoundingVolume& self, BoundingVolume& other, TransformComponent* owner, Collision* out)
{
    return !BothSolid(self, other) && Answer<Test, Swap>(self, other, owner, out);
}

bool NoTest(BoundingVolume&, BoundingVolume&, TransformComponent*, Collision*)
{
    return false;
}

// The box tests take oriented boxes; these give them the volumes' own types.
bool CapsuleVsOBB(const Capsule& capsule, const OBB& box, Collision& out)
{
    return CapsuleOBB(capsule, box.Box(), out);
}
bool CubeVsOBB(const Cube& a, const OBB& b)
{
    return OBBOBB(BoxOf(a), b.Box());
}
bool OBBVsCube(const OBB& a, const Cube& b)
{
    return OBBOBB(a.Box(), BoxOf(b));
}
bool OBBVsOBB(const OBB& a, const OBB& b)
{
    return OBBOBB(a.Box(), b.Box());
}

constexpr bool Swapped = true;
constexpr int KindCount = RayShape + 1;

// Row: the querying volume's kind; column: the other's, both in ShapeType order. A pair has one
// test, written for one operand order; the other order runs it swapped. The kinds actors own
// (sphere, cube, capsule) push; the others only answer.
constexpr PairEntry PairTable[KindCount][KindCount] = {
    // Sphere
    {Push<SphereSphere, +1>, Push<SphereTriangle, -1>, Push<SphereBox, -1>, Push<SphereOBB, -1>,
     Push<SphereCapsule, +1>, Answer<RaySphere, Swapped>},
    // Triangle
    {Answer<SphereTriangle, Swapped>, NoTest, Answer<TriangleBox>, NoTest, Answer<CapsuleTriangle, Swapped>, NoTest},
    // Cube
    {Push<SphereBox, -1, Swapped>, AnswerTriggers<TriangleBox, Swapped>, Push<BoxBox, -1>,
     AnswerTriggers<CubeVsOBB>, Push<CapsuleBox, -1, Swapped>, Answer<RayBox, Swapped>},
    // OBB
    {Answer<SphereOBB, Swapped>, NoTest, Answer<OBBVsCube>, Answer<OBBVsOBB>, Answer<CapsuleVsOBB, Swapped>, NoTest},
    // Capsule
    {Push<SphereCapsule, +1, Swapped>, Push<CapsuleTriangle, +1>, Push<CapsuleBox, -1>,
     Push<CapsuleVsOBB, +1>, Push<CapsuleCapsule, -1>, Answer<CapsuleRay>},
    // Ray
    {Answer<RaySphere>, NoTest, Answer<RayBox>, NoTest, Answer<CapsuleRay, Swapped>, NoTest},
};

bool IsKind(int32_t kind)
{
    return kind >= 0 && kind < KindCount;
}

} // namespace

bool BoundingVolume::CollideWith(BoundingVolume* other, TransformComponent* ownerTransform, Collision* out)
{
    if (!other || !IsKind(shapeType) || !IsKind(other->shapeType))
        return false;
    return PairTable[shapeType][other->shapeType](*this, *other, ownerTransform, out);
}

} // namespace COLLISION
