// The images of several pack assets, decoded at once on every core. The bytes are read from the
// pack one asset after another on the calling thread (the pack reader keeps state of its own)
// while workers decode those already read; then that thread decodes too, and the workers are
// joined before the constructor returns. A failure met reading or decoding an image is kept with
// it and thrown when the image is taken, so each one surfaces at the point where loading the
// images one by one would meet it.
#pragma once

#include "assets/ImageDecoder.h"

#include <exception>
#include <memory>
#include <string>
#include <vector>

class DecodedImageCache;

class ImageBatch {
public:
    // threads: how many decode at once, the calling thread included; 0 means one per core. With a
    // cache, an image whose bytes the cache holds is taken from it, and each one decoded here is
    // stored in it.
    explicit ImageBatch(const std::vector<std::string>& assetNames, unsigned threads = 0,
                        DecodedImageCache* cache = nullptr);
    ImageBatch(const ImageBatch&) = delete;
    ImageBatch& operator=(const ImageBatch&) = delete;

    // Hands over the image of the first entry for `assetName` not yet taken, or throws what
    // reading or decoding it threw ("failed to load texture image!", a damaged-pack message, a
    // missing name). A name the batch was not made with throws std::logic_error.
    std::shared_ptr<const DecodedImage> Take(const std::string& assetName);

private:
    struct Entry {
        std::string name;
        std::vector<char> bytes;
        std::shared_ptr<const DecodedImage> image;
        std::exception_ptr failure;
        bool cached = false;
        bool taken = false;
    };
    void DecodeAll(unsigned threads, DecodedImageCache* cache);

    std::vector<Entry> entries_;
};
