// A mono sound as float samples in [-1, 1] at the one rate every generated sound uses.
#pragma once

#include <cstddef>
#include <vector>

// 44.1 kHz keeps crackles and crunches crisp up to the top of hearing; 16-bit mono at this rate
// is still under 180 KB for the longest (two-second) sound.
inline constexpr int SampleRate = 44100;

using Signal = std::vector<float>;

inline std::size_t SamplesFor(double seconds)
{
    return static_cast<std::size_t>(seconds * SampleRate + 0.5);
}
inline double SecondsOf(std::size_t samples)
{
    return static_cast<double>(samples) / SampleRate;
}

// Adds `source` × gain into `target` starting at sample `offset`, growing nothing: what would
// land past the end of `target` is dropped.
void MixInto(Signal& target, const Signal& source, std::size_t offset, float gain = 1.0f);
