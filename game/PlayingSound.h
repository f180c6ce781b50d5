// A handle from the engine's fixed pool, naming one voice and the play it started. Once the
// voice moves on to another sound the handle goes stale and its calls do nothing. A handle in use
// holds a reference on its engine, which closes only once every handle is dropped.
#pragma once

#include "game/ISound.h"

#include <cstdint>

class SoundEngine;

class PlayingSound final : public ISound {
public:
    PlayingSound() = default;
    PlayingSound(const PlayingSound&) = delete;
    PlayingSound& operator=(const PlayingSound&) = delete;

    void setVolume(float volume) override;
    float getVolume() const override { return volume; }
    void setIsPaused(bool paused = true) override;
    bool getIsPaused() const override { return paused; }
    void stop() override;
    bool isFinished() const override;
    void drop() override;

    // Engine side: hands the handle out for `voice` (-1 on a silent engine), grabbing `owner`.
    void Attach(SoundEngine* owner, int voice, uint32_t generation, float volume, bool paused);
    bool InUse() const { return owner != nullptr; }
    int Voice() const { return voice; }
    uint32_t Generation() const { return generation; }

private:
    SoundEngine* owner = nullptr; // null while the handle sits in the pool
    int voice = -1;
    uint32_t generation = 0;
    float volume = 1.0f;
    bool paused = false;
};
