#include "game/SoundEngine.h"

#include <algorithm>

ISoundEngine* createSoundEngine(const char* deviceName)
{
    return new SoundEngine(deviceName);
}

SoundEngine::SoundEngine(const char* deviceName)
{
    if (!OpenDevice(deviceName))
        CloseDevice();
}

SoundEngine::~SoundEngine()
{
    CloseDevice();
    sources.clear();
}

bool SoundEngine::OpenDevice(const char* deviceName)
{
    device = alcOpenDevice(deviceName);
    if (device == nullptr)
        return false;
    context = alcCreateContext(device, nullptr);
    if (context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE)
        return false;

    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    alGetError();
    voiceIds.reserve(MaxVoices);
    for (size_t i = 0; i < MaxVoices; ++i) {
        ALuint id = 0;
        alGenSources(1, &id);
        // A device with fewer sources still plays, with fewer voices.
        if (alGetError() != AL_NO_ERROR)
            break;
        alSourcef(id, AL_REFERENCE_DISTANCE, ReferenceDistance);
        alSourcef(id, AL_MAX_DISTANCE, MaxDistance);
        alSourcef(id, AL_MAX_GAIN, MaxVoiceGain);
        voiceIds.push_back(id);
    }
    voices = SoundVoicePool(voiceIds.size());
    heldByPause.assign(voiceIds.size(), 0);
    return !voiceIds.empty();
}

// Safe on a half-opened device; sources must go first, as the mixer refuses to delete buffers
// that a source still holds.
void SoundEngine::CloseDevice()
{
    if (context != nullptr) {
        alcMakeContextCurrent(context);
        for (ALuint id : voiceIds) {
            alSourceStop(id);
            alSourcei(id, AL_BUFFER, 0);
        }
        if (!voiceIds.empty())
            alDeleteSources(static_cast<ALsizei>(voiceIds.size()), voiceIds.data());
        for (auto& source : sources)
            source.reset();
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        context = nullptr;
    }
    if (device != nullptr) {
        alcCloseDevice(device);
        device = nullptr;
    }
    voiceIds.clear();
    heldByPause.clear();
    voices = SoundVoicePool();
}

// Several engines may live at once (a new scene's before the old one's last reference goes), so
// each call makes its own context current.
bool SoundEngine::MakeCurrent() const
{
    if (context == nullptr)
        return false;
    if (alcGetCurrentContext() != context)
        alcMakeContextCurrent(context);
    return true;
}

bool SoundEngine::drop()
{
    if (--refCount > 0)
        return false;
    delete this;
    return true;
}

ISoundSource* SoundEngine::addSoundSourceFromMemory(const void* memory, size_t sizeInBytes, const char* name, bool)
{
    DecodedSound decoded;
    if (!DecodeSound(memory, sizeInBytes, decoded))
        return nullptr;
    const bool withMixer = MakeCurrent();
    sources.push_back(std::make_unique<SoundSource>(name, decoded, withMixer));
    return sources.back().get();
}

ISound* SoundEngine::play2D(ISoundSource* source, bool playLooped, bool startPaused, bool track)
{
    return Play(source, nullptr, playLooped, startPaused, track);
}

ISound* SoundEngine::play3D(ISoundSource* source, const glm::vec3& position, bool playLooped, bool startPaused,
                            bool track)
{
    return Play(source, &position, playLooped, startPaused, track);
}

ISound* SoundEngine::Play(ISoundSource* base, const glm::vec3* position, bool looped, bool startPaused, bool track)
{
    if (base == nullptr || (allPaused && !startPaused))
        return nullptr;
    // Every source comes from addSoundSourceFromMemory.
    const SoundSource* source = static_cast<const SoundSource*>(base);
    const bool wantsHandle = startPaused || track;
    PlayingSound* handle = wantsHandle ? FreeHandle() : nullptr;
    if (wantsHandle && handle == nullptr)
        return nullptr;
    const float volume = source->getDefaultVolume();

    if (!MakeCurrent()) {
        if (handle)
            handle->Attach(this, -1, 0, volume, startPaused);
        return handle;
    }

    if (!voices.HasFree())
        ReclaimFinished();
    const int voice = voices.Acquire(wantsHandle);
    if (voice < 0)
        return nullptr;

    const ALuint id = voiceIds[static_cast<size_t>(voice)];
    // The voice may have been taken from an older sound: stopped, then rewound, as a stopped
    // voice would ignore its handle's resume.
    alSourceStop(id);
    alSourceRewind(id);
    heldByPause[static_cast<size_t>(voice)] = 0; // the game's resume is for the older sound only
    alSourcei(id, AL_BUFFER, static_cast<ALint>(position ? source->Buffer3D() : source->Buffer2D()));
    alSourcei(id, AL_LOOPING, looped ? AL_TRUE : AL_FALSE);
    alSourcef(id, AL_GAIN, volume);
    if (position) {
        alSourcei(id, AL_SOURCE_RELATIVE, AL_FALSE);
        alSource3f(id, AL_POSITION, position->x, position->y, position->z);
        alSourcef(id, AL_ROLLOFF_FACTOR, RolloffFactor);
    } else {
        // Pinned to the listener and never attenuated.
        alSourcei(id, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(id, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcef(id, AL_ROLLOFF_FACTOR, 0.0f);
    }
    if (!startPaused)
        alSourcePlay(id);
    if (handle)
        handle->Attach(this, voice, voices.Generation(voice), volume, startPaused);
    return handle;
}

PlayingSound* SoundEngine::FreeHandle()
{
    for (PlayingSound& handle : handles)
        if (!handle.InUse())
            return &handle;
    return nullptr;
}

ALint SoundEngine::VoiceState(int voice) const
{
    ALint state = AL_STOPPED;
    alGetSourcei(voiceIds[static_cast<size_t>(voice)], AL_SOURCE_STATE, &state);
    return state;
}

void SoundEngine::ReclaimFinished()
{
    for (size_t i = 0; i < voiceIds.size(); ++i) {
        const int voice = static_cast<int>(i);
        // A voice set up paused stays AL_INITIAL until it is resumed; only AL_STOPPED has ended.
        if (voices.IsBusy(voice) && VoiceState(voice) == AL_STOPPED)
            voices.Release(voice);
    }
}

void SoundEngine::setAllSoundsPaused(bool paused)
{
    allPaused = paused;
    if (!MakeCurrent())
        return;
    for (size_t i = 0; i < voiceIds.size(); ++i) {
        const int voice = static_cast<int>(i);
        if (paused && voices.IsBusy(voice) && VoiceState(voice) == AL_PLAYING) {
            alSourcePause(voiceIds[i]);
            heldByPause[i] = 1;
        } else if (!paused && heldByPause[i]) {
            if (VoiceState(voice) == AL_PAUSED)
                alSourcePlay(voiceIds[i]);
            heldByPause[i] = 0;
        }
    }
}

void SoundEngine::setSoundVolume(float volume)
{
    // The listener's gain scales every voice, those already playing too.
    if (MakeCurrent())
        alListenerf(AL_GAIN, std::clamp(volume, 0.0f, 1.0f));
}

void SoundEngine::update()
{
    if (MakeCurrent())
        ReclaimFinished();
}

void SoundEngine::setListenerPosition(const glm::vec3& position, const glm::vec3& lookDirection,
                                      const glm::vec3& velocity, const glm::vec3& up)
{
    if (!MakeCurrent())
        return;
    alListener3f(AL_POSITION, position.x, position.y, position.z);
    alListener3f(AL_VELOCITY, velocity.x, velocity.y, velocity.z);
    // OpenAL's right is at × up; ours is up × look, so its up is the negation of ours.
    const ALfloat orientation[6] = {lookDirection.x, lookDirection.y, lookDirection.z, -up.x, -up.y, -up.z};
    alListenerfv(AL_ORIENTATION, orientation);
}

bool SoundEngine::IsLive(int voice, uint32_t generation) const
{
    return voice >= 0 && voices.IsCurrent(voice, generation) && MakeCurrent();
}

void SoundEngine::SetVoiceVolume(int voice, uint32_t generation, float volume)
{
    if (IsLive(voice, generation))
        alSourcef(voiceIds[static_cast<size_t>(voice)], AL_GAIN, volume);
}

void SoundEngine::SetVoicePaused(int voice, uint32_t generation, bool paused)
{
    if (!IsLive(voice, generation))
        return;
    const ALuint id = voiceIds[static_cast<size_t>(voice)];
    const ALint state = VoiceState(voice);
    if (paused && state == AL_PLAYING)
        alSourcePause(id);
    else if (!paused && (state == AL_PAUSED || state == AL_INITIAL))
        alSourcePlay(id);
}

void SoundEngine::StopVoice(int voice, uint32_t generation)
{
    if (!IsLive(voice, generation))
        return;
    alSourceStop(voiceIds[static_cast<size_t>(voice)]);
    voices.Release(voice);
}

bool SoundEngine::IsVoiceFinished(int voice, uint32_t generation) const
{
    return !IsLive(voice, generation) || VoiceState(voice) == AL_STOPPED;
}

void SoundEngine::ReleaseHandle(int voice, uint32_t generation)
{
    if (voice >= 0)
        voices.Untrack(voice, generation);
}
