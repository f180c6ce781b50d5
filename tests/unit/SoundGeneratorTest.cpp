// The generator as a whole: deterministic output, WAV writing, and a pack that holds what the
// generator makes today.
#include "assets/AssetPack.h"
#include "support/TempDir.h"
#include "tools/sounds/SoundAnalysis.h"
#include "tools/sounds/SoundCatalogue.h"
#include "tools/sounds/WavFile.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <fstream>
#include <stdexcept>

namespace {

Signal ReadWav(const std::string& path, SF_INFO& info)
{
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (f == nullptr) {
        ADD_FAILURE() << "cannot open " << path;
        return {};
    }
    Signal s(static_cast<std::size_t>(info.frames));
    sf_readf_float(f, s.data(), info.frames);
    sf_close(f);
    return s;
}

} // namespace

TEST(SoundGenerator, RendersTheSameSamplesEveryTime)
{
    for (const SoundRecipe& recipe : SoundCatalogue()) {
        SCOPED_TRACE(recipe.name);
        EXPECT_EQ(RenderSound(recipe), RenderSound(recipe));
    }
}

TEST(SoundGenerator, WavRoundTripKeepsSamplesToSixteenBits)
{
    TempWorkDir dir;
    const Signal s = RenderSound(SoundCatalogue().front());
    WriteWav("shot.wav", s);
    SF_INFO info{};
    const Signal back = ReadWav("shot.wav", info);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(info.samplerate, SampleRate);
    ASSERT_EQ(back.size(), s.size());
    float worst = 0.0f;
    for (std::size_t i = 0; i < s.size(); ++i) {
        worst = std::max(worst, std::fabs(back[i] - s[i]));
    }
    EXPECT_LT(worst, 2.0f / 32768.0f);
    EXPECT_THROW(WriteWav("no/such/dir/x.wav", s), std::runtime_error);
}

TEST(SoundGenerator, PackHoldsExactlyWhatTheCatalogueRenders)
{
    for (const SoundRecipe& recipe : SoundCatalogue()) {
        SCOPED_TRACE(recipe.name);
        const std::vector<char> bytes = LoadAsset(recipe.name.c_str());
        TempWorkDir dir;
        {
            std::ofstream out("pack.wav", std::ios::binary);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
        SF_INFO info{};
        const Signal packed = ReadWav("pack.wav", info);
        const Signal fresh = RenderSound(recipe);
        ASSERT_EQ(packed.size(), fresh.size()) << "stale pack or a sound under the wrong name";
        float worst = 0.0f;
        for (std::size_t i = 0; i < fresh.size(); ++i) {
            worst = std::max(worst, std::fabs(packed[i] - fresh[i]));
        }
        EXPECT_LT(worst, 2.0f / 32768.0f);
        // The level leaves room for the gain the game plays it at.
        EXPECT_LE(Peak(fresh) * recipe.playbackGain, 1.0f);
    }
}
