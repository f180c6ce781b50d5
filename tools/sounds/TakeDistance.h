// How far apart two takes of one sound are, for telling them apart by ear: by colour (the shape
// of their spectra) and by the way their loudness moves in time.
#pragma once

#include "tools/sounds/dsp/Signal.h"

// RMS over the third-octave bands (100 Hz .. 8 kHz) of the difference in dB between the two
// sounds' band levels, each relative to its own total. Bands are floored at -60 dB, below
// which a band is not heard next to the rest. 0 for the same colour at any level.
float SpectralDistance(const Signal& a, const Signal& b);

// RMS difference in dB of the two sounds' 20 ms loudness envelopes, each relative to its own
// loudest window and floored at -40 dB, over the longer sound (the shorter one is silent past
// its end). 0 for the same shape at any level.
float EnvelopeDistance(const Signal& a, const Signal& b);
