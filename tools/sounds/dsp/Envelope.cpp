#include "tools/sounds/dsp/Envelope.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

Envelope& Envelope::To(float time, float level, float curve)
{
    if (!points_.empty() && time < points_.back().time) {
        throw std::invalid_argument("envelope points must not go back in time");
    }
    points_.push_back({time, level, curve});
    return *this;
}

float Envelope::At(float time) const
{
    if (points_.empty()) {
        return 0.0f;
    }
    if (time <= points_.front().time) {
        return points_.front().level;
    }
    for (std::size_t i = 1; i < points_.size(); ++i) {
        const Point& a = points_[i - 1];
        const Point& b = points_[i];
        if (time >= b.time) {
            continue;
        }
        float u = (time - a.time) / (b.time - a.time);
        // Exponential bend, normalised so that the segment still runs from a to b exactly.
        if (std::fabs(b.curve) > 1e-4f) {
            u = (std::exp(b.curve * u) - 1.0f) / (std::exp(b.curve) - 1.0f);
        }
        return a.level + u * (b.level - a.level);
    }
    return points_.back().level;
}

float Envelope::AttackDecay(float time, float attack, float decay)
{
    if (time < 0.0f) {
        return 0.0f;
    }
    if (time < attack) {
        return std::sin(0.5f * std::numbers::pi_v<float> * time / attack);
    }
    return std::exp(-(time - attack) / decay);
}
