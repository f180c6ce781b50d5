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

// Noise cells per object-space unit: the puddle mesh spans 2 units, so about five cells cross it.
const float FlameScale = 2.5;

// The orange of the hottest flame, added to the liquid's own colour where it burns.
const vec3 HotCore = vec3(1.0, 0.35, 0.05);

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

// Emitted radiance of burning liquid: a steady glow of its own colour, and where the noise
// reaches its upper range (fractal noise mostly sits near 0.5) flames with an orange core,
// bright enough for the tone map's shoulder to turn them into glare.
vec3 Flame(vec3 colour)
{
    float heat = smoothstep(0.4, 0.8, FlameNoise(objectPosition.xz * FlameScale));
    return colour * (0.4 + heat) + HotCore * (2.0 * heat * heat);
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
