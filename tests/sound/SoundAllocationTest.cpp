// Playing sounds must not allocate: the game keeps its frames free of heap traffic. This binary
// links the game's global allocation operator, which counts every allocation.
#include "app/AllocationCounter.h"
#include "game/SoundEngine.h"
#include "game/SoundManager.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {
// The allocations made since it was made.
class AllocationCounter {
public:
    uint64_t Stop() const { return AllocationCount() - start; }

private:
    uint64_t start = AllocationCount();
};
} // namespace

TEST(SoundAllocation, EnginePlaysAllocateNothing)
{
    SoundEngine* engine = static_cast<SoundEngine*>(createSoundEngine());
    ASSERT_TRUE(engine->HasDevice());
    const std::string shortBytes = soundtest::MakeTone(0.02f), longBytes = soundtest::MakeTone(2.0f, 0.25f, 2);
    ISoundSource* blip = engine->addSoundSourceFromMemory(shortBytes.data(), shortBytes.size(), "Blip");
    ISoundSource* groan = engine->addSoundSourceFromMemory(longBytes.data(), longBytes.size(), "Groan");

    AllocationCounter counter;
    for (int frame = 0; frame < 300; ++frame) {
        engine->update();
        engine->setListenerPosition(glm::vec3(float(frame)), glm::vec3(0, 0, -1), glm::vec3(0.0f), glm::vec3(0, -1, 0));
        // More plays per frame than voices, so voices are taken over all the time.
        for (int i = 0; i < 40; ++i)
            engine->play3D(i % 2 ? blip : groan, glm::vec3(float(i), 0.0f, -3.0f));
        engine->play2D(groan);
        ISound* sound = engine->play3D(groan, glm::vec3(0.0f), false, true);
        ASSERT_NE(sound, nullptr);
        sound->setVolume(0.0f);
        sound->setIsPaused(false);
        sound->stop();
        sound->drop();
    }
    EXPECT_EQ(counter.Stop(), 0u);
    engine->drop();
}

TEST(SoundAllocation, ManagerPlaysByNameAllocateNothing)
{
    // Every sound the game loads, under its own name.
    const char* const names[] = {"GunShot",       "Bubbling",      "PlayerHit",     "ZombieAttack2",
                                 "ZombieNormal1", "ZombieNormal2", "ZombieNormal3", "ZombieDeath1",
                                 "ZombieDeath2",  "RoundChange",   "BulletExplode", "Burning",
                                 "Walk1",         "Walk2",         "Walk3",         "Walk4"};
    TempWorkDir dir;
    std::vector<std::pair<std::string, std::string>> assets;
    for (const char* name : names)
        assets.emplace_back(name, soundtest::MakeTone(0.1f));
    soundtest::WriteSoundPack(dir.Path(), assets);
    SoundManager manager;
    for (const char* name : names)
        manager.LoadSound(name);
    manager.GetSoundSource("Burning")->setDefaultVolume(2.0f);

    AllocationCounter counter;
    for (int frame = 0; frame < 200; ++frame) {
        manager.UpdateListener(glm::vec3(float(frame), 0.0f, 0.0f), glm::vec3(0, 0, -1), glm::vec3(0, -1, 0));
        for (const char* name : names)
            manager.PlaySound3D(name, glm::vec3(float(frame % 34), 0.0f, 3.0f), false);
        manager.PlaySound2D("RoundChange");
    }
    EXPECT_EQ(counter.Stop(), 0u);
}
