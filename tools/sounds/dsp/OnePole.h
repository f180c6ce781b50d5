// One-pole smoothing filter (6 dB per octave): cheap tone shaping, the brown-noise rumble's
// colour, and the low-pass half of a crossover whose other half is the input minus it.
#pragma once

class OnePole {
public:
    OnePole() = default;
    explicit OnePole(float cutoffHz) { SetCutoff(cutoffHz); }

    void SetCutoff(float cutoffHz);
    float LowPass(float x);
    // The complement of LowPass for the same state: x minus its low-passed part.
    float HighPass(float x) { return x - LowPass(x); }
    void Reset() { state_ = 0.0f; }

private:
    float coefficient_ = 1.0f;
    float state_ = 0.0f;
};
