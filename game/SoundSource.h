// One decoded sound held by the engine: its mixer buffers (one per way of playing it) and the
// volume later plays start at.
#pragma once

#include "game/ISoundSource.h"
#include "game/SoundDecoder.h"

#include <AL/al.h>

#include <string>

class SoundSource final : public ISoundSource {
public:
    // Uploads `sound` into mixer buffers when `withMixer` is set (a current context is needed);
    // a silent engine keeps only the name and length.
    SoundSource(const char* name, const DecodedSound& sound, bool withMixer);
    ~SoundSource() override;
    SoundSource(const SoundSource&) = delete;
    SoundSource& operator=(const SoundSource&) = delete;

    const char* getName() const override { return name.c_str(); }
    void setDefaultVolume(float volume) override;
    float getDefaultVolume() const override { return defaultVolume; }
    int getPlayLength() const override { return playLengthMs; }

    // 2D plays keep the recorded channels; 3D plays need one channel, since the mixer only
    // positions mono buffers. Both are the same buffer for a mono file; 0 without a mixer.
    ALuint Buffer2D() const { return buffer2D; }
    ALuint Buffer3D() const { return buffer3D; }

private:
    std::string name;
    float defaultVolume = 1.0f;
    int playLengthMs = 0;
    ALuint buffer2D = 0;
    ALuint buffer3D = 0;
};
