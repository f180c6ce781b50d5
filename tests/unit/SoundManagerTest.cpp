#include "game/SoundManager.h"
#include "support/RecordingSoundEngine.h"
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using Calls = std::vector<std::string>;

// What a call threw: "runtime_error: <text>", "other: <text>" for any other standard exception,
// "not an exception" for anything else, or "<none>".
template <class F> std::string ThrownBy(F&& call)
{
    try {
        call();
    } catch (const std::runtime_error& e) {
        return std::string("runtime_error: ") + e.what();
    } catch (const std::exception& e) {
        return std::string("other: ") + e.what();
    } catch (...) {
        return "not an exception";
    }
    return "<none>";
}

const char* const PlayMissing = "runtime_error: ATTEMPTING TO PLAY A SOUND THAT DOES NOT EXISTS";
const char* const GetMissing = "runtime_error: ATTEMPTING TO GET A SOUND SOURCE THAT DOES NOT EXISTS";
const char* const Undecodable = "runtime_error: Failed to add sound source for asset";

// A pack in a temporary working directory with two tones and one asset that is no sound.
class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        soundtest::WriteSoundPack(dir.Path(), {{"GunShot", soundtest::MakeTone(0.2f)},
                                               {"RoundChange", soundtest::MakeTone(0.3f, 0.25f, 2)},
                                               {"Bubbling", soundtest::MakeTone(0.1f)},
                                               {"Garbage", std::string(500, 'x')}});
    }
    void TearDown() override { soundManager = nullptr; }

    TempWorkDir dir;
    RecordingSoundEngine engine;
};

} // namespace

TEST_F(SoundManagerTest, FirstLoadWarmsTheEngineUpSilentlyOnce)
{
    SoundManager manager(&engine);
    EXPECT_TRUE(manager.IsWarmUpPending());
    manager.LoadSound("GunShot");
    manager.LoadSound("Bubbling");
    const std::string size = std::to_string(soundtest::MakeTone(0.2f).size());
    EXPECT_EQ(engine.calls, (Calls{"add GunShot " + size + " 1", "play3D GunShot (0,0,0) 010", "sound.setVolume 0",
                                   "sound.setIsPaused 0", "sound.stop", "sound.drop",
                                   "add Bubbling " + std::to_string(soundtest::MakeTone(0.1f).size()) + " 1"}));
    EXPECT_FALSE(manager.IsWarmUpPending());

    // A new manager (a restarted scene) warms its new engine up again.
    RecordingSoundEngine second;
    SoundManager next(&second);
    next.LoadSound("Bubbling");
    ASSERT_EQ(second.calls.size(), 6u);
    EXPECT_EQ(second.calls[1], "play3D Bubbling (0,0,0) 010");
}

TEST_F(SoundManagerTest, PlaysPassTheirArgumentsAndMissingNamesThrow)
{
    SoundManager manager(&engine);
    EXPECT_EQ(ThrownBy([&] { manager.PlaySound3D("GunShot", glm::vec3(1.0f), false); }), PlayMissing);
    EXPECT_EQ(ThrownBy([&] { manager.PlaySound2D("RoundChange"); }), PlayMissing);
    EXPECT_EQ(ThrownBy([&] { manager.GetSoundSource("GunShot"); }), GetMissing);

    manager.LoadSound("GunShot");
    manager.LoadSound("RoundChange");
    engine.calls.clear();
    EXPECT_EQ(manager.PlaySound3D("GunShot", glm::vec3(1.5f, 0.0f, -2.0f), false), nullptr);
    manager.PlaySound2D("RoundChange");
    EXPECT_NE(manager.PlaySound3D("GunShot", glm::vec3(0.0f), true), nullptr);
    EXPECT_EQ(engine.calls,
              (Calls{"play3D GunShot (1.5,0,-2) 000", "play2D RoundChange 000", "play3D GunShot (0,0,0) 010"}));

    EXPECT_STREQ(manager.GetSoundSource("RoundChange")->getName(), "RoundChange");
    // Other names stay missing, and names are matched by their characters.
    EXPECT_EQ(ThrownBy([&] { manager.PlaySound3D("Gunshot", glm::vec3(0.0f), false); }), PlayMissing);
    const std::string built = std::string("Gun") + "Shot";
    EXPECT_STREQ(manager.GetSoundSource(built.c_str())->getName(), "GunShot");
}

TEST_F(SoundManagerTest, IdsPlayTheirOwnSoundsAndANameNeverLoadedFailsWhenResolved)
{
    SoundManager manager(&engine);
    manager.LoadSound("GunShot");
    manager.LoadSound("RoundChange");
    // Resolved while the scene is built, so a sound it forgot to load fails there, not in play.
    EXPECT_EQ(ThrownBy([&] { manager.Resolve("Bubbling"); }), PlayMissing);
    const SoundId shot = manager.Resolve("GunShot");
    const SoundId round = manager.Resolve("RoundChange");
    EXPECT_NE(shot.index, round.index);
    EXPECT_EQ(ThrownBy([&] { manager.PlaySound3D(SoundId{}, glm::vec3(0.0f), false); }), PlayMissing);
    EXPECT_EQ(ThrownBy([&] { manager.PlaySound2D(SoundId{}); }), PlayMissing);

    engine.calls.clear();
    EXPECT_EQ(manager.PlaySound3D(shot, glm::vec3(1.5f, 0.0f, -2.0f), false), nullptr);
    manager.PlaySound2D(round);
    EXPECT_NE(manager.PlaySound3D(round, glm::vec3(0.0f), true), nullptr);
    EXPECT_EQ(engine.calls,
              (Calls{"play3D GunShot (1.5,0,-2) 000", "play2D RoundChange 000", "play3D RoundChange (0,0,0) 010"}));

    // A reload keeps the name's id, and the id follows it to the new entry (here a failed one).
    engine.undecodable = {"GunShot"};
    EXPECT_EQ(ThrownBy([&] { manager.LoadSound("GunShot"); }), Undecodable);
    EXPECT_EQ(manager.Resolve("GunShot").index, shot.index);
    manager.PlaySound3D(shot, glm::vec3(0.0f), false);
    EXPECT_EQ(engine.calls.back(), "play3D <null> (0,0,0) 000");
}

TEST_F(SoundManagerTest, LoadingANameAgainReplacesItsEntry)
{
    SoundManager manager(&engine);
    manager.LoadSound("GunShot");
    ISoundSource* first = manager.GetSoundSource("GunShot");
    manager.LoadSound("GunShot");
    ISoundSource* second = manager.GetSoundSource("GunShot");
    EXPECT_NE(first, second);
    second->setDefaultVolume(2.0f);
    EXPECT_FLOAT_EQ(first->getDefaultVolume(), 1.0f);
    // The warm-up belongs to the first load only.
    EXPECT_EQ(std::count(engine.calls.begin(), engine.calls.end(), "sound.drop"), 1);
}

TEST_F(SoundManagerTest, UndecodableSoundThrowsAndIsStoredAsNull)
{
    engine.undecodable = {"Garbage"};
    SoundManager manager(&engine);
    EXPECT_EQ(ThrownBy([&] { manager.LoadSound("Garbage"); }), Undecodable);
    // The entry exists, empty: no "does not exist" failure, and nothing for the engine to play.
    EXPECT_EQ(manager.GetSoundSource("Garbage"), nullptr);
    EXPECT_EQ(manager.PlaySound3D("Garbage", glm::vec3(0.0f), false), nullptr);
    EXPECT_EQ(engine.calls.back(), "play3D <null> (0,0,0) 000");
    // The warm-up waits for the first sound that loads.
    EXPECT_TRUE(manager.IsWarmUpPending());
    manager.LoadSound("Bubbling");
    EXPECT_FALSE(manager.IsWarmUpPending());
    EXPECT_EQ(engine.calls[engine.calls.size() - 5], "play3D Bubbling (0,0,0) 010");

    // An asset missing from the pack fails in the pack reader, before the engine is asked.
    const size_t before = engine.calls.size();
    EXPECT_EQ(ThrownBy([&] { manager.LoadSound("Burning"); }),
              "runtime_error: Big problem, the asset name you are passing in doesnt exist in offset file");
    EXPECT_EQ(engine.calls.size(), before);
    EXPECT_EQ(ThrownBy([&] { manager.GetSoundSource("Burning"); }), GetMissing);
}

TEST_F(SoundManagerTest, WarmUpWithoutAHandleIsSkipped)
{
    engine.handOutSounds = false;
    SoundManager manager(&engine);
    manager.LoadSound("GunShot");
    EXPECT_EQ(engine.calls.back(), "play3D GunShot (0,0,0) 010");
    EXPECT_FALSE(manager.IsWarmUpPending());
}

TEST_F(SoundManagerTest, ListenerUpdatesTheEngineThenPlacesTheListener)
{
    SoundManager manager(&engine);
    manager.UpdateListener(glm::vec3(3.0f, 0.0f, 4.0f), glm::vec3(0.0f, 0.0f, -1.0f), glm::vec3(0.0f, -1.0f, 0.0f));
    EXPECT_EQ(engine.calls, (Calls{"update", "listener (3,0,4) (0,0,-1) (0,0,0) (0,-1,0)"}));
}

TEST_F(SoundManagerTest, DestructionReleasesTheEngineReferenceAndUnpublishes)
{
    engine.grab(); // the test's own reference, so the engine outlives the manager
    soundManager = new SoundManager(&engine);
    soundManager->LoadSound("GunShot");
    delete soundManager;
    EXPECT_EQ(engine.refCount, 1);
    EXPECT_EQ(engine.calls.back(), "drop");
    EXPECT_EQ(soundManager, nullptr);
}

// The real engine on whatever device this machine has (none at all works too): the same
// behaviour, with real decoding.
TEST_F(SoundManagerTest, RealEngineDecodesPackSoundsAndRejectsOthers)
{
    SoundManager manager;
    manager.LoadSound("GunShot");
    manager.LoadSound("RoundChange");
    EXPECT_FALSE(manager.IsWarmUpPending());
    EXPECT_EQ(manager.GetSoundSource("GunShot")->getPlayLength(), 200);
    EXPECT_EQ(manager.GetSoundSource("RoundChange")->getPlayLength(), 300);

    EXPECT_EQ(ThrownBy([&] { manager.LoadSound("Garbage"); }), Undecodable);
    EXPECT_EQ(manager.GetSoundSource("Garbage"), nullptr);

    // Far more plays than the engine has voices, as a round of groaning zombies makes; muted,
    // since a machine with speakers would play them.
    manager.GetSoundSource("GunShot")->setDefaultVolume(0.0f);
    manager.GetSoundSource("RoundChange")->setDefaultVolume(0.0f);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(manager.PlaySound3D("GunShot", glm::vec3(float(i % 17), 0.0f, 2.0f), false), nullptr);
        if (i % 50 == 0)
            manager.PlaySound2D("RoundChange");
    }
    ISound* paused = manager.PlaySound3D("GunShot", glm::vec3(0.0f), true);
    ASSERT_NE(paused, nullptr);
    EXPECT_TRUE(paused->getIsPaused());
    paused->stop();
    EXPECT_TRUE(paused->isFinished());
    paused->drop();
    manager.UpdateListener(glm::vec3(1.0f), glm::vec3(0.0f, 0.0f, -1.0f), glm::vec3(0.0f, -1.0f, 0.0f));
}

TEST_F(SoundManagerTest, VolumesScaleEffectsAndVoicesApartAndMasterOverAll)
{
    soundtest::WriteSoundPack(dir.Path(), {{"GunShot", soundtest::MakeTone(0.2f)},
                                           {"ZombieNormal1", soundtest::MakeTone(0.2f)},
                                           {"Burning", soundtest::MakeTone(0.2f)}});
    SoundManager manager(&engine);
    for (const char* name : {"GunShot", "ZombieNormal1", "Burning"})
        manager.LoadSound(name);
    manager.SetAuthoredVolume("Burning", 2.0f);
    manager.SetVolumes(0.5f, 0.25f, 0.75f);
    EXPECT_FLOAT_EQ(manager.GetSoundSource("GunShot")->getDefaultVolume(), 0.25f);
    EXPECT_FLOAT_EQ(manager.GetSoundSource("Burning")->getDefaultVolume(), 0.5f) << "its own level, scaled";
    EXPECT_FLOAT_EQ(manager.GetSoundSource("ZombieNormal1")->getDefaultVolume(), 0.75f) << "a voice";
    EXPECT_EQ(engine.calls.back(), "setSoundVolume 0.5");
}
