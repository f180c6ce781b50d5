// Seeded noise and random draws for the sound recipes: the same seed gives the same sound on
// every machine, because the mapping from generator words to floats is done here, not by the
// standard library's distributions (whose algorithms differ between implementations).
#pragma once

#include <cstdint>
#include <random>

class Noise {
public:
    explicit Noise(std::uint32_t seed) : engine_(seed) {}

    // Uniform in [0, 1).
    float Unit();
    // Uniform in [a, b).
    float Range(float a, float b) { return a + Unit() * (b - a); }
    // Uniform white noise in [-1, 1).
    float White() { return Range(-1.0f, 1.0f); }
    // Uniform integer in [0, count).
    int Index(int count);
    // Waiting time (seconds) to the next event of a Poisson process with `ratePerSecond`.
    float ExponentialGap(float ratePerSecond);

private:
    std::mt19937 engine_;
};

// Brown (integrated, 1/f^2) noise: the rumble under fire and the body of thuds.
class BrownNoise {
public:
    explicit BrownNoise(std::uint32_t seed) : noise_(seed) {}
    float Next();

private:
    Noise noise_;
    float state_ = 0.0f;
};
