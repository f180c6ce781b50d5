// The game's one sound service: owns the sound engine and a table from sound name to source.
// Sounds are loaded once, while the scene is built, and their names resolved to ids then; the
// frame plays them by id.
#pragma once

#include "game/ISoundEngine.h"
#include "game/SoundId.h"

#include <glm/vec3.hpp>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class SoundManager {
public:
    // Creates the engine on the system's default output device (silent without one).
    SoundManager();
    // Takes over the caller's reference to `engine`.
    explicit SoundManager(ISoundEngine* engine);
    // Releases the engine reference, then empties the table.
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // Reads the asset `name` from the pack and adds it as a source under that name, replacing an
    // earlier entry. Throws std::runtime_error "Failed to add sound source for asset" when the
    // engine cannot decode it (the entry is then stored as null). The first sound loaded is
    // also played once, silently, so the engine's first audible play does not pay for start-up.
    void LoadSound(const char* name);

    // The id under which `name` plays, for the whole life of this manager (a reload of the name
    // keeps it). Throws std::runtime_error "ATTEMPTING TO PLAY A SOUND THAT DOES NOT EXISTS" for a
    // name never loaded, so a sound the game asks for but never loads fails while it is built.
    SoundId Resolve(const char* name) const;

    // Fire-and-forget plays; `startPaused` returns a handle the caller must drop. Throw
    // std::runtime_error "ATTEMPTING TO PLAY A SOUND THAT DOES NOT EXISTS" for an unresolved id.
    ISound* PlaySound3D(SoundId sound, const glm::vec3& position, bool startPaused);
    void PlaySound2D(SoundId sound);
    // The same by name, for tools and tests: a look-up per call, kept out of the frame.
    ISound* PlaySound3D(const char* name, const glm::vec3& position, bool startPaused);
    void PlaySound2D(const char* name);

    // Throws std::runtime_error "ATTEMPTING TO GET A SOUND SOURCE THAT DOES NOT EXISTS" for a name
    // never loaded; null for a name whose load failed.
    ISoundSource* GetSoundSource(const char* name);

    // Once per frame: advances the engine, then puts the listener at `position`. `up` is
    // normalise(look × right) of the camera (see ISoundEngine::setListenerPosition).
    void UpdateListener(const glm::vec3& position, const glm::vec3& lookDirection, const glm::vec3& up);

    // The level a sound was mixed for, before the player's volumes: the loudest game sounds ask
    // for more than the default 1. Throws as GetSoundSource for a name never loaded.
    void SetAuthoredVolume(const char* name, float volume);
    // The player's volumes, each 0 to 1: master scales everything at once, sounds playing
    // included; voices (the zombies' and the player's cries) and effects (the rest) scale the
    // sounds started from now on.
    void SetVolumes(float master, float effects, float voices);

    // Pauses every playing sound, 2D and 3D, and refuses new ones until resumed; resuming
    // continues each paused sound where it stopped.
    void SetPaused(bool paused);

    bool IsWarmUpPending() const { return warmUpPending; }

private:
    // Looks names up by their characters, without building a std::string per call.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    struct Entry {
        ISoundSource* source = nullptr;
        float authoredVolume = 1.0f;
        bool voice = false; // a cry rather than an effect
    };
    using NameTable = std::unordered_map<std::string, uint32_t, NameHash, std::equal_to<>>;

    // Throw std::runtime_error(missingMessage) when `name` was never loaded or `sound` is not an
    // id of this manager.
    uint32_t IndexOf(const char* name, const char* missingMessage) const;
    Entry& EntryOf(SoundId sound, const char* missingMessage);
    void ApplyVolume(Entry& entry) const;

    struct EngineRelease {
        void operator()(ISoundEngine* engine) const { engine->drop(); }
    };
    // The one reference the manager holds; first, so a table that fails to build still gives it back.
    std::unique_ptr<ISoundEngine, EngineRelease> engine;
    NameTable soundTable;       // name to index in `entries`
    std::vector<Entry> entries; // in load order; a SoundId indexes it
    bool warmUpPending = true;
    float effectsVolume = 1.0f;
    float voicesVolume = 1.0f;
};

// The scene's sound manager while a scene exists; null otherwise.
extern SoundManager* soundManager;
