// The sound engine over OpenAL Soft: one device and context, a fixed set of voices shared by all
// plays, sources decoded at load time, and a fixed pool of handles for tracked plays. Nothing is
// allocated after the sources are loaded.
#pragma once

#include "game/ISoundEngine.h"
#include "game/PlayingSound.h"
#include "game/SoundSource.h"
#include "game/SoundVoicePool.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <array>
#include <memory>
#include <vector>

class SoundEngine final : public ISoundEngine {
public:
    // Voices mixed at once: well above the sounds a round makes together (24 zombies, the
    // player's steps, shot and burst); a further play takes over the oldest voice.
    static constexpr size_t MaxVoices = 32;
    // Handles for startPaused or tracked plays; each holds a voice, so there are as many.
    static constexpr size_t MaxHandles = MaxVoices;
    // Inverse-distance attenuation, clamped: full level within the reference distance (a zombie
    // within reach), the level halving with each doubling of distance beyond it.
    static constexpr float ReferenceDistance = 3.0f;
    static constexpr float RolloffFactor = 1.0f;
    // The 34 m arena's diagonal: no sound in it reaches the clamp.
    static constexpr float MaxDistance = 48.0f;
    // Gain ceiling per voice: room above the 2.0 default volume the loudest game sounds use.
    static constexpr float MaxVoiceGain = 4.0f;

    explicit SoundEngine(const char* deviceName);
    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

    void grab() override { ++refCount; }
    bool drop() override;
    ISoundSource* addSoundSourceFromMemory(const void* memory, size_t sizeInBytes, const char* name,
                                           bool copyMemory = true) override;
    ISound* play2D(ISoundSource* source, bool playLooped = false, bool startPaused = false,
                   bool track = false) override;
    ISound* play3D(ISoundSource* source, const glm::vec3& position, bool playLooped = false, bool startPaused = false,
                   bool track = false) override;
    void setAllSoundsPaused(bool paused) override;
    void setSoundVolume(float volume) override;
    void update() override;
    void setListenerPosition(const glm::vec3& position, const glm::vec3& lookDirection, const glm::vec3& velocity,
                             const glm::vec3& up) override;

    // Voice control for the handles; a stale generation makes each a no-op.
    void SetVoiceVolume(int voice, uint32_t generation, float volume);
    void SetVoicePaused(int voice, uint32_t generation, bool paused);
    void StopVoice(int voice, uint32_t generation);
    bool IsVoiceFinished(int voice, uint32_t generation) const;
    void ReleaseHandle(int voice, uint32_t generation);

    // False for a silent engine (no device could be opened).
    bool HasDevice() const { return context != nullptr; }
    size_t VoiceCount() const { return voiceIds.size(); }
    // The mixer source behind a voice, for inspection.
    ALuint VoiceSource(int voice) const { return voiceIds[static_cast<size_t>(voice)]; }
    const SoundVoicePool& Voices() const { return voices; }

private:
    ~SoundEngine() override;

    bool OpenDevice(const char* deviceName);
    void CloseDevice();
    bool MakeCurrent() const;
    ISound* Play(ISoundSource* source, const glm::vec3* position, bool looped, bool startPaused, bool track);
    PlayingSound* FreeHandle();
    void ReclaimFinished();
    ALint VoiceState(int voice) const;
    bool IsLive(int voice, uint32_t generation) const;

    int refCount = 1;
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    std::vector<ALuint> voiceIds;
    // Voices that setAllSoundsPaused(true) paused, to be resumed with it (and no others).
    std::vector<uint8_t> heldByPause;
    bool allPaused = false;
    SoundVoicePool voices;
    std::array<PlayingSound, MaxHandles> handles;
    std::vector<std::unique_ptr<SoundSource>> sources;
};
