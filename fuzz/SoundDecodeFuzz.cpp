// Sound decoding from bytes through libsndfile's virtual I/O, then the mono downmix the
// positional voices use.
#include "game/SoundDecoder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DecodedSound sound;
    if (!DecodeSound(data, size, sound))
        return 0;
    // What the mixer relies on: whole frames of a channel count and rate it can play.
    if (sound.channels < 1 || sound.sampleRate < 1 || sound.samples.size() % static_cast<size_t>(sound.channels)) {
        std::fprintf(stderr, "sound_decode: %d channels, %d Hz, %zu samples\n", sound.channels, sound.sampleRate,
                     sound.samples.size());
        std::abort();
    }
    DownmixToMono(sound);
    return 0;
}
