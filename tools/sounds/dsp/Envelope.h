// Breakpoint envelope: levels joined by straight or bent segments, for amplitude shapes,
// pitch contours and filter sweeps. Before the first point it holds the first level, after the
// last point the last level.
#pragma once

#include <vector>

class Envelope {
public:
    Envelope() = default;
    explicit Envelope(float startLevel) { points_.push_back({0.0f, startLevel, 0.0f}); }

    // Adds a point at `time` (seconds, not before the previous point). `curve` bends the segment
    // that ends here: 0 is a straight line, negative moves fast first (like a natural decay or
    // a plucked attack), positive moves slowly first.
    Envelope& To(float time, float level, float curve = 0.0f);

    float At(float time) const;
    float Duration() const { return points_.empty() ? 0.0f : points_.back().time; }

    // Rise to 1 over `attack` seconds (a quarter sine, which has no corner at the top), then fall
    // exponentially with time constant `decay`.
    static float AttackDecay(float time, float attack, float decay);

private:
    struct Point {
        float time;
        float level;
        float curve;
    };
    std::vector<Point> points_;
};
