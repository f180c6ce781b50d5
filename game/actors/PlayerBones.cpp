#include "game/actors/PlayerBones.h"

#include "assets/MeshComponent.h"
#include "game/actors/SkeletonBones.h"
#include "math/MathUtils.h"
#include "scene/components/TransformComponent.h"

namespace {

// Fixed skeleton ids of the character models.
constexpr int EyeBoneId = 3;
constexpr int LeftHandBoneId = 32;
constexpr int RightHandBoneId = 8;
constexpr float GunForwardShift = 0.08f; // the gun rests just in front of the hands

} // namespace

PlayerBones::PlayerBones(const MeshComponent& mesh)
    : eyeBoneMatrix_(InverseBoneOffset(mesh, EyeBoneId)), leftHandBoneMatrix_(InverseBoneOffset(mesh, LeftHandBoneId)),
      rightHandBoneMatrix_(InverseBoneOffset(mesh, RightHandBoneId))
{}

void PlayerBones::Place(const TransformComponent& body, const glm::mat4* finalBones, const glm::vec3& forward,
                        TransformComponent& eye, TransformComponent& gun) const
{
    const glm::mat4 model = body.GetModelMatrix();
    eye.position = BoneWorldPosition(model, finalBones[EyeBoneId], eyeBoneMatrix_);
    const glm::vec3 left = BoneWorldPosition(model, finalBones[LeftHandBoneId], leftHandBoneMatrix_);
    const glm::vec3 right = BoneWorldPosition(model, finalBones[RightHandBoneId], rightHandBoneMatrix_);
    gun.position = (left + right) * 0.5f + forward * GunForwardShift;
    // The gun model's muzzle points along -X: a quarter turn about +Y lines it up with his front.
    gun.rotation = body.rotation * glm::angleAxis(90.0f * DegToRad, glm::vec3(0.0f, 1.0f, 0.0f));
}
