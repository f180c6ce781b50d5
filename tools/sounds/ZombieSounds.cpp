#include "tools/sounds/ZombieSounds.h"
#include "tools/sounds/SoundAnalysis.h"
#include "tools/sounds/dsp/Grains.h"
#include "tools/sounds/dsp/Noise.h"
#include "tools/sounds/dsp/Voice.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// A zombie's throat is about 15% longer than a man's: every formant sits lower, darker.
constexpr float ZombieTract = 1.15f;

// Throat gurgle: low wet blips (120 to 380 Hz) scattered through a stretch of a voice, at
// `level` times the voice's RMS around each blip, so that they colour it rather than bury it.
void Gurgle(Signal& out, std::uint32_t seed, float from, float to, float ratePerSecond, float level)
{
    Noise noise(seed);
    for (float t = from + noise.ExponentialGap(ratePerSecond); t < to; t += noise.ExponentialGap(ratePerSecond)) {
        MixInto(out, BubbleBlip(noise.Range(120.0f, 380.0f), 1.0f), SamplesFor(t),
                level * RmsBetween(out, t - 0.025, t + 0.025) * noise.Range(0.4f, 1.0f));
    }
}

// The same vowel from a strained throat: the third and fourth formants (2.5 to 3.5 kHz) pushed
// up to `f3` and `f4` of the first, the rasp of a voice forced past its comfort.
Vowel Strained(Vowel v, float f3, float f4)
{
    v.gain[2] = f3;
    v.gain[3] = f4;
    return v;
}

// Overdrive: a throat strained past its limit. Input scaled so `drive` sets how hard.
void Saturate(Signal& s, float drive)
{
    float peak = 0.0f;
    for (float x : s) {
        peak = std::max(peak, std::fabs(x));
    }
    for (float& x : s) {
        x = std::tanh(drive * x / peak);
    }
}

} // namespace

// Long low moan "uuurrh": a rough voice at 85 Hz swelling to 95 and sagging to 68, vowel
// gliding "oo" to "oh" to "uh", with heavy jitter, a hint of vocal fry and a breathy hiss.
Signal ZombieNormal1()
{
    VoiceSettings v;
    v.duration = 1.6f;
    v.pitch = Envelope(85.0f).To(0.5f, 95.0f).To(1.6f, 68.0f, -1.0f);
    v.loudness = Envelope(0.0f).To(0.3f, 1.0f, 1.5f).To(1.0f, 0.85f).To(1.6f, 0.0f, -1.0f);
    v.vowels = {{0.0f, Vowels::Oo}, {0.6f, Vowels::Oh}, {1.3f, Vowels::Uh}};
    v.glottis = {0.65f, 0.03f, 0.15f, 0.15f};
    v.tractLength = ZombieTract;
    v.breath = 0.2f;
    v.brightness = 4500.0f;
    v.aspiration = 0.25f;
    return Speak(v, 701);
}

// Two-beat grunt-groan "hunh... ohhh": a falling 110 to 72 Hz voice in two swells from a
// tighter throat, a strained "ah" closing to "oo", fluttering at 22 Hz and gurgling like phlegm
// in the throat, rasping through its teeth.
Signal ZombieNormal2()
{
    VoiceSettings v;
    v.duration = 1.3f;
    v.pitch = Envelope(110.0f).To(0.3f, 100.0f).To(0.45f, 92.0f).To(1.3f, 72.0f, -1.0f);
    v.loudness = Envelope(0.0f).To(0.06f, 1.0f).To(0.3f, 0.5f).To(0.4f, 0.25f).To(0.55f, 0.95f).To(1.3f, 0.0f, -1.5f);
    v.vowels = {{0.0f, Strained(Vowels::Ah, 0.3f, 0.15f)}, {0.4f, Vowels::Uh}, {0.8f, Vowels::Oh}, {1.2f, Vowels::Oo}};
    v.glottis = {0.6f, 0.03f, 0.2f, 0.25f};
    v.tractLength = ZombieTract * 0.92f; // a smaller, tighter throat than the others
    v.breath = 0.15f;
    v.roughnessHz = 22.0f;
    v.roughnessDepth = 0.45f;
    v.brightness = 5000.0f;
    v.aspiration = 0.3f;
    Signal s = Speak(v, 702);
    Gurgle(s, 705, 0.5f, 1.1f, 15.0f, 0.8f);
    return s;
}

// Deep drawn-out "mmmwoaaah" from the biggest throat: starting nearly closed at 62 Hz, opening
// to "ah" while rising to 80 Hz, then sinking back to 58 Hz on "uh"; breathy, with a slow
// wavering pitch.
Signal ZombieNormal3()
{
    VoiceSettings v;
    v.duration = 1.9f;
    v.pitch = Envelope(62.0f).To(0.8f, 80.0f, 1.0f).To(1.9f, 58.0f, -1.0f);
    v.loudness = Envelope(0.0f).To(0.4f, 0.8f, 1.5f).To(0.9f, 1.0f).To(1.9f, 0.0f, -1.0f);
    v.vowels = {{0.0f, Vowels::Oo}, {0.35f, Vowels::Oo}, {0.9f, Vowels::Ah}, {1.5f, Vowels::Uh}};
    v.glottis = {0.7f, 0.035f, 0.12f, 0.1f};
    v.tractLength = ZombieTract * 1.1f;
    v.breath = 0.2f;
    v.wander = 0.03f;
    v.brightness = 4000.0f;
    v.aspiration = 0.22f;
    return Speak(v, 703);
}

// Aggressive snarl-roar "raaagh": a strained voice leaping from 120 to 165 Hz and falling to
// 100 Hz on a wide-open "ah", rasping (period doubling, 35 Hz flutter, lots of breath) and
// overdriven; bright, hissing, fast attack.
Signal ZombieAttack2()
{
    VoiceSettings v;
    v.duration = 0.95f;
    v.pitch = Envelope(120.0f).To(0.18f, 165.0f, -1.5f).To(0.95f, 100.0f);
    v.loudness = Envelope(0.0f).To(0.03f, 1.0f).To(0.6f, 0.9f).To(0.95f, 0.0f, -1.5f);
    Vowel openAh = Vowels::Ah;
    openAh.gain = {1.0f, 0.9f, 0.6f, 0.4f}; // strained: upper formants pushed up
    v.vowels = {{0.0f, Vowels::Uh}, {0.12f, openAh}, {0.7f, openAh}, {0.95f, Vowels::Er}};
    v.glottis = {0.5f, 0.05f, 0.3f, 0.5f};
    v.tractLength = 1.08f;
    v.breath = 0.6f;
    v.roughnessHz = 35.0f;
    v.roughnessDepth = 0.5f;
    v.brightness = 7000.0f;
    v.aspiration = 0.25f;
    Signal s = Speak(v, 704);
    Saturate(s, 2.5f);
    return s;
}

// Death wail: a strained cry falling from 190 to 55 Hz as the vowel closes from "ah" to "oo",
// the voice breaking up (flutter deepening) and gurgling with throat bubbles towards the end.
Signal ZombieDeath1()
{
    VoiceSettings v;
    v.duration = 1.8f;
    v.pitch = Envelope(190.0f).To(0.3f, 175.0f).To(1.8f, 55.0f, -1.2f);
    v.loudness = Envelope(0.0f).To(0.06f, 1.0f).To(0.9f, 0.8f).To(1.8f, 0.0f, -0.5f);
    v.vowels = {{0.0f, Strained(Vowels::Ah, 0.35f, 0.2f)}, {0.8f, Vowels::Oh}, {1.6f, Vowels::Oo}};
    v.glottis = {0.6f, 0.025f, 0.15f, 0.1f};
    v.tractLength = ZombieTract;
    v.breath = 0.2f;
    v.roughnessHz = 16.0f;
    v.roughnessDepth = 0.35f;
    v.brightness = 6000.0f;
    v.aspiration = 0.3f;
    Signal s = Speak(v, 801);
    Gurgle(s, 802, 0.8f, 1.6f, 25.0f, 1.0f);
    return s;
}

// Choking death gurgle: a short strangled "uhh" sliding from 130 down to 45 Hz into vocal fry
// (strong period doubling), hissing through a collapsing throat, drowned in wet bubbles.
Signal ZombieDeath2()
{
    VoiceSettings v;
    v.duration = 1.5f;
    v.pitch = Envelope(130.0f).To(0.2f, 125.0f).To(1.5f, 45.0f, -0.8f);
    v.loudness = Envelope(0.0f).To(0.05f, 1.0f).To(1.0f, 0.7f).To(1.5f, 0.0f, -1.0f);
    v.vowels = {{0.0f, Vowels::Uh}, {0.7f, Vowels::Oh}, {1.3f, Vowels::Oo}};
    v.glottis = {0.55f, 0.035f, 0.25f, 0.3f};
    v.tractLength = ZombieTract * 1.1f; // the throat collapsing
    v.breath = 0.25f;
    v.roughnessHz = 11.0f;
    v.roughnessDepth = 0.45f;
    v.brightness = 3000.0f;
    v.aspiration = 0.5f;
    Signal s = Speak(v, 811);
    Gurgle(s, 812, 0.25f, 1.35f, 40.0f, 1.2f);
    return s;
}
