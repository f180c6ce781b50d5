#include "game/SoundDecoder.h"
#include "support/SoundFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using soundtest::MakeSoundFile;

namespace {

int Peak(const DecodedSound& sound, int channel)
{
    int peak = 0;
    for (size_t f = 0; f < sound.Frames(); ++f)
        peak = std::max(peak, std::abs(int(sound.samples[f * size_t(sound.channels) + size_t(channel)])));
    return peak;
}

DecodedSound Decode(const std::string& bytes)
{
    DecodedSound sound;
    EXPECT_TRUE(DecodeSound(bytes.data(), bytes.size(), sound));
    return sound;
}

} // namespace

TEST(SoundDecoder, Pcm16KeepsSamplesChannelsAndRate)
{
    // A ramp on the left and its negation on the right: channel order and values survive.
    const std::string wav = MakeSoundFile(2, 11025, 300, [](int f, int c) {
        const float v = float(f - 150) / 200.0f;
        return c == 0 ? v : -v;
    });
    const DecodedSound sound = Decode(wav);
    ASSERT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.sampleRate, 11025);
    ASSERT_EQ(sound.Frames(), 300u);
    for (int f : {0, 75, 150, 299}) {
        const int expected = int(float(f - 150) / 200.0f * 32767.0f);
        EXPECT_NEAR(sound.samples[size_t(f) * 2], expected, 1) << f;
        EXPECT_NEAR(sound.samples[size_t(f) * 2 + 1], -expected, 1) << f;
    }
}

TEST(SoundDecoder, OtherEncodingsDecodeAtTheirRecordedLevel)
{
    // A half-scale tone must stay half-scale: float data is scaled, not truncated or renormalised.
    const auto half = [](int f, int) { return 0.5f * std::sin(6.2831853f * 441.0f * float(f) / 44100.0f); };
    for (int format :
         {SF_FORMAT_WAV | SF_FORMAT_FLOAT, SF_FORMAT_WAV | SF_FORMAT_PCM_U8, SF_FORMAT_WAV | SF_FORMAT_PCM_24,
          SF_FORMAT_FLAC | SF_FORMAT_PCM_16, SF_FORMAT_OGG | SF_FORMAT_VORBIS}) {
        const std::string bytes = MakeSoundFile(1, 44100, 4410, half, format);
        ASSERT_FALSE(bytes.empty()) << std::hex << format;
        const DecodedSound sound = Decode(bytes);
        EXPECT_EQ(sound.channels, 1);
        EXPECT_NEAR(double(sound.Frames()), 4410.0, 4410.0 * 0.05) << std::hex << format;
        EXPECT_NEAR(Peak(sound, 0), 16384, 16384 * 0.25) << std::hex << format;
    }
}

TEST(SoundDecoder, RejectsWhatIsNotASound)
{
    DecodedSound sound;
    const std::string text = "this is certainly not a sound file, just some bytes";
    EXPECT_FALSE(DecodeSound(text.data(), text.size(), sound));
    EXPECT_FALSE(DecodeSound(text.data(), 0, sound));
    EXPECT_FALSE(DecodeSound(nullptr, 100, sound));

    const std::string wav = soundtest::MakeTone(0.1f);
    EXPECT_FALSE(DecodeSound(wav.data(), 20, sound)) << "a header cut short";
    const std::string empty = MakeSoundFile(1, 22050, 0, [](int, int) { return 0.0f; });
    ASSERT_FALSE(empty.empty());
    EXPECT_FALSE(DecodeSound(empty.data(), empty.size(), sound)) << "no frames to play";
    EXPECT_TRUE(sound.samples.empty());
    EXPECT_EQ(sound.channels, 0);
}

TEST(SoundDecoder, TruncatedDataYieldsTheFramesPresent)
{
    // The header promises 1000 frames; only the first 400 bytes of audio follow it. The decoder
    // must stop at the end of the memory it was given.
    const std::string wav = MakeSoundFile(1, 8000, 1000, [](int, int) { return 0.25f; });
    const size_t header = wav.size() - 2000;
    const std::string cut = wav.substr(0, header + 400);
    DecodedSound sound;
    ASSERT_TRUE(DecodeSound(cut.data(), cut.size(), sound));
    EXPECT_EQ(sound.Frames(), 200u);
    EXPECT_NEAR(sound.samples.back(), 8192, 1);
}

TEST(SoundDecoder, DownmixAveragesEachFrame)
{
    DecodedSound stereo;
    stereo.channels = 2;
    stereo.sampleRate = 100;
    stereo.samples = {1000, 3000, -32768, -32768, 32767, -32767};
    EXPECT_EQ(DownmixToMono(stereo), (std::vector<int16_t>{2000, -32768, 0}));

    DecodedSound three;
    three.channels = 3;
    three.samples = {300, 600, 900};
    EXPECT_EQ(DownmixToMono(three), (std::vector<int16_t>{600}));
}
