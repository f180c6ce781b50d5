// GPU textures kept from one scene to the next with the decoded images they were made from. When
// the pack's bytes are unchanged, the decoded-image cache hands a restart the very images it
// decoded before; a texture made from those same images, in the same format and with the same
// texture index, is taken as it is instead of being uploaded and given its mip chain again (on a
// software rasterizer the first touches of new device memory are most of a restart). Owned by the
// renderer, which empties it before its device goes. Used from one thread at a time.
#pragma once

#include "assets/ImageDecoder.h"

#include <vulkan/vulkan.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class Texture;

class TextureCache {
public:
    // The decoded images a texture is made from: one for a 2D texture, six for a cube map.
    using Sources = std::vector<std::shared_ptr<const DecodedImage>>;

    // The texture kept under this name made from these very image objects, with this format and
    // texture index; null when there is none.
    std::shared_ptr<Texture> Find(const std::string& name, VkFormat format, uint16_t textureIndex,
                                  const Sources& sources) const;
    // Replaces what the name held.
    void Store(const std::string& name, Sources sources, std::shared_ptr<Texture> texture);
    void Clear() { entries_.clear(); }
    std::size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        Sources sources;
        std::shared_ptr<Texture> texture;
    };
    std::unordered_map<std::string, Entry> entries_;
};
