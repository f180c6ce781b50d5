// Decodes encoded sound files held in memory (WAV and the other formats libsndfile reads) into
// interleaved 16-bit PCM, the format the mixer's buffers take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct DecodedSound {
    int channels = 0;
    int sampleRate = 0;
    std::vector<int16_t> samples; // interleaved, channels × frames values

    size_t Frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

// Returns false for bytes libsndfile does not recognise, unusable headers and files without a
// single frame; `out` is then left empty.
bool DecodeSound(const void* memory, size_t size, DecodedSound& out);

// Averages the channels of every frame into one.
std::vector<int16_t> DownmixToMono(const DecodedSound& sound);
