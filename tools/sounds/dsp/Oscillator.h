// Phase-accumulating sine oscillator whose frequency may change every sample (pitch sweeps
// of thuds, chirps of bubbles, drifting bell partials) without phase jumps.
#pragma once

class Oscillator {
public:
    explicit Oscillator(double startPhase = 0.0) : phase_(startPhase) {}

    float Sine(float frequencyHz);
    // Phase in cycles, in [0, 1).
    double Phase() const { return phase_; }

private:
    double phase_;
};
