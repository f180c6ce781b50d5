// Short sound grains that recipes scatter in time: a bubble's blip and a band of noise struck
// once (a crackle, a grain of grit under a boot, a drop of a splash).
#pragma once

#include "tools/sounds/dsp/Noise.h"
#include "tools/sounds/dsp/Signal.h"

// A gas bubble ringing as it forms or bursts: a sine at the bubble's resonance whose pitch
// rises as the bubble shrinks, decaying with the damping of a bubble of that size (van den Doel's
// model). `rise` scales the upward glide (0: none, 1: the usual amount). Peak about 1.
Signal BubbleBlip(float frequencyHz, float rise);

// White noise through a band-pass at `centreHz` (quality q) under a sharp exponential decay
// with time constant `decay` seconds. Peak about 1.
Signal NoiseGrain(Noise& noise, float centreHz, float q, float decay);
