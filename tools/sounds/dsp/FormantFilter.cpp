#include "tools/sounds/dsp/FormantFilter.h"

Vowel Vowel::Blend(const Vowel& a, const Vowel& b, float t)
{
    Vowel v = a;
    for (int i = 0; i < Formants; ++i) {
        v.frequency[i] = a.frequency[i] + t * (b.frequency[i] - a.frequency[i]);
        v.bandwidth[i] = a.bandwidth[i] + t * (b.bandwidth[i] - a.bandwidth[i]);
        v.gain[i] = a.gain[i] + t * (b.gain[i] - a.gain[i]);
    }
    return v;
}

Vowel Vowel::Lengthened(float factor) const
{
    Vowel v = *this;
    for (float& f : v.frequency) {
        f /= factor;
    }
    return v;
}

void FormantFilter::SetVowel(const Vowel& vowel)
{
    for (int i = 0; i < Vowel::Formants; ++i) {
        resonators_[i].Design(Biquad::Kind::BandPass, vowel.frequency[i], vowel.frequency[i] / vowel.bandwidth[i]);
        gains_[i] = vowel.gain[i];
    }
}

float FormantFilter::Process(float x)
{
    float y = 0.0f;
    for (int i = 0; i < Vowel::Formants; ++i) {
        y += gains_[i] * resonators_[i].Process(x);
    }
    return y;
}

float FormantFilter::MagnitudeAt(float frequencyHz) const
{
    float m = 0.0f;
    for (int i = 0; i < Vowel::Formants; ++i) {
        m += gains_[i] * resonators_[i].MagnitudeAt(frequencyHz);
    }
    return m;
}
