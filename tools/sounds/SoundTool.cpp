// zorbulon_sound_tool <output dir> [--report]
// Synthesises every game sound into <output dir>/<Name>.wav. With --report it also prints each
// sound's measurements (level, timing, spectrum, pitch), the way to check a sound by numbers.
#include "tools/sounds/Loudness.h"
#include "tools/sounds/SoundAnalysis.h"
#include "tools/sounds/SoundCatalogue.h"
#include "tools/sounds/Spectrum.h"
#include "tools/sounds/TakeDistance.h"
#include "tools/sounds/WavFile.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

namespace {

void Report(const std::string& name, const Signal& s)
{
    const double seconds = SecondsOf(s.size());
    std::printf("%-14s %5.2fs peak %.3f rms %6.1fdB dc %+.5f first25%% %.2f <1k %.2f >2k %.2f centroid %5.0fHz "
                "pitch %5.1fHz (%5.1f -> %5.1f) transients %d\n",
                name.c_str(), seconds, Peak(s), 20.0 * std::log10(Rms(s)), Mean(s),
                EnergyFractionBefore(s, 0.25 * seconds), BandEnergyFraction(s, 0.0f, 1000.0f),
                BandEnergyFraction(s, 2000.0f, SampleRate), SpectralCentroid(s), MedianPitch(s, 0.0, seconds, 40, 400),
                MedianPitch(s, 0.0, seconds / 3.0, 40, 400), MedianPitch(s, 2.0 * seconds / 3.0, seconds, 40, 400),
                CountTransients(s, 3.0f, 0.05f));
    std::printf("%14s octaves:", "");
    for (float db : OctaveProfile(s)) {
        std::printf(" %5.1f", db);
    }
    std::printf("\n%14s envelope (50 ms):", "");
    for (float r : RmsEnvelope(s, 0.05)) {
        std::printf(" %.2f", r);
    }
    std::printf("\n%14s pitch (100 ms):", "");
    for (double t = 0.0; t + 0.1 <= seconds; t += 0.1) {
        std::printf(" %.0f", PitchAt(s, t, 0.05, 40.0f, 400.0f));
    }
    std::printf("\n");
}

// The numbers a player's ear goes by: high band, attack, loudness (at the game's playback gain).
void Balance(const std::string& name, const Signal& s, float playbackGain)
{
    std::printf("%-14s >2kHz %5.1f%%  attack %6.1fms  loudness %6.1f LUFS (in game %6.1f)\n", name.c_str(),
                100.0f * HighBandShare(s), 1000.0 * AttackTime(s), IntegratedLoudness(s),
                IntegratedLoudness(s) + 20.0 * std::log10(playbackGain));
}

void Distances(const std::map<std::string, Signal>& sounds)
{
    const std::pair<const char*, const char*> takes[] = {{"ZombieNormal1", "ZombieNormal2"},
                                                         {"ZombieNormal1", "ZombieNormal3"},
                                                         {"ZombieNormal2", "ZombieNormal3"},
                                                         {"ZombieDeath1", "ZombieDeath2"}};
    for (const auto& [a, b] : takes) {
        std::printf("%s / %s: spectral distance %.1f dB, envelope distance %.1f dB\n", a, b,
                    SpectralDistance(sounds.at(a), sounds.at(b)), EnvelopeDistance(sounds.at(a), sounds.at(b)));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3 || (argc == 3 && std::string(argv[2]) != "--report")) {
        std::fprintf(stderr, "usage: %s <output dir> [--report]\n", argv[0]);
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        const bool report = argc == 3;
        std::map<std::string, Signal> sounds;
        for (const SoundRecipe& recipe : SoundCatalogue()) {
            const Signal s = RenderSound(recipe);
            WriteWav((dir / (recipe.name + ".wav")).string(), s);
            if (report) {
                Report(recipe.name, s);
                sounds[recipe.name] = s;
            }
        }
        if (report) {
            std::printf("\n");
            for (const SoundRecipe& recipe : SoundCatalogue()) {
                Balance(recipe.name, sounds.at(recipe.name), recipe.playbackGain);
            }
            Distances(sounds);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sounds: %s\n", e.what());
        return 1;
    }
    return 0;
}
