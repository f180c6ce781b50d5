// Where a sound's energy lies in frequency, from one FFT of the whole sound: how much of it sits
// in the high band that ears use to place a sound and to tell a voice's breath from a hum.
#pragma once

#include "tools/sounds/dsp/Signal.h"

#include <vector>

// Energy per FFT bin of the whole signal (bin k is k × SampleRate / size Hz), DC to Nyquist.
std::vector<double> PowerSpectrum(const Signal& s);

// Share of the energy at or above `cutoffHz` (0 for a silent signal).
float HighBandShare(const Signal& s, float cutoffHz = 2000.0f);

// Energy in third-octave bands centred on 100 Hz .. 8 kHz, in dB relative to the total
// (-120 dB for an empty band).
std::vector<float> ThirdOctaveProfile(const Signal& s);
