#version 450
// Blended actors: lit like the opaque meshes, faded by their opacity and the grass alpha mask;
// the untextured, strongly coloured burning puddle also glows with a static flame pattern.
#extension GL_GOOGLE_include_directive : require

#include "LitSurface.glsl"
#include "Flame.glsl"

layout(location = 7) in vec3 objectPosition;

layout(location = 0) out vec4 outColour;

// Below this alpha a fragment adds nothing visible; dropping it also keeps the mask's filtered
// fringe, where the diffuse texture holds background colour, from darkening the grass outline.
const float MinVisibleAlpha = 0.1;

// Flame cells per object-space unit: the puddle mesh spans 2 units, so about five tongues cross it.
const float FlameScale = 2.5;

// The white-yellow of the hottest flame, mixed into the liquid's own colour where it burns.
const vec3 HotCore = vec3(1.0, 0.75, 0.45);

// The mask may be a grey image with opaque alpha or a white one with the mask in alpha;
// the smaller of red and alpha reads both.
float MaskAlpha()
{
    if (!HasTexture(SlotAlphaMask))
        return 1.0;
    vec4 mask = SampleSlot(SlotAlphaMask, texCoords);
    return min(mask.r, mask.a);
}

// Untextured billboards glow in proportion to how saturated their colour is: the grey bubble
// spray stays a lit surface, the magenta burning liquid (1, 0, 0.5) burns.
float GlowAmount(vec3 colour)
{
    if (HasTexture(SlotDiffuse))
        return 0.0;
    float peak = max(max(colour.r, colour.g), colour.b);
    float low = min(min(colour.r, colour.g), colour.b);
    float saturation = peak > 0.0 ? (peak - low) / peak : 0.0;
    return smoothstep(0.5, 0.9, saturation);
}

// Emitted radiance of burning liquid: dim where the pattern is low, several times the base
// colour in the tongues (which the tone map's shoulder turns into a glare), white-hot at peaks.
vec3 Flame(vec3 colour)
{
    float heat = FlameNoise(objectPosition.xz * FlameScale);
    heat *= heat; // squaring separates the tongues from the darker liquid between them
    return colour * (0.6 + 2.4 * heat) + HotCore * (1.5 * heat * heat);
}

void main()
{
    float alpha = clamp(materialValues.w, 0.0, 1.0) * MaskAlpha();
    if (alpha < MinVisibleAlpha)
        discard;

    vec3 albedo = BaseColour();
    Surface s = LitSurface(albedo);
    vec3 radiance = ShadeSurface(s) + GlowAmount(albedo) * Flame(albedo);
    outColour = vec4(ToDisplay(radiance), alpha);
}
