// Final treatment of every generated sound: sub-sonic and DC removal, short fades so playback
// starts and stops without clicks, and peak normalisation to the sound's target level.
#pragma once

#include "tools/sounds/dsp/Signal.h"

// -1 dBFS: loud, with headroom for the 16-bit rounding and for resampling in the mixer.
inline constexpr float DefaultPeak = 0.891f;

struct MasteringSettings {
    float peak = DefaultPeak;
    float fadeIn = 0.002f;  // seconds; short enough to keep a sharp attack sharp
    float fadeOut = 0.015f; // seconds; long enough that a cut-off tail does not click
};

// Removes rumble below ~20 Hz and the mean, so the sound sits centred on zero.
void RemoveDc(Signal& signal);
// Raised-cosine fades over the first and last samples.
void ApplyFades(Signal& signal, float fadeInSeconds, float fadeOutSeconds);
// Scales so that the largest magnitude is `peak`. Throws std::invalid_argument for a silent
// signal (nothing to scale: a broken recipe) or one holding NaN or infinity.
void NormalisePeak(Signal& signal, float peak);

// All of the above, in that order.
void Master(Signal& signal, const MasteringSettings& settings = {});
