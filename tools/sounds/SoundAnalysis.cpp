#include "tools/sounds/SoundAnalysis.h"
#include "tools/sounds/dsp/Biquad.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Quality factors of the two sections of a 4th-order Butterworth filter.
constexpr float ButterworthQ4a = 0.5412f;
constexpr float ButterworthQ4b = 1.3066f;

double Energy(const Signal& s)
{
    return std::inner_product(s.begin(), s.end(), s.begin(), 0.0);
}

} // namespace

float Peak(const Signal& s)
{
    float p = 0.0f;
    for (float x : s) {
        p = std::max(p, std::fabs(x));
    }
    return p;
}

float Rms(const Signal& s)
{
    return s.empty() ? 0.0f : static_cast<float>(std::sqrt(Energy(s) / static_cast<double>(s.size())));
}

float Mean(const Signal& s)
{
    return s.empty() ? 0.0f
                     : static_cast<float>(std::accumulate(s.begin(), s.end(), 0.0) / static_cast<double>(s.size()));
}

float RmsBetween(const Signal& s, double from, double to)
{
    const std::size_t a = std::min(SamplesFor(std::max(0.0, from)), s.size());
    const std::size_t b = std::min(SamplesFor(std::max(0.0, to)), s.size());
    if (b <= a) {
        return 0.0f;
    }
    double e = 0.0;
    for (std::size_t i = a; i < b; ++i) {
        e += static_cast<double>(s[i]) * s[i];
    }
    return static_cast<float>(std::sqrt(e / static_cast<double>(b - a)));
}

float EnergyFractionBefore(const Signal& s, double seconds)
{
    const double total = Energy(s);
    if (total == 0.0) {
        return 0.0f;
    }
    const std::size_t end = std::min(SamplesFor(std::max(0.0, seconds)), s.size());
    const double before = std::inner_product(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(end), s.begin(), 0.0);
    return static_cast<float>(before / total);
}

float BandEnergyFraction(const Signal& s, float loHz, float hiHz)
{
    const double total = Energy(s);
    if (total == 0.0) {
        return 0.0f;
    }
    std::vector<Biquad> chain;
    if (loHz > 0.0f) {
        chain.emplace_back(Biquad::Kind::HighPass, loHz, ButterworthQ4a);
        chain.emplace_back(Biquad::Kind::HighPass, loHz, ButterworthQ4b);
    }
    if (hiHz < 0.5f * SampleRate) {
        chain.emplace_back(Biquad::Kind::LowPass, hiHz, ButterworthQ4a);
        chain.emplace_back(Biquad::Kind::LowPass, hiHz, ButterworthQ4b);
    }
    double band = 0.0;
    for (float x : s) {
        for (Biquad& f : chain) {
            x = f.Process(x);
        }
        band += static_cast<double>(x) * x;
    }
    return static_cast<float>(band / total);
}

std::vector<float> OctaveCentres()
{
    std::vector<float> centres;
    for (float f = 62.5f; f < 17000.0f; f *= 2.0f) {
        centres.push_back(f);
    }
    return centres;
}

std::vector<float> OctaveProfile(const Signal& s)
{
    std::vector<float> profile;
    for (float centre : OctaveCentres()) {
        const float fraction = BandEnergyFraction(s, centre / std::sqrt(2.0f), centre * std::sqrt(2.0f));
        // -120 dB stands for an empty band, so that log never sees zero.
        profile.push_back(10.0f * std::log10(std::max(fraction, 1e-12f)));
    }
    return profile;
}

float SpectralCentroid(const Signal& s)
{
    const std::vector<float> centres = OctaveCentres();
    const std::vector<float> profile = OctaveProfile(s);
    double weighted = 0.0, sum = 0.0;
    for (std::size_t i = 0; i < centres.size(); ++i) {
        const double e = std::pow(10.0, profile[i] / 10.0);
        weighted += e * centres[i];
        sum += e;
    }
    return sum > 0.0 ? static_cast<float>(weighted / sum) : 0.0f;
}

float PitchAt(const Signal& s, double start, double length, float minHz, float maxHz, float clarity)
{
    const std::size_t a = SamplesFor(start);
    const std::size_t n = SamplesFor(length);
    const std::size_t minLag = static_cast<std::size_t>(SampleRate / maxHz);
    const std::size_t maxLag = static_cast<std::size_t>(SampleRate / minHz) + 1;
    if (minLag < 2 || maxLag < minLag || a + n + maxLag + 1 > s.size()) {
        return 0.0f;
    }
    // Formants and noise above the pitch range only blur the periodicity: the window is
    // low-passed at twice the highest pitch first, after a 10 ms run-in that settles the filter.
    const std::size_t runIn = std::min(a, SamplesFor(0.01));
    Biquad lowA(Biquad::Kind::LowPass, 2.0f * maxHz, ButterworthQ4a);
    Biquad lowB(Biquad::Kind::LowPass, 2.0f * maxHz, ButterworthQ4b);
    std::vector<float> w;
    w.reserve(runIn + n + maxLag + 2);
    for (std::size_t i = a - runIn; i < a + n + maxLag + 2; ++i) {
        w.push_back(lowB.Process(lowA.Process(s[i])));
    }
    const float* x = w.data() + runIn;
    // Correlations one lag beyond each end of the range, so that a peak can be told from the
    // edge of the search.
    std::vector<float> r(maxLag + 2, 0.0f);
    float best = 0.0f;
    for (std::size_t lag = minLag - 1; lag <= maxLag + 1; ++lag) {
        double xy = 0.0, xx = 0.0, yy = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            xy += static_cast<double>(x[i]) * x[i + lag];
            xx += static_cast<double>(x[i]) * x[i];
            yy += static_cast<double>(x[i + lag]) * x[i + lag];
        }
        r[lag] = (xx > 0.0 && yy > 0.0) ? static_cast<float>(xy / std::sqrt(xx * yy)) : 0.0f;
    }
    for (std::size_t lag = minLag; lag <= maxLag; ++lag) {
        if (r[lag] > r[lag - 1] && r[lag] >= r[lag + 1]) {
            best = std::max(best, r[lag]);
        }
    }
    if (best < clarity) {
        return 0.0f;
    }
    // The shortest lag that nearly matches the best peak is the period; longer lags that match
    // as well are its multiples (octave errors).
    for (std::size_t lag = minLag; lag <= maxLag; ++lag) {
        if (r[lag] >= 0.9f * best && r[lag] > r[lag - 1] && r[lag] >= r[lag + 1]) {
            // Parabolic interpolation between neighbouring lags for a sub-sample period.
            const float d = r[lag - 1] - 2.0f * r[lag] + r[lag + 1];
            const float shift = d != 0.0f ? 0.5f * (r[lag - 1] - r[lag + 1]) / d : 0.0f;
            return SampleRate / (static_cast<float>(lag) + shift);
        }
    }
    return 0.0f;
}

float MedianPitch(const Signal& s, double from, double to, float minHz, float maxHz)
{
    constexpr double window = 0.05;
    std::vector<float> voiced;
    for (double t = from; t + window <= to; t += window) {
        const float p = PitchAt(s, t, window, minHz, maxHz);
        if (p > 0.0f) {
            voiced.push_back(p);
        }
    }
    if (voiced.empty()) {
        return 0.0f;
    }
    std::nth_element(voiced.begin(), voiced.begin() + static_cast<std::ptrdiff_t>(voiced.size() / 2), voiced.end());
    return voiced[voiced.size() / 2];
}

double AttackTime(const Signal& s)
{
    const std::size_t window = SamplesFor(0.001);
    const std::size_t hop = SamplesFor(0.00025);
    std::vector<double> env;
    for (std::size_t start = 0; start + window <= s.size(); start += hop) {
        double e = 0.0;
        for (std::size_t i = start; i < start + window; ++i) {
            e += static_cast<double>(s[i]) * s[i];
        }
        env.push_back(std::sqrt(e / static_cast<double>(window)));
    }
    if (env.empty()) {
        return 0.0;
    }
    const double top = *std::max_element(env.begin(), env.end());
    const auto first = [&](double level) {
        return static_cast<std::size_t>(std::find_if(env.begin(), env.end(), [&](double x) { return x >= level; }) -
                                        env.begin());
    };
    return SecondsOf((first(0.9 * top) - first(0.1 * top)) * hop);
}

std::size_t LongestRunAtOrAbove(const Signal& s, float level)
{
    std::size_t longest = 0, run = 0;
    for (float x : s) {
        run = std::fabs(x) >= level ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

std::vector<float> RmsEnvelope(const Signal& s, double window)
{
    std::vector<float> env;
    const double length = SecondsOf(s.size());
    for (double t = 0.0; t + window <= length + 1e-9; t += window) {
        env.push_back(RmsBetween(s, t, t + window));
    }
    return env;
}

int CountTransients(const Signal& s, float ratio, float floor)
{
    // 5 ms windows resolve individual pops; the 20 ms look-back is the "before" they rise from.
    constexpr int lookBack = 4;
    const std::vector<float> env = RmsEnvelope(s, 0.005);
    const float top = env.empty() ? 0.0f : *std::max_element(env.begin(), env.end());
    int count = 0;
    for (std::size_t k = lookBack; k < env.size(); ++k) {
        float before = 0.0f;
        for (std::size_t j = k - lookBack; j < k; ++j) {
            before += env[j] / lookBack;
        }
        if (env[k] > ratio * before && env[k] > floor * top) {
            ++count;
            k += lookBack - 1; // one rise is one transient, not one per window of its attack
        }
    }
    return count;
}
