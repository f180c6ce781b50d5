// Which textures an actor's shader samples: up to eight texture indices into the renderer's
// texture array. Slot 0 diffuse, 1 normal map, 7 alpha mask; 0xFFFF marks an empty slot.
#pragma once

#include "assets/Component.h"

#include <array>
#include <cstdint>
#include <memory>

class Texture;

inline constexpr int MaxMaterialTextures = 8;
inline constexpr uint16_t EmptyTextureSlot = 0xFFFF;

struct MaterialTextures {
    std::shared_ptr<Texture> slot0, slot1, slot2, slot3, slot4, slot5, slot6, slot7;
};

class MaterialComponent : public Component {
public:
    std::array<uint16_t, MaxMaterialTextures> textureIndices;

    explicit MaterialComponent(const MaterialTextures& textures);
    MaterialComponent(const std::shared_ptr<Texture>& t0, const std::shared_ptr<Texture>& t1 = nullptr,
                      const std::shared_ptr<Texture>& t2 = nullptr, const std::shared_ptr<Texture>& t3 = nullptr,
                      const std::shared_ptr<Texture>& t4 = nullptr, const std::shared_ptr<Texture>& t5 = nullptr,
                      const std::shared_ptr<Texture>& t6 = nullptr, const std::shared_ptr<Texture>& t7 = nullptr);

    // The indices as the shaders receive them: each widened as a signed 16-bit value, so an
    // empty slot arrives as -1.
    std::array<int32_t, MaxMaterialTextures> PushIndices() const;
};
