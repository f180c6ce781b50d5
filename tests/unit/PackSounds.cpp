#include "PackSounds.h"

#include "assets/AssetPack.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace packsounds {
namespace {

// libsndfile reading straight from the asset's bytes, as a loader without files would.
struct MemoryFile {
    const std::vector<char>* bytes;
    sf_count_t position = 0;
};

sf_count_t Length(void* user)
{
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes->size());
}

sf_count_t Seek(sf_count_t offset, int whence, void* user)
{
    auto* f = static_cast<MemoryFile*>(user);
    const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f->position : Length(user);
    f->position = std::clamp<sf_count_t>(base + offset, 0, Length(user));
    return f->position;
}

sf_count_t Read(void* out, sf_count_t count, void* user)
{
    auto* f = static_cast<MemoryFile*>(user);
    const sf_count_t n = std::min(count, Length(user) - f->position);
    std::memcpy(out, f->bytes->data() + f->position, static_cast<std::size_t>(n));
    f->position += n;
    return n;
}

sf_count_t Write(const void*, sf_count_t, void*)
{
    return 0;
}
sf_count_t Tell(void* user)
{
    return static_cast<MemoryFile*>(user)->position;
}

Decoded Decode(const std::vector<char>& bytes)
{
    SF_VIRTUAL_IO io{Length, Seek, Read, Write, Tell};
    MemoryFile file{&bytes};
    SF_INFO info{};
    Decoded sound;
    SNDFILE* sf = sf_open_virtual(&io, SFM_READ, &info, &file);
    if (sf == nullptr) {
        ADD_FAILURE() << "libsndfile cannot decode it: " << sf_strerror(nullptr);
        return sound;
    }
    sound.format = info.format;
    sound.channels = info.channels;
    sound.sampleRate = info.samplerate;
    sound.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t read = sf_readf_float(sf, sound.samples.data(), info.frames);
    EXPECT_EQ(read, info.frames);
    sf_close(sf);
    return sound;
}

} // namespace

const Decoded& Sound(const std::string& name)
{
    static const std::map<std::string, Decoded> sounds = [] {
        std::map<std::string, Decoded> m;
        for (const std::string& n : Names) {
            m[n] = Decode(LoadAsset(n.c_str()));
        }
        return m;
    }();
    return sounds.at(name);
}

} // namespace packsounds
