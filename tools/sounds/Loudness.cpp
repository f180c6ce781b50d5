#include "tools/sounds/Loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>

double IntegratedLoudness(const Signal& s)
{
    std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> state(ebur128_init(1, SampleRate, EBUR128_MODE_I),
                                                                   [](ebur128_state* st) { ebur128_destroy(&st); });
    if (!state) {
        throw std::runtime_error("cannot start a loudness measurement");
    }
    Signal padded = s;
    padded.resize(std::max(padded.size(), SamplesFor(0.4)), 0.0f);
    if (ebur128_add_frames_float(state.get(), padded.data(), padded.size()) != EBUR128_SUCCESS) {
        throw std::runtime_error("cannot measure loudness");
    }
    double lufs = 0.0;
    if (ebur128_loudness_global(state.get(), &lufs) != EBUR128_SUCCESS) {
        throw std::runtime_error("cannot measure loudness");
    }
    // libebur128 reports silence (everything gated away) as -HUGE_VAL already; keep it -inf.
    return std::isfinite(lufs) ? lufs : -std::numeric_limits<double>::infinity();
}
