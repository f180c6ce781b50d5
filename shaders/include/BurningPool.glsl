// The burning puddle drawn on its flat square: a rounded, ragged pool cut out of the square by
// coverage, and a heat field that grades a hot core through the liquid's colour to sooty edges.
// Everything is a function of the object-space position on the plane (x, z in [-1, 1]); the
// mesh's UVs tile many times over (it also serves as the ground), so they cannot shape the pool.
#ifndef ZORBULON_BURNING_POOL_GLSL
#define ZORBULON_BURNING_POOL_GLSL

#include "Flame.glsl"

// Mean outline radius, in the square's half-widths: with the lobes and the frayed fringe
// added the pool ends within 0.9, so even the middles of the square's sides stay clear.
const float PoolRadius = 0.66;

// The outline swings by up to this fraction of the radius either way: enough to make the spill
// irregular without turning it into a star.
const float OutlineLobes = 0.25;

// Radius of the circle along which the lobe noise is read: about twelve noise cells around the
// outline, which gives five or six lobes, like a splash.
const float LobeCircle = 2.0;

// The coverage fades from this fraction of the outline radius out to the outline itself: a
// wide, soft fringe rather than a cut edge.
const float FeatherStart = 0.6;

// Fine noise moves the fringe in and out by up to half this (in outline radii), so the edge
// frays instead of tracing a clean curve.
const float EdgeFray = 0.16;
const float FrayScale = 4.0; // noise cells per half-width: frays a few tens of centimetres wide

// Noise cells per half-width of the flame mottling: about four hot patches across the pool.
const float FlameScale = 2.2;

// The mottling is read through a slowly varying offset of up to this many half-widths, which
// curls round patches into tongues and swirls.
const float FlameWarp = 0.35;
const float WarpScale = 1.7; // noise cells per half-width of that offset: a few broad swirls

// How strongly the mottling scales the heat; fractal noise mostly lies within 0.5 +- 0.2, so
// patches burn up to about a quarter hotter or cooler than the radial profile.
const float FlameMottle = 1.2;

// The outer quarter of the radius has burnt down to smoke: it still covers the ground (the
// feather starts further out) but no longer glows.
const float SootBand = 0.25;

// Extra heat over the inner 40% of the radius, enough that the middle burns hot whatever the
// mottling does there.
const float CoreBoost = 0.4;

// The hottest flame: a brighter, hotter pink than the liquid, with so little green that the
// tone map keeps it a colour instead of rolling it off to white.
const vec3 HotCore = vec3(3.2, 0.18, 0.4);

// Emitted radiance relative to the liquid's colour: a faint glow in the smoke at the fringe,
// embers where it has nearly burnt out, and full glow where it burns, bright enough to light
// itself at night yet low enough that its hue survives the tone map's shoulder.
const float SmokeGlow = 0.04;
const float EmberGlow = 0.12;
const float LiquidGlow = 0.35;
const float BrightGlow = 1.0;

// Flame detail: noise cells per half-width, and how sharply the ridges peak.
const float DetailScale = 3.5;
const float DetailSharpness = 2.5;
// Share of the heat that flares even between the ridges: the core glows all over.
const float FlareBase = 0.35;
// The flicker brightens and darkens the liquid's glow by up to this share either way.
const float FlickerDepth = 0.5;

// Soot at the fringe reflects almost nothing, with a trace of the liquid's hue.
const vec3 Soot = vec3(0.02, 0.015, 0.02);

// Distance from the centre relative to the outline there (1 on the outline); the outline's
// lobes come from noise read around a circle, so the shape closes on itself.
float PoolDistance(vec2 p)
{
    float r = length(p);
    vec2 direction = r > 1e-5 ? p / r : vec2(1.0, 0.0); // the centre has no direction
    float lobes = ValueNoise(direction * LobeCircle + vec2(3.7, 9.1)); // offset: off the lattice
    return r / (PoolRadius * (1.0 + 2.0 * OutlineLobes * (lobes - 0.5)));
}

// 1 inside the pool, 0 outside, with a frayed gradient in between.
float PoolCoverage(vec2 p)
{
    float fray = EdgeFray * (ValueNoise(p * FrayScale) - 0.5);
    return 1.0 - smoothstep(FeatherStart, 1.0, PoolDistance(p) + fray);
}

// 0 from the sooty fringe outwards, rising to about 1 in the middle, where the fuel is deepest;
// flame noise scales it up and down, so the hot core and the cooler pockets have ragged shapes,
// and the innermost part always burns hottest.
float PoolHeat(vec2 p)
{
    float profile = 1.0 - PoolDistance(p);
    float depth = smoothstep(SootBand, 0.8, profile);
    vec2 warp = vec2(ValueNoise(p * WarpScale + vec2(2.3, 7.9)), ValueNoise(p * WarpScale + vec2(8.1, 3.4)));
    float flame = FlameNoise((p + FlameWarp * 2.0 * (warp - 0.5)) * FlameScale);
    float core = CoreBoost * smoothstep(0.6, 1.0, profile);
    return clamp(depth * (1.0 + FlameMottle * (flame - 0.5)) + core, 0.0, 1.0);
}

// What the liquid reflects: its colour where it burns, soot where it has burnt out.
vec3 PoolAlbedo(vec3 colour, float heat)
{
    return mix(Soot, colour, smoothstep(0.0, 0.35, heat));
}

// Fine flame structure from one noise: `flicker` (0 to 1, high contrast) brightens and darkens
// the glow in patches, `crest` (1 on a ridge where the noise crosses its middle, falling off
// sharply) marks the tongues that flare hottest.
struct FlameDetail {
    float flicker;
    float crest;
};

FlameDetail FineFlames(vec2 p)
{
    float n = FlameNoise(p * DetailScale + vec2(5.3, 1.7)); // offset: unrelated to the mottling
    FlameDetail d;
    d.flicker = smoothstep(0.3, 0.7, n);
    d.crest = pow(1.0 - abs(2.0 * n - 1.0), DetailSharpness);
    return d;
}

// Emitted radiance along the heat: smoke, embers by 0.15, the liquid's own colour by 0.45, at
// full glow by 0.8 (each stage gets a band of the radius); the fine detail flickers the glow
// and decides where, once the heat passes 0.4, the flames flare to the hot core's colour.
vec3 PoolEmission(vec3 colour, float heat, FlameDetail detail)
{
    vec3 glow = colour * mix(SmokeGlow, EmberGlow, smoothstep(0.0, 0.15, heat));
    glow = mix(glow, colour * LiquidGlow, smoothstep(0.15, 0.45, heat));
    glow = mix(glow, colour * BrightGlow, smoothstep(0.45, 0.8, heat));
    glow *= 1.0 - FlickerDepth + 2.0 * FlickerDepth * detail.flicker;
    float flare = heat * (FlareBase + (1.0 - FlareBase) * detail.crest);
    return mix(glow, HotCore, smoothstep(0.4, 0.9, flare));
}

#endif
