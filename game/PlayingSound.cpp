#include "game/PlayingSound.h"

#include "game/SoundEngine.h"

#include <cmath>

void PlayingSound::Attach(SoundEngine* engine, int voiceIndex, uint32_t voiceGeneration, float startVolume,
                          bool startPaused)
{
    // Held until drop(), so a handle never outlives the engine it names.
    engine->grab();
    owner = engine;
    voice = voiceIndex;
    generation = voiceGeneration;
    volume = startVolume;
    paused = startPaused;
}

void PlayingSound::setVolume(float newVolume)
{
    // The mixer refuses NaN and negative gains, which would leave the previous level in place.
    volume = std::isfinite(newVolume) && newVolume > 0.0f ? newVolume : 0.0f;
    if (owner)
        owner->SetVoiceVolume(voice, generation, volume);
}

void PlayingSound::setIsPaused(bool pause)
{
    if (!owner)
        return;
    paused = pause;
    owner->SetVoicePaused(voice, generation, pause);
}

void PlayingSound::stop()
{
    if (owner)
        owner->StopVoice(voice, generation);
}

bool PlayingSound::isFinished() const
{
    return !owner || owner->IsVoiceFinished(voice, generation);
}

void PlayingSound::drop()
{
    if (!owner)
        return;
    SoundEngine* engine = owner;
    engine->ReleaseHandle(voice, generation);
    owner = nullptr;
    voice = -1;
    engine->drop(); // may close the engine, and this handle with it: nothing follows
}
