#include "game/SoundManager.h"

#include "assets/AssetPack.h"

#include <stdexcept>
#include <vector>

SoundManager* soundManager = nullptr;

namespace {
// A small table to start; it grows while the scene loads its sixteen sounds, never during play.
constexpr size_t InitialBuckets = 8;

const char* const PlayMissing = "ATTEMPTING TO PLAY A SOUND THAT DOES NOT EXISTS";
const char* const GetMissing = "ATTEMPTING TO GET A SOUND SOURCE THAT DOES NOT EXISTS";

// The zombies' groans, swings and deaths and the player's cry of pain are voices.
bool IsVoice(std::string_view name)
{
    return name.starts_with("Zombie") || name == "PlayerHit";
}
} // namespace

SoundManager::SoundManager() : SoundManager(createSoundEngine()) {}

SoundManager::SoundManager(ISoundEngine* engine) : engine(engine), soundTable(InitialBuckets)
{
    soundTable.max_load_factor(1.0f);
}

SoundManager::~SoundManager()
{
    engine.reset();
    soundTable.clear();
    entries.clear();
    // The scene publishes the pointer; a destroyed manager must not stay reachable through it.
    if (soundManager == this)
        soundManager = nullptr;
}

void SoundManager::LoadSound(const char* name)
{
    const std::vector<char> bytes = LoadAsset(name);
    ISoundSource* source = engine->addSoundSourceFromMemory(bytes.data(), bytes.size(), name, true);
    Entry entry{source, 1.0f, IsVoice(name)};
    // A fresh source already plays at its authored level unless the player turned its kind down.
    if (source != nullptr && (entry.voice ? voicesVolume : effectsVolume) != 1.0f)
        ApplyVolume(entry);
    // A reload takes the name's old slot, so ids handed out before stay valid.
    const auto [slot, added] = soundTable.try_emplace(std::string(name), static_cast<uint32_t>(entries.size()));
    if (added)
        entries.push_back(entry);
    else
        entries[slot->second] = entry;
    if (source == nullptr)
        throw std::runtime_error("Failed to add sound source for asset");

    if (warmUpPending) {
        ISound* sound = PlaySound3D(name, glm::vec3(0.0f), true);
        // An engine out of handles returns none; the warm-up is then simply skipped.
        if (sound != nullptr) {
            sound->setVolume(0.0f);
            sound->setIsPaused(false);
            sound->stop();
            sound->drop();
        }
        warmUpPending = false;
    }
}

uint32_t SoundManager::IndexOf(const char* name, const char* missingMessage) const
{
    const auto it = soundTable.find(std::string_view(name));
    if (it == soundTable.end())
        throw std::runtime_error(missingMessage);
    return it->second;
}

SoundManager::Entry& SoundManager::EntryOf(SoundId sound, const char* missingMessage)
{
    if (sound.index >= entries.size())
        throw std::runtime_error(missingMessage);
    return entries[sound.index];
}

SoundId SoundManager::Resolve(const char* name) const
{
    return SoundId{IndexOf(name, PlayMissing)};
}

void SoundManager::ApplyVolume(Entry& entry) const
{
    entry.source->setDefaultVolume(entry.authoredVolume * (entry.voice ? voicesVolume : effectsVolume));
}

void SoundManager::SetAuthoredVolume(const char* name, float volume)
{
    Entry& entry = entries[IndexOf(name, GetMissing)];
    entry.authoredVolume = volume;
    if (entry.source)
        ApplyVolume(entry);
}

void SoundManager::SetVolumes(float master, float effects, float voices)
{
    effectsVolume = effects;
    voicesVolume = voices;
    for (Entry& entry : entries)
        if (entry.source)
            ApplyVolume(entry);
    engine->setSoundVolume(master);
}

ISound* SoundManager::PlaySound3D(SoundId sound, const glm::vec3& position, bool startPaused)
{
    return engine->play3D(EntryOf(sound, PlayMissing).source, position, false, startPaused, false);
}

void SoundManager::PlaySound2D(SoundId sound)
{
    engine->play2D(EntryOf(sound, PlayMissing).source, false, false, false);
}

ISound* SoundManager::PlaySound3D(const char* name, const glm::vec3& position, bool startPaused)
{
    return PlaySound3D(Resolve(name), position, startPaused);
}

void SoundManager::PlaySound2D(const char* name)
{
    PlaySound2D(Resolve(name));
}

ISoundSource* SoundManager::GetSoundSource(const char* name)
{
    return entries[IndexOf(name, GetMissing)].source;
}

void SoundManager::UpdateListener(const glm::vec3& position, const glm::vec3& lookDirection, const glm::vec3& up)
{
    engine->update();
    engine->setListenerPosition(position, lookDirection, glm::vec3(0.0f), up);
}

void SoundManager::SetPaused(bool paused)
{
    engine->setAllSoundsPaused(paused);
}
