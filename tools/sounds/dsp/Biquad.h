// Second-order IIR section with the audio-EQ-cookbook designs (low-pass, high-pass, band-pass,
// peaking). Coefficients can be re-designed while running without clearing the state, so a
// filter can sweep smoothly (a flame's whoosh, a formant glide).
#pragma once

class Biquad {
public:
    enum class Kind { LowPass, HighPass, BandPass, Peaking };

    Biquad() = default;
    Biquad(Kind kind, float frequencyHz, float q, float gainDb = 0.0f) { Design(kind, frequencyHz, q, gainDb); }

    // Band-pass has 0 dB gain at its centre; q is the quality (centre / bandwidth).
    void Design(Kind kind, float frequencyHz, float q, float gainDb = 0.0f);
    float Process(float x);
    void Reset() { z1_ = z2_ = 0.0f; }

    // Gain |H| of the current design at `frequencyHz`.
    float MagnitudeAt(float frequencyHz) const;

private:
    double b0_ = 1.0, b1_ = 0.0, b2_ = 0.0, a1_ = 0.0, a2_ = 0.0;
    float z1_ = 0.0f, z2_ = 0.0f;
};

// Butterworth quality for one second-order section: the flattest pass band.
inline constexpr float ButterworthQ = 0.70710678f;
