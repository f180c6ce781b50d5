// libsndfile reads from memory through its virtual I/O callbacks over a read-only cursor.
#include "game/SoundDecoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct MemoryCursor {
    const unsigned char* data;
    sf_count_t size;
    sf_count_t position;
};

sf_count_t Length(void* user)
{
    return static_cast<MemoryCursor*>(user)->size;
}

sf_count_t Seek(sf_count_t offset, int whence, void* user)
{
    auto* cursor = static_cast<MemoryCursor*>(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR)
        base = cursor->position;
    else if (whence == SEEK_END)
        base = cursor->size;
    const sf_count_t target = base + offset;
    if (target < 0 || target > cursor->size)
        return -1;
    cursor->position = target;
    return cursor->position;
}

sf_count_t Read(void* destination, sf_count_t count, void* user)
{
    auto* cursor = static_cast<MemoryCursor*>(user);
    const sf_count_t n = std::clamp<sf_count_t>(cursor->size - cursor->position, 0, count);
    std::memcpy(destination, cursor->data + cursor->position, static_cast<size_t>(n));
    cursor->position += n;
    return n;
}

sf_count_t Write(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t Tell(void* user)
{
    return static_cast<MemoryCursor*>(user)->position;
}

// More channels than a surround file carries, or rates outside what any sound card plays, mean a
// damaged header rather than a sound.
constexpr int MaxChannels = 8;
constexpr int MaxSampleRate = 384000;
// Ten minutes of 48 kHz stereo: far beyond any game sound, small enough (115 MB) that a damaged
// length field or a highly compressed stream cannot make us allocate gigabytes.
constexpr size_t MaxSamples = size_t(600) * 48000 * 2;
// Frames decoded per read.
constexpr sf_count_t BlockFrames = 4096;

} // namespace

bool DecodeSound(const void* memory, size_t size, DecodedSound& out)
{
    out = DecodedSound{};
    if (memory == nullptr || size == 0)
        return false;

    MemoryCursor cursor{static_cast<const unsigned char*>(memory), static_cast<sf_count_t>(size), 0};
    SF_VIRTUAL_IO io{Length, Seek, Read, Write, Tell};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &cursor);
    if (file == nullptr)
        return false;

    const bool usable =
        info.channels >= 1 && info.channels <= MaxChannels && info.samplerate >= 1 && info.samplerate <= MaxSampleRate;
    if (usable) {
        const size_t channels = static_cast<size_t>(info.channels);
        const size_t maxFrames = MaxSamples / channels;
        std::vector<int16_t> samples;
        if (info.frames > 0)
            samples.reserve(std::min(static_cast<size_t>(info.frames), maxFrames) * channels);
        // Read as normalised floats and convert here: libsndfile's own float-to-short path either
        // truncates float files to nothing or rescales them to their peak.
        std::vector<float> block(static_cast<size_t>(BlockFrames) * channels);
        size_t frames = 0;
        while (frames < maxFrames) {
            const sf_count_t want = static_cast<sf_count_t>(std::min<size_t>(BlockFrames, maxFrames - frames));
            const sf_count_t got = sf_readf_float(file, block.data(), want);
            if (got <= 0)
                break;
            for (size_t i = 0; i < static_cast<size_t>(got) * channels; ++i)
                samples.push_back(static_cast<int16_t>(std::lrint(std::clamp(block[i], -1.0f, 1.0f) * 32767.0f)));
            frames += static_cast<size_t>(got);
        }
        if (!samples.empty()) {
            out.channels = info.channels;
            out.sampleRate = info.samplerate;
            out.samples = std::move(samples);
        }
    }
    sf_close(file);
    return !out.samples.empty();
}

std::vector<int16_t> DownmixToMono(const DecodedSound& sound)
{
    const size_t frames = sound.Frames();
    std::vector<int16_t> mono(frames);
    for (size_t f = 0; f < frames; ++f) {
        int sum = 0;
        for (int c = 0; c < sound.channels; ++c)
            sum += sound.samples[f * static_cast<size_t>(sound.channels) + static_cast<size_t>(c)];
        mono[f] = static_cast<int16_t>(sum / sound.channels);
    }
    return mono;
}
