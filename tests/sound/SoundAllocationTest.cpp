// Playing sounds must not allocate: the game keeps its frames free of heap traffic. This binary
// replaces the global allocation operators to count what happens while a counter is armed.
#include "game/SoundEngine.h"
#include "game/SoundManager.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* Allocate(size_t size)
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

// Counts the allocations made while it lives.
class AllocationCounter {
public:
    AllocationCounter()
    {
        allocations = 0;
        counting = true;
    }
    ~AllocationCounter() { counting = false; }
    long Stop()
    {
        counting = false;
        return allocations;
    }
};
} // namespace

void* operator new(size_t size)
{
    return Allocate(size);
}
void* operator new[](size_t size)
{
    return Allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept
{
    std::free(p);
}

TEST(SoundAllocation, CounterSeesAllocations)
{
    AllocationCounter counter;
    auto* probe = new std::string(100, 'x');
    delete probe;
    EXPECT_EQ(counter.Stop(), 2);
}

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
    EXPECT_EQ(counter.Stop(), 0);
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
    EXPECT_EQ(counter.Stop(), 0);
}
