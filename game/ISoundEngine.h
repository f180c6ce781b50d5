// The game's sound engine: shared sources loaded from memory, fire-and-forget or tracked 2D and
// 3D plays, and one listener. Reference counted: the creator holds one reference and drop()s it.
#pragma once

#include "game/ISound.h"
#include "game/ISoundSource.h"

#include <glm/vec3.hpp>

#include <cstddef>

class ISoundEngine {
public:
    virtual void grab() = 0;
    // Releases one reference; returns true when that was the last and the engine is gone.
    virtual bool drop() = 0;

    // Decodes `memory` into a new source named `name`. Returns null when the bytes cannot be
    // decoded. A second source under a name already in use is a new, separate source. The data
    // is decoded before the call returns, so the engine never keeps the caller's memory,
    // whichever `copyMemory` says.
    virtual ISoundSource* addSoundSourceFromMemory(const void* memory, size_t sizeInBytes, const char* name,
                                                   bool copyMemory = true) = 0;

    // Plays `source` unpositioned at full level. Returns a handle only when `startPaused` or
    // `track` is set (null otherwise, and null when no handle or voice is free).
    virtual ISound* play2D(ISoundSource* source, bool playLooped = false, bool startPaused = false,
                           bool track = false) = 0;
    // Plays `source` at a world position, attenuated and panned relative to the listener.
    virtual ISound* play3D(ISoundSource* source, const glm::vec3& position, bool playLooped = false,
                           bool startPaused = false, bool track = false) = 0;

    // Pauses (true) every sound that is playing, or resumes (false) exactly those. While paused,
    // plays that would start at once start nothing and return null; paused starts still work.
    virtual void setAllSoundsPaused(bool paused) = 0;

    // The level of everything the engine plays, 0 (silent) to 1 (as mixed), playing sounds included.
    virtual void setSoundVolume(float volume) = 0;

    // Once per frame: reclaims the voices of sounds that have played out.
    virtual void update() = 0;
    // Places the listener. `up` follows the convention of the scene's camera: the listener's right
    // is up × lookDirection, which is what normalise(look × right) gives.
    virtual void setListenerPosition(const glm::vec3& position, const glm::vec3& lookDirection,
                                     const glm::vec3& velocity, const glm::vec3& up) = 0;

protected:
    virtual ~ISoundEngine() = default;
};

// Opens the named output device (null: the system's default). Without a usable device the engine
// is silent: sources still load and decode, every other call does nothing. Never returns null.
ISoundEngine* createSoundEngine(const char* deviceName = nullptr);
