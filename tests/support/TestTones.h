// Pure tones for checking the sound tools' measurements on signals whose answer is known.
#pragma once

#include "tools/sounds/SoundAnalysis.h"
#include "tools/sounds/dsp/Oscillator.h"

inline Signal Tone(float hz, double seconds, float amplitude = 1.0f)
{
    Oscillator osc;
    Signal s(SamplesFor(seconds));
    for (float& x : s) {
        x = amplitude * osc.Sine(hz);
    }
    return s;
}
