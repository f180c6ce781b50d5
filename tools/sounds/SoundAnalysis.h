// Measurements of a sound, for checking generated content by numbers: levels, where the energy
// lies in time and frequency, and the pitch of voiced parts.
#pragma once

#include "tools/sounds/dsp/Signal.h"

#include <vector>

float Peak(const Signal& s);
float Rms(const Signal& s);
float Mean(const Signal& s);
// RMS of the samples between the two times (seconds), clamped to the signal.
float RmsBetween(const Signal& s, double from, double to);

// Share of the total energy that lies before `seconds`.
float EnergyFractionBefore(const Signal& s, double seconds);
// Share of the total energy between loHz and hiHz (4th-order Butterworth band edges; 0 for loHz
// or a hiHz at or above Nyquist leaves that side open).
float BandEnergyFraction(const Signal& s, float loHz, float hiHz);
// Energy-weighted mean frequency (Hz), from the octave band profile.
float SpectralCentroid(const Signal& s);
// Energy in octave bands centred on 63 Hz .. 16 kHz, in dB relative to the total.
std::vector<float> OctaveProfile(const Signal& s);
// Centre frequencies of OctaveProfile's bands.
std::vector<float> OctaveCentres();

// Fundamental of the window [start, start + length) by normalised autocorrelation, searched
// between minHz and maxHz; 0 when the window is not voiced (best correlation below `clarity`).
float PitchAt(const Signal& s, double start, double length, float minHz, float maxHz, float clarity = 0.5f);
// Median of the voiced pitches of consecutive 50 ms windows; 0 when none is voiced.
float MedianPitch(const Signal& s, double from, double to, float minHz, float maxHz);

// Attack time in seconds: from the sound's 1 ms RMS envelope (in 0.25 ms steps) first reaching
// 10% of its maximum to first reaching 90% of it. A shot's crack takes a few milliseconds, a
// swelling groan a few hundred.
double AttackTime(const Signal& s);

// Longest run of consecutive samples whose magnitude is at least `level`.
std::size_t LongestRunAtOrAbove(const Signal& s, float level);
// RMS of consecutive windows of `window` seconds.
std::vector<float> RmsEnvelope(const Signal& s, double window);
// Number of sudden rises: windows (5 ms) whose RMS is `ratio` times the mean RMS of the 20 ms
// before them and above `floor` × the sound's peak window RMS. Pops, crackles, footfalls.
int CountTransients(const Signal& s, float ratio, float floor);
