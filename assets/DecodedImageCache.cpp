#include "assets/DecodedImageCache.h"

std::shared_ptr<const DecodedImage> DecodedImageCache::Find(const std::string& name,
                                                            const std::vector<char>& bytes) const
{
    const auto found = entries_.find(name);
    if (found == entries_.end() || found->second.bytes != bytes)
        return nullptr;
    return found->second.image;
}

void DecodedImageCache::Store(const std::string& name, std::vector<char> bytes,
                              std::shared_ptr<const DecodedImage> image)
{
    entries_[name] = {std::move(bytes), std::move(image)};
}
