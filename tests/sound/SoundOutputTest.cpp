// What the player would hear: the sound manager runs in a child process on OpenAL's wave-file
// driver, and the file it writes is measured. OpenAL reads its driver choice once per process,
// hence the child.
#include "support/SoundFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

extern char** environ;

namespace {

struct Levels {
    double rms[2] = {0, 0};
    double peak[2] = {0, 0};
    sf_count_t frames = 0;
};

struct ProbeRun {
    int exitCode = -1;
    std::string output;
};

class SoundOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A 0.3 s mono tone at a quarter of full scale.
        soundtest::WriteSoundPack(
            dir.Path(), {{"Tone", soundtest::MakeTone(0.3f, 0.25f, 1, 44100)}, {"Garbage", std::string(400, 'g')}});
        WriteOpenAlConfig("sample-type = int16\n");
    }

    // Runs the probe with OpenAL limited to `drivers`; its output is captured. The probe works in
    // `workDir`: the fixture's small pack, unless a test names another.
    ProbeRun Probe(const char* drivers, std::vector<std::string> args, std::string workDir = {}) const
    {
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e)
            if (std::strncmp(*e, "ALSOFT_", 7) != 0)
                env.emplace_back(*e);
        env.push_back(std::string("ALSOFT_DRIVERS=") + drivers);
        env.push_back("ALSOFT_CONF=" + (dir.Path() / "alsoft.conf").string());
        args.insert(args.begin(), {ZORBULON_SOUND_PROBE, workDir.empty() ? dir.Path().string() : workDir});

        std::vector<char*> argv, envp;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);

        const std::string outputPath = (dir.Path() / "probe.txt").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        pid_t pid = 0;
        ProbeRun run;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
            int status = 0;
            waitpid(pid, &status, 0);
            run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        std::stringstream text;
        text << std::ifstream(outputPath).rdbuf();
        run.output = text.str();
        return run;
    }

    // Runs the probe on the wave driver and measures the file it wrote.
    Levels Record(std::vector<std::string> args) const
    {
        const ProbeRun run = Probe("wave", std::move(args));
        EXPECT_EQ(run.exitCode, 0) << run.output;
        Levels levels;
        SF_INFO info{};
        SNDFILE* file = sf_open((dir.Path() / "out.wav").c_str(), SFM_READ, &info);
        EXPECT_NE(file, nullptr) << "no output file";
        if (file == nullptr)
            return levels;
        EXPECT_EQ(info.channels, 2);
        std::vector<float> samples(size_t(info.frames) * 2);
        levels.frames = sf_readf_float(file, samples.data(), info.frames);
        sf_close(file);
        for (sf_count_t f = 0; f < levels.frames; ++f)
            for (int c = 0; c < 2; ++c) {
                const double s = samples[size_t(f) * 2 + size_t(c)];
                levels.rms[c] += s * s;
                levels.peak[c] = std::max(levels.peak[c], std::abs(s));
            }
        for (double& r : levels.rms)
            r = levels.frames > 0 ? std::sqrt(r / double(levels.frames)) : 0.0;
        std::printf("    %-48s left rms %.4f peak %.4f  right rms %.4f peak %.4f  (%lld frames)\n",
                    ::testing::UnitTest::GetInstance()->current_test_info()->name(), levels.rms[0], levels.peak[0],
                    levels.rms[1], levels.peak[1], static_cast<long long>(levels.frames));
        return levels;
    }

    // RMS of both channels over the last `seconds` of the file the wave driver wrote.
    double TailRms(double seconds) const
    {
        SF_INFO info{};
        SNDFILE* file = sf_open((dir.Path() / "out.wav").c_str(), SFM_READ, &info);
        if (file == nullptr)
            return -1.0;
        std::vector<float> samples(size_t(info.frames) * size_t(info.channels));
        const sf_count_t frames = sf_readf_float(file, samples.data(), info.frames);
        sf_close(file);
        const sf_count_t first = std::max<sf_count_t>(0, frames - sf_count_t(seconds * info.samplerate));
        double sum = 0.0;
        for (size_t i = size_t(first) * size_t(info.channels); i < size_t(frames) * size_t(info.channels); ++i)
            sum += double(samples[i]) * samples[i];
        const double count = double(frames - first) * info.channels;
        return count > 0 ? std::sqrt(sum / count) : 0.0;
    }

    // The game itself, from the real pack in the run directory, on the wave driver: the RMS of
    // the last second of a probe run doing `action`.
    double GameLastSecond(const char* action) const
    {
        const ProbeRun run = Probe("wave", {"game", action}, ZORBULON_RUN_DIR);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        return TailRms(1.0);
    }

    // Float output with OpenAL's limiter off: what the mix itself reaches, before anything
    // would squash it back under full scale.
    void UnlimitedFloatOutput() const { WriteOpenAlConfig("sample-type = float32\noutput-limiter = false\n"); }

    // OpenAL's configuration in the work directory: stereo at 44.1 kHz without HRTF or dither,
    // the wave driver writing out.wav, and the given sample format lines.
    void WriteOpenAlConfig(const char* format) const
    {
        std::ofstream(dir.Path() / "alsoft.conf") << "[general]\nchannels = stereo\n"
                                                  << format
                                                  << "frequency = 44100\nhrtf = false\ndither = false\n"
                                                     "[wave]\nfile = "
                                                  << (dir.Path() / "out.wav").string() << "\n";
    }

    TempWorkDir dir;
};

double Total(const Levels& l)
{
    return std::hypot(l.rms[0], l.rms[1]);
}

} // namespace

TEST_F(SoundOutputTest, TwoDimensionalPlayIsAudibleAndCentred)
{
    const Levels levels = Record({"play2d", "1"});
    // Recorded for at least the tone's length.
    EXPECT_GE(levels.frames, 44100 * 3 / 10);
    for (int c = 0; c < 2; ++c) {
        EXPECT_GT(levels.peak[c], 0.1) << c;
        EXPECT_LT(levels.peak[c], 0.3) << c;
        EXPECT_GT(levels.rms[c], 0.02) << c;
    }
    EXPECT_NEAR(levels.rms[0] / levels.rms[1], 1.0, 0.05);
}

TEST_F(SoundOutputTest, DefaultVolumeTwoDoublesTheLevel)
{
    const double one = Total(Record({"play2d", "1"}));
    const double two = Total(Record({"play2d", "2"}));
    EXPECT_NEAR(two / one, 2.0, 0.1);
}

TEST_F(SoundOutputTest, WarmUpIsSilent)
{
    const Levels levels = Record({"warmup"});
    EXPECT_GT(levels.frames, 0);
    EXPECT_LT(std::max(levels.peak[0], levels.peak[1]), 1e-3);
}

TEST_F(SoundOutputTest, SoundsPanToTheSideTheyAreOn)
{
    // Camera looking down -Z (yaw 0): its right is +X.
    const Levels right = Record({"play3d", "5", "0", "0", "0", "0", "-1", "1", "0", "0"});
    const Levels left = Record({"play3d", "-5", "0", "0", "0", "0", "-1", "1", "0", "0"});
    EXPECT_GT(right.rms[1], 2.0 * right.rms[0]);
    EXPECT_GT(left.rms[0], 2.0 * left.rms[1]);
    // Camera turned to look down +X: its right is +Z, so a sound at +Z is now on the right.
    const Levels turned = Record({"play3d", "0", "0", "5", "1", "0", "0", "0", "0", "1"});
    EXPECT_GT(turned.rms[1], 2.0 * turned.rms[0]);
}

TEST_F(SoundOutputTest, FarSoundsAreQuieterThanNearOnes)
{
    const double near = Total(Record({"play3d", "0", "0", "-2", "0", "0", "-1", "1", "0", "0"}));
    const double far = Total(Record({"play3d", "0", "0", "-30", "0", "0", "-1", "1", "0", "0"}));
    // Inside the reference distance the level is full; at 30 m it is 3 / 30 of it.
    EXPECT_NEAR(far / near, 0.1, 0.03);
}

TEST_F(SoundOutputTest, TheGamesShotIsHeard)
{
    const double idle = GameLastSecond("idle");
    const double shot = GameLastSecond("shot");
    std::printf("    last second: standing rms %.5f, shooting rms %.5f\n", idle, shot);
    // The shot is short and levelled with the other effects at about -25 LUFS: its level over a
    // whole second is low, yet far above silence.
    EXPECT_GT(shot, 0.001);
    EXPECT_GT(shot, 5.0 * idle);
}

TEST_F(SoundOutputTest, TheGamesSoundsPauseWithItAndResumeWithIt)
{
    // The shot is paused at once by Escape: the next second is silent. Resumed a second later, it
    // plays on where it stopped: the last second is as loud as a fresh shot's.
    const double shot = GameLastSecond("shot");
    const double paused = GameLastSecond("paused");
    const double resumed = GameLastSecond("resumed");
    std::printf("    last second: shot rms %.5f, paused rms %.5f, resumed rms %.5f\n", shot, paused, resumed);
    EXPECT_LT(paused, 0.2 * shot);
    EXPECT_GT(resumed, 0.5 * shot);
}

TEST_F(SoundOutputTest, TheGamesBusiestMomentDoesNotClip)
{
    UnlimitedFloatOutput();
    const ProbeRun run = Probe("wave", {"busy"}, ZORBULON_RUN_DIR);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    SF_INFO info{};
    SNDFILE* file = sf_open((dir.Path() / "out.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr) << "no output file";
    std::vector<float> samples(size_t(info.frames) * size_t(info.channels));
    const sf_count_t frames = sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    float peak = 0.0f;
    double energy = 0.0;
    for (size_t i = 0; i < size_t(frames) * size_t(info.channels); ++i) {
        peak = std::max(peak, std::fabs(samples[i]));
        energy += double(samples[i]) * samples[i];
    }
    const double rms = frames > 0 ? std::sqrt(energy / (double(frames) * info.channels)) : 0.0;
    std::printf("    busy moment: peak %.3f (%.1f dBFS), rms %.4f over %.2f s\n", peak, 20.0 * std::log10(peak), rms,
                double(frames) / info.samplerate);
    EXPECT_GT(rms, 0.01) << "the crowd was not heard";
    EXPECT_LT(peak, 1.0f) << "the mix clips";
}

TEST_F(SoundOutputTest, WithoutAnyDeviceEveryCallStillSucceeds)
{
    const ProbeRun run = Probe("no-such-driver", {"silent"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "device 0\n"
                          "warm-up pending 0\n"
                          "length 300\n"
                          "garbage Failed to add sound source for asset\n"
                          "finished 1\n"
                          "done\n");
}
