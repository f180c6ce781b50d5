#include "renderer/ObjectRecords.h"

#include "scene/actors/Actor.h"
#include "scene/components/AnimationComponent.h"
#include "scene/components/MaterialComponent.h"
#include "scene/components/TransformComponent.h"

glm::mat4 ActorModelMatrix(const Actor& actor)
{
    if (auto transform = actor.GetComponent<TransformComponent>())
        return transform->GetModelMatrix();
    return glm::mat4(1.0f);
}

glm::mat4 NormalMatrix(const glm::mat4& model)
{
    return glm::transpose(glm::inverse(model));
}

namespace {

glm::vec4 ColourAndMetallic(const Actor& actor)
{
    return glm::vec4(actor.colour, actor.materialValues.x);
}

} // namespace

BaseRecord MakeBaseRecord(const Actor& actor)
{
    const glm::mat4 model = ActorModelMatrix(actor);
    return {model, NormalMatrix(model)};
}

PbrRecord MakePbrRecord(const Actor& actor)
{
    const glm::mat4 model = ActorModelMatrix(actor);
    return {model, NormalMatrix(model), ColourAndMetallic(actor), actor.materialValues};
}

AnimRecord MakeAnimRecord(const Actor& actor)
{
    return {ColourAndMetallic(actor), actor.materialValues};
}

void FillAnimStorageRecord(const Actor& actor, AnimStorageRecord& record)
{
    record.model = ActorModelMatrix(actor);
    record.normalMatrix = NormalMatrix(record.model);
    if (auto animation = actor.GetComponent<AnimationComponent>()) {
        for (int i = 0; i < MaxBones; ++i)
            record.bones[i] = animation->finalBoneMatrices[i];
    } else {
        for (glm::mat4& bone : record.bones)
            bone = glm::mat4(1.0f);
    }
}

PushConstantRecord MakePushConstantRecord(const Actor& actor)
{
    PushConstantRecord push{};
    if (auto material = actor.GetComponent<MaterialComponent>()) {
        push.colour = glm::vec4(0.0f);
        const std::array<int32_t, MaxMaterialTextures> indices = material->PushIndices();
        for (int i = 0; i < MaxMaterialTextures; ++i)
            push.textureIndices[i] = indices[i];
    } else {
        push.colour = glm::vec4(actor.colour, 0.0f);
        for (int32_t& index : push.textureIndices)
            index = -1;
    }
    return push;
}
