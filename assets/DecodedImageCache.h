// Decoded images kept from one scene to the next, each with the exact bytes it was decoded from:
// a restart reads every image from the pack again (so a damaged or replaced pack is seen as at
// start-up) but decodes only those whose bytes changed. The renderer keeps the textures made from
// these images (TextureCache), so handing out the same image lets a restart take its texture too.
// Used from one thread at a time.
#pragma once

#include "assets/ImageDecoder.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class DecodedImageCache {
public:
    // The image decoded from exactly these bytes under this name; null when there is none.
    std::shared_ptr<const DecodedImage> Find(const std::string& name, const std::vector<char>& bytes) const;
    // Replaces what the name held.
    void Store(const std::string& name, std::vector<char> bytes, std::shared_ptr<const DecodedImage> image);
    void Clear() { entries_.clear(); }

private:
    struct Entry {
        std::vector<char> bytes;
        std::shared_ptr<const DecodedImage> image;
    };
    std::unordered_map<std::string, Entry> entries_;
};
