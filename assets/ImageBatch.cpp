#include "assets/ImageBatch.h"

#include "assets/AssetPack.h"
#include "assets/DecodedImageCache.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

ImageBatch::ImageBatch(const std::vector<std::string>& assetNames, unsigned threads, DecodedImageCache* cache)
{
    entries_.resize(assetNames.size());
    for (size_t i = 0; i < assetNames.size(); ++i)
        entries_[i].name = assetNames[i];
    DecodeAll(threads == 0 ? std::max(1u, std::thread::hardware_concurrency()) : threads, cache);
}

void ImageBatch::DecodeAll(unsigned threads, DecodedImageCache* cache)
{
    // The workers start on the first images while this thread reads the later ones from the
    // pack; then it decodes too. Each thread takes the next image not yet started, so a large
    // image does not hold up a share of small ones.
    std::mutex readLock;
    std::condition_variable readMore;
    size_t read = 0; // entries below this have their bytes, or their failure
    std::atomic<size_t> next{0};
    auto decode = [&] {
        for (size_t i = next++; i < entries_.size(); i = next++) {
            {
                std::unique_lock<std::mutex> lock(readLock);
                readMore.wait(lock, [&] { return read > i; });
            }
            Entry& entry = entries_[i];
            if (entry.failure || entry.cached)
                continue;
            try {
                entry.image = std::make_shared<const DecodedImage>(DecodeTextureImage(entry.bytes));
            } catch (...) {
                entry.failure = std::current_exception();
            }
            if (!cache)
                entry.bytes = {};
        }
    };

    const size_t helpers = entries_.empty() ? 0 : std::min<size_t>(threads, entries_.size()) - 1;
    std::vector<std::thread> workers;
    workers.reserve(helpers);
    try {
        for (size_t i = 0; i < helpers; ++i)
            workers.emplace_back(decode);
    } catch (...) {
        // No thread to spare: the ones started and this one do the work.
    }
    for (size_t i = 0; i < entries_.size(); ++i) {
        Entry& entry = entries_[i];
        try {
            entry.bytes = LoadAsset(entry.name.c_str());
            if (cache && (entry.image = cache->Find(entry.name, entry.bytes))) {
                entry.cached = true;
                entry.bytes = {}; // freed at once: a restart holds one asset's bytes at a time
            }
        } catch (...) {
            entry.failure = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> lock(readLock);
            read = i + 1;
        }
        readMore.notify_all();
    }
    decode();
    for (std::thread& worker : workers)
        worker.join();

    if (cache)
        for (Entry& entry : entries_)
            if (entry.image && !entry.cached)
                cache->Store(entry.name, std::move(entry.bytes), entry.image);
    for (Entry& entry : entries_)
        entry.bytes = {};
}

std::shared_ptr<const DecodedImage> ImageBatch::Take(const std::string& assetName)
{
    for (Entry& entry : entries_) {
        if (entry.taken || entry.name != assetName)
            continue;
        entry.taken = true;
        if (entry.failure)
            std::rethrow_exception(entry.failure);
        return std::move(entry.image);
    }
    throw std::logic_error("no image for " + assetName + " in this batch");
}
