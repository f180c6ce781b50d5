#include "game/actors/SkeletonBones.h"

#include "assets/MeshComponent.h"
#include "math/MathUtils.h"

#include <stdexcept>
#include <string>

glm::mat4 InverseBoneOffset(const MeshComponent& mesh, int id)
{
    for (const BoneInfo& bone : mesh.bones)
        if (bone.id == id)
            return Inverse(bone.offset);
    // The camera, the gun and the hand hitbox hang on fixed bone ids: a model without them is unusable.
    throw std::runtime_error("Model has no bone with id " + std::to_string(id));
}

glm::vec3 BoneWorldPosition(const glm::mat4& model, const glm::mat4& finalBone, const glm::mat4& inverseOffset)
{
    return glm::vec3((model * finalBone * inverseOffset)[3]);
}
