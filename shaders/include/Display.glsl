// From linear scene colour to what the UNORM swap chain shows: tone map, then gamma encode.
#ifndef ZORBULON_DISPLAY_GLSL
#define ZORBULON_DISPLAY_GLSL

// The swap chain is UNORM and monitors expect roughly sRGB, so write colour^(1/2.2).
const float DisplayGamma = 2.2;

vec3 GammaEncode(vec3 linearColour)
{
    return pow(clamp(linearColour, 0.0, 1.0), vec3(1.0 / DisplayGamma));
}

// Narkowicz's fit of the ACES film curve: its toe keeps the night dark and its shoulder rolls
// lights of up to 2.0 (and their highlights) off smoothly instead of clipping them to white.
vec3 ToneMapAces(vec3 x)
{
    const float a = 2.51;
    const float b = 0.03;
    const float c = 2.43;
    const float d = 0.59;
    const float e = 0.14;
    x = max(x, vec3(0.0));
    return clamp((x * (a * x + b)) / (x * (c * x + d) + e), 0.0, 1.0);
}

vec3 ToDisplay(vec3 linearColour)
{
    return GammaEncode(ToneMapAces(linearColour));
}

// Emissive sources (light markers) show their own hue at full strength: scale down by the
// largest channel instead of clipping each channel, which would shift the hue.
vec3 ClampPreservingHue(vec3 colour)
{
    float peak = max(max(colour.r, colour.g), colour.b);
    return colour / max(peak, 1.0);
}

#endif
