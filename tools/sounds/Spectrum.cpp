#include "tools/sounds/Spectrum.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

std::vector<double> PowerSpectrum(const Signal& s)
{
    const std::size_t n = s.size();
    if (n == 0) {
        return {};
    }
    std::vector<double> in(s.begin(), s.end());
    std::unique_ptr<fftw_complex, decltype(&fftw_free)> out(
        static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * (n / 2 + 1))), fftw_free);
    // ESTIMATE plans without timing trials: one transform per sound, and the same result every run.
    fftw_plan plan = fftw_plan_dft_r2c_1d(static_cast<int>(n), in.data(), out.get(), FFTW_ESTIMATE);
    fftw_execute(plan);
    fftw_destroy_plan(plan);
    std::vector<double> power(n / 2 + 1);
    for (std::size_t k = 0; k < power.size(); ++k) {
        // Bins other than DC and Nyquist stand for their negative-frequency twin too.
        const bool single = k == 0 || (n % 2 == 0 && k == n / 2);
        power[k] = (single ? 1.0 : 2.0) * (out.get()[k][0] * out.get()[k][0] + out.get()[k][1] * out.get()[k][1]);
    }
    return power;
}

namespace {

double BinHz(std::size_t k, std::size_t samples)
{
    return static_cast<double>(k) * SampleRate / static_cast<double>(samples);
}

double EnergyBetween(const std::vector<double>& power, std::size_t samples, double loHz, double hiHz)
{
    double e = 0.0;
    for (std::size_t k = 0; k < power.size(); ++k) {
        const double f = BinHz(k, samples);
        if (f >= loHz && f < hiHz) {
            e += power[k];
        }
    }
    return e;
}

} // namespace

float HighBandShare(const Signal& s, float cutoffHz)
{
    const std::vector<double> power = PowerSpectrum(s);
    const double total = std::accumulate(power.begin(), power.end(), 0.0);
    if (total <= 0.0) {
        return 0.0f;
    }
    return static_cast<float>(EnergyBetween(power, s.size(), cutoffHz, SampleRate) / total);
}

std::vector<float> ThirdOctaveProfile(const Signal& s)
{
    const std::vector<double> power = PowerSpectrum(s);
    const double total = std::accumulate(power.begin(), power.end(), 0.0);
    std::vector<float> profile;
    // Band n is centred on 1000 × 2^(n/3) Hz: n = -10 is 100 Hz, n = 9 is 8 kHz.
    for (int n = -10; n <= 9; ++n) {
        const double centre = 1000.0 * std::pow(2.0, n / 3.0);
        const double edge = std::pow(2.0, 1.0 / 6.0);
        const double e = total > 0.0 ? EnergyBetween(power, s.size(), centre / edge, centre * edge) / total : 0.0;
        profile.push_back(static_cast<float>(10.0 * std::log10(std::max(e, 1e-12))));
    }
    return profile;
}
