#version 450
// Blended actors: lit like the opaque meshes, faded by their opacity and the grass alpha mask;
// the burning puddle instead is cut into a ragged pool that glows with a static flame pattern.
#extension GL_GOOGLE_include_directive : require

#include "LitSurface.glsl"
#include "BurningPool.glsl"

layout(location = 7) in vec3 objectPosition;

layout(location = 0) out vec4 outColour;

// Below this alpha a fragment adds nothing visible; dropping it also keeps the mask's filtered
// fringe, where the diffuse texture holds background colour, from darkening the grass outline.
const float MinVisibleAlpha = 0.1;

// The pool's fringe fades on down to the last 8-bit step, so its gradient ends without a rim.
const float MinPoolAlpha = 1.0 / 255.0;

// Colours at least this saturated burn. The puddle's magenta (1, 0, 0.5) is fully saturated;
// the grey bubble spray (0) and paler colours such as a pale blue (0.6) stay lit surfaces.
const float BurningSaturation = 0.8;

// The mask may be a grey image with opaque alpha or a white one with the mask in alpha;
// the smaller of red and alpha reads both.
float MaskAlpha()
{
    if (!HasTexture(SlotAlphaMask))
        return 1.0;
    vec4 mask = SampleSlot(SlotAlphaMask, texCoords);
    return min(mask.r, mask.a);
}

float Saturation(vec3 colour)
{
    float peak = max(max(colour.r, colour.g), colour.b);
    float low = min(min(colour.r, colour.g), colour.b);
    return peak > 0.0 ? (peak - low) / peak : 0.0;
}

// The burning liquid is the one billboard drawn from its colour alone (no diffuse texture, no
// mask) in a strongly saturated hue. The test depends only on the draw's material, so every
// fragment of a draw takes the same path: a pool is never half square, a tuft never half fire.
bool IsBurningLiquid()
{
    return !HasTexture(SlotDiffuse) && !HasTexture(SlotAlphaMask) &&
           Saturation(colourAndMetallic.rgb) >= BurningSaturation;
}

void main()
{
    float opacity = clamp(materialValues.w, 0.0, 1.0);

    if (IsBurningLiquid()) {
        vec2 p = objectPosition.xz; // the plane lies on y = 0 of its object space
        float alpha = opacity * PoolCoverage(p);
        if (alpha < MinPoolAlpha)
            discard;
        float heat = PoolHeat(p);
        Surface s = LitSurface(PoolAlbedo(colourAndMetallic.rgb, heat));
        vec3 radiance = ShadeSurface(s) + PoolEmission(colourAndMetallic.rgb, heat, FineFlames(p));
        outColour = vec4(ToDisplay(radiance), alpha);
        return;
    }

    float alpha = opacity * MaskAlpha();
    if (alpha < MinVisibleAlpha)
        discard;
    Surface s = LitSurface(BaseColour());
    outColour = vec4(ToDisplay(ShadeSurface(s)), alpha);
}
