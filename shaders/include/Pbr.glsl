// Metallic-roughness shading: Cook-Torrance with GGX distribution, Smith/Schlick-GGX
// visibility and Schlick Fresnel, summed over the draw's own point lights, the spot and the moon.
#ifndef ZORBULON_PBR_GLSL
#define ZORBULON_PBR_GLSL

#include "Lights.glsl"
#include "Material.glsl"

const float Pi = 3.14159265359;

// Dielectrics reflect about 4% at normal incidence (index of refraction near 1.5).
const vec3 DielectricF0 = vec3(0.04);

// Below this perceptual roughness GGX turns into a spike that point lights render as
// flickering single-pixel highlights (the same floor Filament uses for half floats).
const float MinRoughness = 0.089;

// Keeps the specular denominator 4 (N.V)(N.L) away from zero at grazing angles.
const float MinSpecularDenominator = 1e-4;

struct Surface {
    vec3 position;
    vec3 normal;    // unit, world space
    vec3 toCamera;  // unit, world space
    vec3 albedo;    // linear
    float metallic;
    float roughness;
    float occlusion;
};

// What every light's term shares at one surface point, worked out once rather than once a
// light: the software rasterizer runs the loop as written.
struct SurfaceTerms {
    float nDotV;
    float alpha2;         // GGX's alpha squared; roughness is perceptual (Disney's remap)
    float k;              // Smith's k: (r + 1)^2 / 8 is Karis's remap for punctual lights
    float viewVisibility; // Schlick-GGX towards the camera
    vec3 f0;
    vec3 diffuse; // the albedo's diffuse share before Fresnel: metals absorb what they refract
};

float GeometrySchlickGgx(float nDotX, float k)
{
    return nDotX / (nDotX * (1.0 - k) + k);
}

SurfaceTerms Terms(Surface s)
{
    SurfaceTerms t;
    t.nDotV = max(dot(s.normal, s.toCamera), 0.0);
    float roughness = max(s.roughness, MinRoughness);
    float alpha = roughness * roughness;
    t.alpha2 = alpha * alpha;
    float r = roughness + 1.0;
    t.k = r * r / 8.0;
    t.viewVisibility = GeometrySchlickGgx(t.nDotV, t.k);
    t.f0 = mix(DielectricF0, s.albedo, s.metallic);
    t.diffuse = s.albedo * ((1.0 - s.metallic) / Pi);
    return t;
}

float DistributionGgx(float nDotH, float alpha2)
{
    float d = nDotH * nDotH * (alpha2 - 1.0) + 1.0;
    return alpha2 / (Pi * d * d);
}

vec3 FresnelSchlick(float cosTheta, vec3 f0)
{
    float x = clamp(1.0 - cosTheta, 0.0, 1.0);
    float x2 = x * x;
    return f0 + (1.0 - f0) * (x2 * x2 * x); // the fifth power by multiplication: pow is exp2(log2)
}

// Outgoing radiance towards the camera from one light arriving along `towardsLight`.
vec3 ShadeLight(Surface s, SurfaceTerms t, vec3 towardsLight, vec3 radiance)
{
    float nDotL = max(dot(s.normal, towardsLight), 0.0);
    if (nDotL <= 0.0)
        return vec3(0.0);
    vec3 halfway = normalize(s.toCamera + towardsLight);
    float nDotH = max(dot(s.normal, halfway), 0.0);

    vec3 fresnel = FresnelSchlick(max(dot(halfway, s.toCamera), 0.0), t.f0);
    float d = DistributionGgx(nDotH, t.alpha2);
    float g = t.viewVisibility * GeometrySchlickGgx(nDotL, t.k);
    vec3 specular = d * g * fresnel / max(4.0 * t.nDotV * nDotL, MinSpecularDenominator);

    // Light that is not reflected is refracted and scattered back diffusely.
    return ((vec3(1.0) - fresnel) * t.diffuse + specular) * radiance * nDotL;
}

// The lights' `specular` terms belong to Phong shading: here the highlight comes from the same
// radiance as the diffuse term, so they are not read. Their `ambient` terms light the shadowed
// sides; a point or spot light's ambient fades with its distance like its direct light, so ten
// lights do not flood the arena with a uniform glow.
vec3 ShadeSurface(Surface s)
{
    SurfaceTerms t = Terms(s);
    vec3 direct = vec3(0.0);
    vec3 ambient = vec3(0.0);

    // Only the lights whose reach touches the draw: the rest add under half an 8-bit step here.
    // The clamps keep a malformed record inside the light block.
    uint count = min(push.pointLightCount, uint(MaxPointLights));
    for (uint n = 0; n < count; ++n) {
        uint i = min((push.pointLightIndices[n / 4u] >> (8u * (n % 4u))) & 0xFFu, uint(MaxPointLights - 1));
        PointLight light = pointLightBlock.pointLights[i];
        vec3 offset = light.position.xyz - s.position;
        float range = length(offset);
        float attenuation = Attenuation(light.constant, light.linear, light.quadratic, range);
        vec3 towardsLight = range > 0.0 ? offset / range : s.normal;
        direct += ShadeLight(s, t, towardsLight, light.colour.rgb * attenuation);
        ambient += light.ambient.rgb * attenuation;
    }

    SpotLight spot = spotLightBlock.spotLight;
    vec3 spotOffset = spot.position.xyz - s.position;
    float spotDistance = length(spotOffset);
    float spotAttenuation = Attenuation(spot.constant, spot.linear, spot.quadratic, spotDistance);
    if (spotDistance > 0.0 && dot(spot.direction.xyz, spot.direction.xyz) > 0.0) {
        vec3 towardsSpot = spotOffset / spotDistance;
        float cone = SpotCone(spot, towardsSpot);
        direct += ShadeLight(s, t, towardsSpot, spot.colour.rgb * spotAttenuation * cone);
    }
    ambient += spot.ambient.rgb * spotAttenuation;

    DirectionalLight moon = directionalLightBlock.directionalLights[0];
    if (dot(moon.direction.xyz, moon.direction.xyz) > 0.0)
        direct += ShadeLight(s, t, normalize(-moon.direction.xyz), moon.colour.rgb);
    ambient += moon.ambient.rgb;

    return direct + ambient * s.albedo * s.occlusion;
}

#endif
