// Sound files made on the spot for the sound tests (encoded in memory with libsndfile), and a
// pack in the working directory that holds them under asset names.
#pragma once

#include "tools/pack/PackWriter.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace soundtest {

// Growable in-memory file for libsndfile's virtual I/O.
struct MemoryFile {
    std::string bytes;
    sf_count_t position = 0;

    static sf_count_t Length(void* user) { return static_cast<sf_count_t>(Self(user).bytes.size()); }
    static sf_count_t Seek(sf_count_t offset, int whence, void* user)
    {
        MemoryFile& f = Self(user);
        const sf_count_t base = whence == SEEK_CUR ? f.position : whence == SEEK_END ? Length(user) : 0;
        f.position = std::max<sf_count_t>(0, base + offset);
        return f.position;
    }
    static sf_count_t Read(void* out, sf_count_t count, void* user)
    {
        MemoryFile& f = Self(user);
        const sf_count_t n = std::clamp<sf_count_t>(Length(user) - f.position, 0, count);
        std::memcpy(out, f.bytes.data() + f.position, static_cast<size_t>(n));
        f.position += n;
        return n;
    }
    static sf_count_t Write(const void* in, sf_count_t count, void* user)
    {
        MemoryFile& f = Self(user);
        const size_t end = static_cast<size_t>(f.position + count);
        if (f.bytes.size() < end)
            f.bytes.resize(end);
        std::memcpy(f.bytes.data() + f.position, in, static_cast<size_t>(count));
        f.position += count;
        return count;
    }
    static sf_count_t Tell(void* user) { return Self(user).position; }
    static MemoryFile& Self(void* user) { return *static_cast<MemoryFile*>(user); }
};

// Encodes `frames` frames whose samples `sample(frame, channel)` gives in [-1, 1].
inline std::string MakeSoundFile(int channels, int sampleRate, int frames, const std::function<float(int, int)>& sample,
                                 int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16)
{
    MemoryFile file;
    SF_VIRTUAL_IO io{MemoryFile::Length, MemoryFile::Seek, MemoryFile::Read, MemoryFile::Write, MemoryFile::Tell};
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = format;
    SNDFILE* sf = sf_open_virtual(&io, SFM_WRITE, &info, &file);
    if (sf == nullptr)
        return {};
    std::vector<float> data(static_cast<size_t>(frames) * static_cast<size_t>(channels));
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            data[static_cast<size_t>(f * channels + c)] = sample(f, c);
    sf_writef_float(sf, data.data(), frames);
    sf_close(sf);
    return file.bytes;
}

// A sine tone, the same on every channel.
inline std::string MakeTone(float seconds, float amplitude = 0.25f, int channels = 1, int sampleRate = 22050,
                            float frequency = 440.0f)
{
    const int frames = static_cast<int>(seconds * static_cast<float>(sampleRate));
    return MakeSoundFile(channels, sampleRate, frames, [=](int f, int) {
        return amplitude * std::sin(6.2831853f * frequency * static_cast<float>(f) / static_cast<float>(sampleRate));
    });
}

// Writes Assets.bin and AssetsOffsets.bin into `dir` with each (name, bytes) pair as one asset.
inline void WriteSoundPack(const std::filesystem::path& dir,
                           const std::vector<std::pair<std::string, std::string>>& assets)
{
    std::vector<PackEntry> entries;
    for (size_t i = 0; i < assets.size(); ++i) {
        const std::filesystem::path file = dir / ("asset" + std::to_string(i) + ".bin");
        std::ofstream(file, std::ios::binary | std::ios::trunc) << assets[i].second;
        entries.push_back({assets[i].first, file.string()});
    }
    WritePack(entries, (dir / "Assets.bin").string(), (dir / "AssetsOffsets.bin").string());
}

} // namespace soundtest
