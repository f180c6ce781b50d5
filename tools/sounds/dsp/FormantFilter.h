// Vocal tract model: parallel band-pass resonators at the formant frequencies of a vowel,
// each with its own level. Vowels can be blended, so a voice can glide between them.
#pragma once

#include "tools/sounds/dsp/Biquad.h"

#include <array>

struct Vowel {
    static constexpr int Formants = 4;
    std::array<float, Formants> frequency; // Hz
    std::array<float, Formants> bandwidth; // Hz
    std::array<float, Formants> gain;      // linear level of each resonance

    // The vowel a fraction t of the way from a to b.
    static Vowel Blend(const Vowel& a, const Vowel& b, float t);
    // The same vowel from a vocal tract `factor` times as long (formants scale by 1 / factor).
    Vowel Lengthened(float factor) const;
};

// Adult male formants (Peterson and Barney averages), levels falling with frequency as in speech.
namespace Vowels {
inline constexpr Vowel Oo{{300, 870, 2240, 3300}, {60, 90, 120, 200}, {1.0f, 0.35f, 0.06f, 0.03f}};
inline constexpr Vowel Oh{{570, 840, 2410, 3300}, {70, 90, 120, 200}, {1.0f, 0.5f, 0.08f, 0.03f}};
inline constexpr Vowel Ah{{730, 1090, 2440, 3400}, {90, 110, 140, 220}, {1.0f, 0.5f, 0.12f, 0.05f}};
inline constexpr Vowel Uh{{520, 1190, 2390, 3300}, {80, 100, 130, 200}, {1.0f, 0.4f, 0.08f, 0.04f}};
inline constexpr Vowel Er{{490, 1350, 1690, 3300}, {80, 100, 120, 200}, {1.0f, 0.3f, 0.12f, 0.03f}};
inline constexpr Vowel Ee{{270, 2290, 3010, 3700}, {60, 110, 150, 220}, {1.0f, 0.2f, 0.1f, 0.04f}};
} // namespace Vowels

class FormantFilter {
public:
    explicit FormantFilter(const Vowel& vowel) { SetVowel(vowel); }

    void SetVowel(const Vowel& vowel);
    float Process(float x);
    // Gain of the whole bank at `frequencyHz`, adding the resonators' magnitudes (an upper bound
    // of the true parallel response, exact at a formant where one resonator dominates).
    float MagnitudeAt(float frequencyHz) const;

private:
    std::array<Biquad, Vowel::Formants> resonators_;
    std::array<float, Vowel::Formants> gains_{};
};
