// A voice: glottal pulses with a pitch contour, breath noise riding on the pulses, a vocal
// tract gliding through vowels, and a slow loudness shape. Zombie groans, snarls and death
// wails, and the player's grunt, are all voices with different settings.
#pragma once

#include "tools/sounds/dsp/Envelope.h"
#include "tools/sounds/dsp/FormantFilter.h"
#include "tools/sounds/dsp/GlottalSource.h"
#include "tools/sounds/dsp/Signal.h"

#include <cstdint>
#include <vector>

struct VowelKey {
    float time; // seconds
    Vowel vowel;
};

struct VoiceSettings {
    float duration = 1.0f;
    Envelope pitch{100.0f};  // fundamental, Hz
    Envelope loudness{1.0f}; // amplitude shape
    std::vector<VowelKey> vowels{{0.0f, Vowels::Uh}};
    GlottalShape glottis;
    float tractLength = 1.0f; // >1: a longer, deeper throat (all formants lower)
    float breath = 0.1f;      // level of turbulent noise relative to the pulses
    float wander = 0.02f;     // relative depth of slow random pitch drift
    float roughnessHz = 0.0f; // rate of a rapid amplitude flutter (growl); 0 for none
    float roughnessDepth = 0.0f;
    float brightness = 3000.0f; // Hz, corner of the final darkening low-pass
    // Turbulence at the glottis and in a raw throat, heard above 2 kHz as breath and rasp: noise
    // band-passed around 3 kHz, puffing with each pulse, added past the darkening low-pass at
    // this level relative to the voice's own RMS.
    float aspiration = 0.0f;
};

Signal Speak(const VoiceSettings& settings, std::uint32_t seed);
