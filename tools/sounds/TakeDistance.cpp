#include "tools/sounds/TakeDistance.h"
#include "tools/sounds/SoundAnalysis.h"
#include "tools/sounds/Spectrum.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float BandFloorDb = -60.0f;
constexpr float EnvelopeFloorDb = -40.0f;

float RmsOfDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        sum += static_cast<double>(a[i] - b[i]) * (a[i] - b[i]);
    }
    return a.empty() ? 0.0f : static_cast<float>(std::sqrt(sum / static_cast<double>(a.size())));
}

std::vector<float> EnvelopeDb(const Signal& s, std::size_t windows)
{
    const std::vector<float> env = RmsEnvelope(s, 0.02);
    const float top = env.empty() ? 0.0f : *std::max_element(env.begin(), env.end());
    std::vector<float> db(windows, EnvelopeFloorDb);
    for (std::size_t i = 0; i < env.size() && top > 0.0f; ++i) {
        db[i] = std::max(EnvelopeFloorDb, 20.0f * std::log10(std::max(env[i] / top, 1e-6f)));
    }
    return db;
}

} // namespace

float SpectralDistance(const Signal& a, const Signal& b)
{
    std::vector<float> pa = ThirdOctaveProfile(a);
    std::vector<float> pb = ThirdOctaveProfile(b);
    for (float& x : pa) {
        x = std::max(x, BandFloorDb);
    }
    for (float& x : pb) {
        x = std::max(x, BandFloorDb);
    }
    return RmsOfDifference(pa, pb);
}

float EnvelopeDistance(const Signal& a, const Signal& b)
{
    const std::size_t windows = std::max(RmsEnvelope(a, 0.02).size(), RmsEnvelope(b, 0.02).size());
    return RmsOfDifference(EnvelopeDb(a, windows), EnvelopeDb(b, windows));
}
