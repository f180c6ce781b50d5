// How far a point light's light carries: past that distance it cannot change an 8-bit pixel, so
// a draw wholly outside it need not loop over the light.
#pragma once

#include "app/Lights.h"

// Half an 8-bit step of output: below it a contribution rounds away.
inline constexpr float NegligibleContribution = 0.5f / 255.0f;

// The most a surface of this perceptual roughness sends towards the eye of a light's radiance, in
// the shaders' metallic-roughness model (Pbr.glsl), and never under 1: a smooth surface's
// highlight multiplies the light thousands of times, so a light too faint to show on a matte
// wall can still glint on it.
float SurfaceLightGain(float roughness);

// The distance at which the light's brightest channel, attenuated by its own constant, linear and
// quadratic terms and multiplied by the surface's gain (its ambient term by 1), falls under
// NegligibleContribution; infinity for a light whose attenuation never falls that far (no
// positive distance term, or terms that are not finite).
float PointLightReach(const PointLight& light, float surfaceGain = 1.0f);
