#include "assets/TextureCache.h"

#include "assets/Texture.h"

std::shared_ptr<Texture> TextureCache::Find(const std::string& name, VkFormat format, uint16_t textureIndex,
                                            const Sources& sources) const
{
    const auto found = entries_.find(name);
    if (found == entries_.end())
        return nullptr;
    const Entry& entry = found->second;
    // The same image objects, not equal pixels: the decoded-image cache only hands an image out
    // again for exactly the bytes it was decoded from.
    if (entry.sources != sources || entry.texture->format != format || entry.texture->textureIndex != textureIndex)
        return nullptr;
    return entry.texture;
}

void TextureCache::Store(const std::string& name, Sources sources, std::shared_ptr<Texture> texture)
{
    entries_[name] = {std::move(sources), std::move(texture)};
}
