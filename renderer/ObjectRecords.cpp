#include "renderer/ObjectRecords.h"

#include "scene/actors/Actor.h"
#include "scene/components/AnimationComponent.h"
#include "scene/components/MaterialComponent.h"
#include "scene/components/TransformComponent.h"

glm::mat4 ActorModelMatrix(const DrawItem& item)
{
    return item.transform ? item.transform->GetModelMatrix() : glm::mat4(1.0f);
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

BaseRecord MakeBaseRecord(const DrawItem& item)
{
    const glm::mat4 model = ActorModelMatrix(item);
    return {model, NormalMatrix(model)};
}

PbrRecord MakePbrRecord(const DrawItem& item)
{
    const glm::mat4 model = ActorModelMatrix(item);
    return {model, NormalMatrix(model), ColourAndMetallic(*item.actor), item.actor->materialValues};
}

AnimRecord MakeAnimRecord(const DrawItem& item)
{
    return {ColourAndMetallic(*item.actor), item.actor->materialValues};
}

void FillAnimStorageRecord(const DrawItem& item, AnimStorageRecord& record)
{
    record.model = ActorModelMatrix(item);
    record.normalMatrix = NormalMatrix(record.model);
    if (item.animation) {
        for (int i = 0; i < MaxBones; ++i)
            record.bones[i] = item.animation->finalBoneMatrices[i];
    } else {
        for (glm::mat4& bone : record.bones)
            bone = glm::mat4(1.0f);
    }
}

PushConstantRecord MakePushConstantRecord(const DrawItem& item)
{
    PushConstantRecord push{};
    if (item.material) {
        push.colour = glm::vec4(0.0f);
        const std::array<int32_t, MaxMaterialTextures> indices = item.material->PushIndices();
        for (int i = 0; i < MaxMaterialTextures; ++i)
            push.textureIndices[i] = indices[i];
    } else {
        push.colour = glm::vec4(item.actor->colour, 0.0f);
        for (int32_t& index : push.textureIndices)
            index = -1;
    }
    push.pointLights = item.pointLights;
    return push;
}
