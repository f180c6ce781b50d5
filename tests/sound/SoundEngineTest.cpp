// The engine on OpenAL's null driver: real voices and mixing, nothing audible.
#include "game/SoundEngine.h"
#include "support/SoundFixtures.h"

#include <glm/geometric.hpp>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <utility>

namespace {

// Holds the test's reference on an engine.
class SoundEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = static_cast<SoundEngine*>(createSoundEngine());
        ASSERT_TRUE(engine->HasDevice()) << "OpenAL's null driver should always open";
    }
    void TearDown() override
    {
        if (engine)
            engine->drop();
    }

    ISoundSource* Add(const std::string& bytes, const char* name = "Tone")
    {
        return engine->addSoundSourceFromMemory(bytes.data(), bytes.size(), name);
    }
    ALint Int(int voice, ALenum property) const
    {
        ALint value = 0;
        alGetSourcei(engine->VoiceSource(voice), property, &value);
        return value;
    }
    float Float(int voice, ALenum property) const
    {
        ALfloat value = 0;
        alGetSourcef(engine->VoiceSource(voice), property, &value);
        return value;
    }
    glm::vec3 Position(int voice) const
    {
        glm::vec3 p;
        alGetSource3f(engine->VoiceSource(voice), AL_POSITION, &p.x, &p.y, &p.z);
        return p;
    }
    ALint BufferChannels(int voice) const
    {
        ALint channels = 0;
        alGetBufferi(static_cast<ALuint>(Int(voice, AL_BUFFER)), AL_CHANNELS, &channels);
        return channels;
    }
    static int VoiceOf(ISound* sound) { return static_cast<PlayingSound*>(sound)->Voice(); }

    SoundEngine* engine = nullptr;
};

} // namespace

TEST_F(SoundEngineTest, VoicesAreSetUpForTheArena)
{
    ASSERT_EQ(engine->VoiceCount(), SoundEngine::MaxVoices);
    EXPECT_EQ(alGetInteger(AL_DISTANCE_MODEL), AL_INVERSE_DISTANCE_CLAMPED);
    for (int v = 0; v < int(engine->VoiceCount()); ++v) {
        EXPECT_FLOAT_EQ(Float(v, AL_REFERENCE_DISTANCE), SoundEngine::ReferenceDistance);
        EXPECT_FLOAT_EQ(Float(v, AL_MAX_DISTANCE), SoundEngine::MaxDistance);
        EXPECT_GE(Float(v, AL_MAX_GAIN), 2.0f);
    }
}

TEST_F(SoundEngineTest, TwoDimensionalPlaysFollowTheListenerAndThreeDimensionalOnesStayPut)
{
    ISoundSource* stereo = Add(soundtest::MakeTone(1.0f, 0.25f, 2));
    ISound* flat = engine->play2D(stereo, true, false, true);
    ISound* placed = engine->play3D(stereo, glm::vec3(5.0f, 1.0f, -2.0f), false, false, true);
    ASSERT_NE(flat, nullptr);
    ASSERT_NE(placed, nullptr);
    const int v2 = VoiceOf(flat), v3 = VoiceOf(placed);

    EXPECT_EQ(Int(v2, AL_SOURCE_RELATIVE), AL_TRUE);
    EXPECT_EQ(Position(v2), glm::vec3(0.0f));
    EXPECT_FLOAT_EQ(Float(v2, AL_ROLLOFF_FACTOR), 0.0f);
    EXPECT_EQ(Int(v2, AL_LOOPING), AL_TRUE);
    EXPECT_EQ(BufferChannels(v2), 2) << "2D keeps the recorded channels";

    EXPECT_EQ(Int(v3, AL_SOURCE_RELATIVE), AL_FALSE);
    EXPECT_EQ(Position(v3), glm::vec3(5.0f, 1.0f, -2.0f));
    EXPECT_FLOAT_EQ(Float(v3, AL_ROLLOFF_FACTOR), SoundEngine::RolloffFactor);
    EXPECT_EQ(Int(v3, AL_LOOPING), AL_FALSE);
    EXPECT_EQ(BufferChannels(v3), 1) << "only mono buffers are positioned";

    EXPECT_EQ(Int(v2, AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_EQ(Int(v3, AL_SOURCE_STATE), AL_PLAYING);
    flat->drop();
    placed->drop();
}

TEST_F(SoundEngineTest, DefaultVolumeScalesLaterPlaysOnly)
{
    ISoundSource* tone = Add(soundtest::MakeTone(1.0f));
    ISound* before = engine->play3D(tone, glm::vec3(1.0f), false, false, true);
    tone->setDefaultVolume(2.0f);
    ISound* after = engine->play3D(tone, glm::vec3(1.0f), false, false, true);
    EXPECT_FLOAT_EQ(Float(VoiceOf(before), AL_GAIN), 1.0f);
    EXPECT_FLOAT_EQ(Float(VoiceOf(after), AL_GAIN), 2.0f);
    EXPECT_FLOAT_EQ(after->getVolume(), 2.0f);

    after->setVolume(0.5f);
    EXPECT_FLOAT_EQ(Float(VoiceOf(after), AL_GAIN), 0.5f);
    // Values the mixer would refuse become silence instead of leaving the old level.
    after->setVolume(std::nanf(""));
    EXPECT_FLOAT_EQ(Float(VoiceOf(after), AL_GAIN), 0.0f);
    tone->setDefaultVolume(-1.0f);
    EXPECT_FLOAT_EQ(tone->getDefaultVolume(), 0.0f);
    before->drop();
    after->drop();
}

TEST_F(SoundEngineTest, OverlappingPlaysBeyondTheVoicesTakeOverTheOldest)
{
    ISoundSource* groan = Add(soundtest::MakeTone(3.0f), "Groan");
    ISoundSource* shot = Add(soundtest::MakeTone(3.0f), "Shot");
    for (int i = 0; i < int(SoundEngine::MaxVoices); ++i)
        engine->play3D(groan, glm::vec3(float(i), 0.0f, 0.0f));

    // Every voice is busy: a tracked play takes the one that started first.
    ISound* held = engine->play3D(shot, glm::vec3(-1.0f), false, false, true);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(VoiceOf(held), 0);
    EXPECT_EQ(Position(0), glm::vec3(-1.0f));

    // Many more plays never fail and never take the held voice.
    for (int i = 0; i < 100; ++i)
        engine->play2D(groan);
    for (int v = 1; v < int(engine->VoiceCount()); ++v) {
        EXPECT_EQ(Int(v, AL_SOURCE_RELATIVE), AL_TRUE) << v;
        EXPECT_EQ(Int(v, AL_SOURCE_STATE), AL_PLAYING) << v;
    }
    EXPECT_EQ(Int(0, AL_SOURCE_RELATIVE), AL_FALSE);
    EXPECT_EQ(Int(0, AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_FALSE(held->isFinished());
    held->drop();
}

TEST_F(SoundEngineTest, WhenEveryVoiceIsHeldPlaysAreDroppedUntilOneIsGivenBack)
{
    ISoundSource* tone = Add(soundtest::MakeTone(1.0f));
    std::vector<ISound*> held;
    for (size_t i = 0; i < SoundEngine::MaxHandles; ++i)
        held.push_back(engine->play3D(tone, glm::vec3(0.0f), false, true));
    ASSERT_EQ(std::count(held.begin(), held.end(), nullptr), 0);
    EXPECT_EQ(engine->play3D(tone, glm::vec3(0.0f), false, true), nullptr);
    EXPECT_EQ(engine->play2D(tone), nullptr);
    for (int v = 0; v < int(engine->VoiceCount()); ++v)
        EXPECT_EQ(Int(v, AL_SOURCE_STATE), AL_INITIAL) << "a paused start must not be disturbed";

    const int freed = VoiceOf(held[5]);
    held[5]->drop();
    engine->play3D(tone, glm::vec3(2.0f, 0.0f, 0.0f));
    EXPECT_EQ(Int(freed, AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_EQ(Position(freed), glm::vec3(2.0f, 0.0f, 0.0f));
    for (size_t i = 0; i < held.size(); ++i)
        if (i != 5)
            held[i]->drop();
}

TEST_F(SoundEngineTest, HandlesPauseResumeAndStopTheirOwnSoundOnly)
{
    ISoundSource* tone = Add(soundtest::MakeTone(1.0f));
    ISound* sound = engine->play3D(tone, glm::vec3(0.0f), false, true);
    ASSERT_NE(sound, nullptr);
    const int voice = VoiceOf(sound);
    EXPECT_TRUE(sound->getIsPaused());
    EXPECT_FALSE(sound->isFinished());
    EXPECT_EQ(Int(voice, AL_SOURCE_STATE), AL_INITIAL);
    sound->setIsPaused(false);
    EXPECT_EQ(Int(voice, AL_SOURCE_STATE), AL_PLAYING);
    sound->setIsPaused(true);
    EXPECT_EQ(Int(voice, AL_SOURCE_STATE), AL_PAUSED);
    sound->stop();
    EXPECT_EQ(Int(voice, AL_SOURCE_STATE), AL_STOPPED);
    EXPECT_TRUE(sound->isFinished());
    EXPECT_FALSE(engine->Voices().IsBusy(voice));

    // The freed voice goes to the next play; the old handle must not resume or quiet it.
    ISound* next = engine->play3D(tone, glm::vec3(0.0f), false, false, true);
    ASSERT_EQ(VoiceOf(next), voice);
    sound->setVolume(0.0f);
    sound->setIsPaused(true);
    EXPECT_FLOAT_EQ(Float(voice, AL_GAIN), 1.0f);
    EXPECT_EQ(Int(voice, AL_SOURCE_STATE), AL_PLAYING);
    sound->drop();
    EXPECT_TRUE(engine->Voices().IsTracked(voice)) << "a stale handle's drop frees nothing";
    next->drop();
    EXPECT_FALSE(engine->Voices().IsTracked(voice));
}

TEST_F(SoundEngineTest, PausingAllHoldsEveryPlayingSoundAndStartsNothingNew)
{
    ISoundSource* tone = Add(soundtest::MakeTone(1.0f));
    ISound* flat = engine->play2D(tone, false, false, true);
    ISound* placed = engine->play3D(tone, glm::vec3(2.0f, 0.0f, 0.0f), false, false, true);
    ISound* held = engine->play3D(tone, glm::vec3(0.0f), false, false, true);
    held->setIsPaused(true);                             // paused by its owner before the game paused
    ISound* waiting = engine->play2D(tone, false, true); // set up paused, never started
    const auto busyVoices = [&] {
        int busy = 0;
        for (int v = 0; v < int(engine->VoiceCount()); ++v)
            busy += engine->Voices().IsBusy(v) ? 1 : 0;
        return busy;
    };

    engine->setAllSoundsPaused(true);
    EXPECT_EQ(Int(VoiceOf(flat), AL_SOURCE_STATE), AL_PAUSED);
    EXPECT_EQ(Int(VoiceOf(placed), AL_SOURCE_STATE), AL_PAUSED);
    const int busy = busyVoices();
    EXPECT_EQ(engine->play3D(tone, glm::vec3(0.0f)), nullptr);
    EXPECT_EQ(engine->play2D(tone, false, false, true), nullptr);
    EXPECT_EQ(busyVoices(), busy) << "a sound started while paused";

    engine->setAllSoundsPaused(false);
    EXPECT_EQ(Int(VoiceOf(flat), AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_EQ(Int(VoiceOf(placed), AL_SOURCE_STATE), AL_PLAYING);
    // What its owner paused, or never started, stays as it was.
    EXPECT_EQ(Int(VoiceOf(held), AL_SOURCE_STATE), AL_PAUSED);
    EXPECT_EQ(Int(VoiceOf(waiting), AL_SOURCE_STATE), AL_INITIAL);
    ISound* after = engine->play2D(tone, false, false, true);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(Int(VoiceOf(after), AL_SOURCE_STATE), AL_PLAYING);
    for (ISound* sound : {flat, placed, held, waiting, after}) {
        sound->stop();
        sound->drop();
    }
}

TEST_F(SoundEngineTest, AVoiceTakenOverWhilePausedAnswersToItsNewHandleOnly)
{
    ISoundSource* tone = Add(soundtest::MakeTone(3.0f));
    for (int i = 0; i < int(engine->VoiceCount()); ++i)
        engine->play3D(tone, glm::vec3(float(i), 0.0f, 0.0f));
    engine->setAllSoundsPaused(true);

    // Every voice is busy and held by the pause: the paused start takes the oldest.
    ISound* taken = engine->play2D(tone, false, true);
    ASSERT_NE(taken, nullptr);
    const int voice = VoiceOf(taken);
    taken->setIsPaused(false);
    EXPECT_EQ(Int(voice, AL_SOURCE_STATE), AL_PLAYING) << "a paused start plays when its handle resumes it";
    taken->setIsPaused(true);
    engine->setAllSoundsPaused(false);
    EXPECT_EQ(Int(voice, AL_SOURCE_STATE), AL_PAUSED) << "the game's resume started what its handle paused";
    taken->stop();
    taken->drop();
}

TEST_F(SoundEngineTest, SoundsThatPlayedOutFreeTheirVoices)
{
    ISoundSource* blip = Add(soundtest::MakeTone(0.05f));
    ISound* tracked = engine->play2D(blip, false, false, true);
    for (int i = 1; i < int(engine->VoiceCount()); ++i)
        engine->play2D(blip);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!tracked->isFinished() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(tracked->isFinished());
    engine->update();
    for (int v = 0; v < int(engine->VoiceCount()); ++v)
        EXPECT_FALSE(engine->Voices().IsBusy(v)) << v;
    tracked->setIsPaused(false);
    EXPECT_EQ(Int(VoiceOf(tracked), AL_SOURCE_STATE), AL_STOPPED) << "a finished sound stays finished";
    tracked->drop();
}

TEST_F(SoundEngineTest, AHandleKeepsItsEngineUntilItIsDropped)
{
    ISound* sound = engine->play3D(Add(soundtest::MakeTone(1.0f)), glm::vec3(0.0f), false, true);
    ASSERT_NE(sound, nullptr);
    SoundEngine* owner = std::exchange(engine, nullptr);
    ASSERT_FALSE(owner->drop()) << "the engine closed while a handle still names it";
    sound->setIsPaused(false);
    EXPECT_FALSE(sound->isFinished());
    sound->drop(); // the last reference: the engine closes its device
    EXPECT_EQ(alcGetCurrentContext(), nullptr);
}

TEST_F(SoundEngineTest, ListenerTakesTheCameraVectors)
{
    // The scene passes up = normalise(look × right): (0, -1, 0) for a camera looking down -Z.
    engine->setListenerPosition(glm::vec3(1.0f, 2.0f, 3.0f), glm::vec3(0.0f, 0.0f, -1.0f), glm::vec3(0.5f, 0.0f, 0.0f),
                                glm::vec3(0.0f, -1.0f, 0.0f));
    glm::vec3 position, velocity;
    alGetListener3f(AL_POSITION, &position.x, &position.y, &position.z);
    alGetListener3f(AL_VELOCITY, &velocity.x, &velocity.y, &velocity.z);
    ALfloat orientation[6] = {};
    alGetListenerfv(AL_ORIENTATION, orientation);
    EXPECT_EQ(position, glm::vec3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(velocity, glm::vec3(0.5f, 0.0f, 0.0f));
    // OpenAL's right is at × up = (1, 0, 0), the camera's right.
    const glm::vec3 at(orientation[0], orientation[1], orientation[2]),
        up(orientation[3], orientation[4], orientation[5]);
    EXPECT_EQ(at, glm::vec3(0.0f, 0.0f, -1.0f));
    EXPECT_EQ(glm::cross(at, up), glm::vec3(1.0f, 0.0f, 0.0f));
}

TEST_F(SoundEngineTest, TwoEnginesEachDriveTheirOwnVoices)
{
    SoundEngine* other = static_cast<SoundEngine*>(createSoundEngine());
    ASSERT_TRUE(other->HasDevice());
    const std::string bytes = soundtest::MakeTone(1.0f);
    ISound* mine = engine->play3D(Add(bytes), glm::vec3(4.0f), false, true);
    ISound* theirs = other->play3D(other->addSoundSourceFromMemory(bytes.data(), bytes.size(), "Tone"),
                                   glm::vec3(-4.0f), false, true);
    mine->setIsPaused(false);
    theirs->setVolume(0.25f);

    engine->update(); // makes this engine's context current again
    EXPECT_EQ(Int(VoiceOf(mine), AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_EQ(Position(VoiceOf(mine)), glm::vec3(4.0f));
    EXPECT_FLOAT_EQ(Float(VoiceOf(mine), AL_GAIN), 1.0f);
    other->update();
    ALint state = 0;
    alGetSourcei(other->VoiceSource(VoiceOf(theirs)), AL_SOURCE_STATE, &state);
    EXPECT_EQ(state, AL_INITIAL);

    theirs->drop();
    other->grab();
    EXPECT_FALSE(other->drop());
    EXPECT_TRUE(other->drop());
    // The survivor still plays after the other engine closed its device.
    mine->stop();
    mine->drop();
    ISound* again = engine->play2D(Add(bytes), false, false, true);
    ASSERT_NE(again, nullptr);
    again->drop();
}

TEST(SoundEngineWithoutDevice, EveryCallSucceedsAndNothingPlays)
{
    SoundEngine* engine = static_cast<SoundEngine*>(createSoundEngine("No Such Output Device"));
    ASSERT_FALSE(engine->HasDevice());
    EXPECT_EQ(engine->VoiceCount(), 0u);
    const std::string bytes = soundtest::MakeTone(0.5f, 0.25f, 2);
    ISoundSource* tone = engine->addSoundSourceFromMemory(bytes.data(), bytes.size(), "Tone");
    ASSERT_NE(tone, nullptr) << "sources still decode";
    EXPECT_EQ(tone->getPlayLength(), 500);
    EXPECT_STREQ(tone->getName(), "Tone");
    EXPECT_EQ(engine->addSoundSourceFromMemory("junk", 4, "Junk"), nullptr) << "and bad data is still reported";
    tone->setDefaultVolume(2.0f);

    EXPECT_EQ(engine->play2D(tone), nullptr);
    EXPECT_EQ(engine->play3D(tone, glm::vec3(1.0f)), nullptr);
    ISound* handle = engine->play3D(tone, glm::vec3(1.0f), true, true, true);
    ASSERT_NE(handle, nullptr) << "callers that ask for a handle get one";
    EXPECT_FLOAT_EQ(handle->getVolume(), 2.0f);
    handle->setVolume(0.0f);
    handle->setIsPaused(false);
    EXPECT_TRUE(handle->isFinished());
    handle->stop();
    handle->drop();
    engine->update();
    engine->setListenerPosition(glm::vec3(1.0f), glm::vec3(0, 0, -1), glm::vec3(0.0f), glm::vec3(0, -1, 0));
    EXPECT_TRUE(engine->drop());
}
