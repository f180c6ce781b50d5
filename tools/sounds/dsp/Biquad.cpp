#include "tools/sounds/dsp/Biquad.h"
#include "tools/sounds/dsp/Signal.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

void Biquad::Design(Kind kind, float frequencyHz, float q, float gainDb)
{
    // Keep the corner strictly inside (0, Nyquist): sweeps computed from envelopes may overshoot.
    const double f = std::clamp(static_cast<double>(frequencyHz), 10.0, 0.49 * SampleRate);
    const double w = 2.0 * std::numbers::pi * f / SampleRate;
    const double cw = std::cos(w);
    const double alpha = std::sin(w) / (2.0 * std::max(static_cast<double>(q), 0.05));
    double b0 = 0, b1 = 0, b2 = 0, a0 = 1, a1 = 0, a2 = 0;
    switch (kind) {
    case Kind::LowPass:
        b0 = (1.0 - cw) / 2.0, b1 = 1.0 - cw, b2 = (1.0 - cw) / 2.0;
        a0 = 1.0 + alpha, a1 = -2.0 * cw, a2 = 1.0 - alpha;
        break;
    case Kind::HighPass:
        b0 = (1.0 + cw) / 2.0, b1 = -(1.0 + cw), b2 = (1.0 + cw) / 2.0;
        a0 = 1.0 + alpha, a1 = -2.0 * cw, a2 = 1.0 - alpha;
        break;
    case Kind::BandPass:
        b0 = alpha, b1 = 0.0, b2 = -alpha;
        a0 = 1.0 + alpha, a1 = -2.0 * cw, a2 = 1.0 - alpha;
        break;
    case Kind::Peaking: {
        const double a = std::pow(10.0, gainDb / 40.0);
        b0 = 1.0 + alpha * a, b1 = -2.0 * cw, b2 = 1.0 - alpha * a;
        a0 = 1.0 + alpha / a, a1 = -2.0 * cw, a2 = 1.0 - alpha / a;
        break;
    }
    }
    b0_ = b0 / a0, b1_ = b1 / a0, b2_ = b2 / a0, a1_ = a1 / a0, a2_ = a2 / a0;
}

float Biquad::Process(float x)
{
    // Transposed direct form II: two state words, well behaved when coefficients change.
    const double y = b0_ * x + z1_;
    z1_ = static_cast<float>(b1_ * x - a1_ * y + z2_);
    z2_ = static_cast<float>(b2_ * x - a2_ * y);
    return static_cast<float>(y);
}

float Biquad::MagnitudeAt(float frequencyHz) const
{
    const double w = 2.0 * std::numbers::pi * frequencyHz / SampleRate;
    const std::complex<double> z1 = std::polar(1.0, -w);
    const std::complex<double> z2 = z1 * z1;
    const std::complex<double> h = (b0_ + b1_ * z1 + b2_ * z2) / (1.0 + a1_ * z1 + a2_ * z2);
    return static_cast<float>(std::abs(h));
}
