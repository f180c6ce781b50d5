#include "game/SoundManager.h"

#include "assets/AssetPack.h"

#include <stdexcept>
#include <vector>

SoundManager* soundManager = nullptr;

namespace {
// A small table to start; it grows while the scene loads its sixteen sounds, never during play.
constexpr size_t InitialBuckets = 8;

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
    soundTable.insert_or_assign(std::string(name), entry);
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

ISoundSource* SoundManager::Find(const char* name, const char* missingMessage) const
{
    const auto it = soundTable.find(std::string_view(name));
    if (it == soundTable.end())
        throw std::runtime_error(missingMessage);
    return it->second.source;
}

void SoundManager::ApplyVolume(Entry& entry) const
{
    entry.source->setDefaultVolume(entry.authoredVolume * (entry.voice ? voicesVolume : effectsVolume));
}

void SoundManager::SetAuthoredVolume(const char* name, float volume)
{
    Find(name, "ATTEMPTING TO GET A SOUND SOURCE THAT DOES NOT EXISTS");
    Entry& entry = soundTable.find(std::string_view(name))->second;
    entry.authoredVolume = volume;
    if (entry.source)
        ApplyVolume(entry);
}

void SoundManager::SetVolumes(float master, float effects, float voices)
{
    effectsVolume = effects;
    voicesVolume = voices;
    for (auto& [name, entry] : soundTable)
        if (entry.source)
            ApplyVolume(entry);
    engine->setSoundVolume(master);
}

ISound* SoundManager::PlaySound3D(const char* name, const glm::vec3& position, bool startPaused)
{
    ISoundSource* source = Find(name, "ATTEMPTING TO PLAY A SOUND THAT DOES NOT EXISTS");
    return engine->play3D(source, position, false, startPaused, false);
}

void SoundManager::PlaySound2D(const char* name)
{
    ISoundSource* source = Find(name, "ATTEMPTING TO PLAY A SOUND THAT DOES NOT EXISTS");
    engine->play2D(source, false, false, false);
}

ISoundSource* SoundManager::GetSoundSource(const char* name)
{
    return Find(name, "ATTEMPTING TO GET A SOUND SOURCE THAT DOES NOT EXISTS");
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
