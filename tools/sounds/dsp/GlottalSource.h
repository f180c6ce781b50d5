// Voice source: a train of glottal airflow pulses (Rosenberg shape), radiated from the lips
// (first difference), with cycle-to-cycle pitch jitter and loudness shimmer. Large jitter and
// shimmer plus an alternating-cycle (period-doubling) weight give the rough, broken voices of
// zombies; small values give a plain human grunt.
#pragma once

#include "tools/sounds/dsp/Noise.h"

#include <cstdint>

struct GlottalShape {
    float openQuotient = 0.6f; // share of the cycle with the folds apart
    float jitter = 0.01f;      // relative spread of each cycle's length
    float shimmer = 0.05f;     // relative spread of each cycle's loudness
    float subharmonic = 0.0f;  // 0..1: every other cycle weakened by this much (vocal fry, growl)
};

class GlottalSource {
public:
    GlottalSource(GlottalShape shape, std::uint32_t seed) : shape_(shape), noise_(seed) {}

    // Next sample at fundamental `frequencyHz`; the new frequency takes effect from the next
    // cycle on, as a real larynx only changes between pulses.
    float Next(float frequencyHz);
    void SetShape(const GlottalShape& shape) { shape_ = shape; }

private:
    void StartCycle(float frequencyHz);
    float Flow(float phase) const;

    GlottalShape shape_;
    Noise noise_;
    float phase_ = 1.0f; // starts a cycle on the first sample
    float step_ = 0.0f;
    float amplitude_ = 1.0f;
    bool oddCycle_ = false;
    float lastFlow_ = 0.0f;
};
