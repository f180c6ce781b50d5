// Loudness as a listener hears it (ITU-R BS.1770, K-weighted and gated), by libebur128: the
// measure that evens out sounds of different colour and length, where peak level does not.
#pragma once

#include "tools/sounds/dsp/Signal.h"

// Integrated loudness in LUFS of a mono sound played on one front speaker. A sound shorter than
// one 400 ms gating block is measured as that block (padded with silence), so that a footstep
// has a loudness too. -inf for silence.
double IntegratedLoudness(const Signal& s);
