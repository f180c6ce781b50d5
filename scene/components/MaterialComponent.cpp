#include "scene/components/MaterialComponent.h"

#include "assets/Texture.h"

MaterialComponent::MaterialComponent(const MaterialTextures& t)
    : MaterialComponent(t.slot0, t.slot1, t.slot2, t.slot3, t.slot4, t.slot5, t.slot6, t.slot7)
{
}

MaterialComponent::MaterialComponent(const std::shared_ptr<Texture>& t0, const std::shared_ptr<Texture>& t1,
                                     const std::shared_ptr<Texture>& t2, const std::shared_ptr<Texture>& t3,
                                     const std::shared_ptr<Texture>& t4, const std::shared_ptr<Texture>& t5,
                                     const std::shared_ptr<Texture>& t6, const std::shared_ptr<Texture>& t7)
{
    const std::shared_ptr<Texture>* slots[MaxMaterialTextures] = {&t0, &t1, &t2, &t3, &t4, &t5, &t6, &t7};
    textureIndices.fill(EmptyTextureSlot);
    for (int i = 0; i < MaxMaterialTextures; ++i)
        if (*slots[i])
            textureIndices[i] = (*slots[i])->textureIndex;
}

std::array<int32_t, MaxMaterialTextures> MaterialComponent::PushIndices() const
{
    std::array<int32_t, MaxMaterialTextures> widened{};
    for (int i = 0; i < MaxMaterialTextures; ++i)
        widened[i] = static_cast<int16_t>(textureIndices[i]);
    return widened;
}
