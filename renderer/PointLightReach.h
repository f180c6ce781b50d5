// How far a point light's light carries: past that distance it cannot change an 8-bit pixel, so
// a draw wholly outside it need not loop over the light.
#pragma once

#include "app/Lights.h"

// Half an 8-bit step of output: below it a contribution rounds away.
inline constexpr float NegligibleContribution = 0.5f / 255.0f;

// The distance at which the light's brightest channel (direct or ambient), attenuated by its own
// constant, linear and quadratic terms, falls under NegligibleContribution; infinity for a light
// whose attenuation never falls that far (no positive distance term, or terms that are not finite).
float PointLightReach(const PointLight& light);
