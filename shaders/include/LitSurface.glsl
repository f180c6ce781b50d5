// Fragment-side assembly of a lit surface from the varyings and the material's textures.
#ifndef ZORBULON_LIT_SURFACE_GLSL
#define ZORBULON_LIT_SURFACE_GLSL

#include "Material.glsl"
#define SURFACE_IO in
#include "SurfaceVaryings.glsl"
#include "Display.glsl"
#include "Pbr.glsl"

// Below this length an interpolated tangent carries no direction (meshes without UVs).
const float MinTangentLength = 1e-4;

// Slot 0 is an sRGB view, so the sample is already linear; without it the actor's colour is used.
vec3 BaseColour()
{
    return HasTexture(SlotDiffuse) ? SampleSlot(SlotDiffuse, texCoords).rgb : colourAndMetallic.rgb;
}

// Tangent-space normal map in slot 1 (UNORM): x along +u, y along +v (down the image, as the
// top-left-origin UVs run), z out of the surface, each stored as (n + 1) / 2.
vec3 ShadingNormal()
{
    vec3 n = normalize(worldNormal);
    if (!HasTexture(SlotNormal))
        return n;
    vec3 t = worldTangent - n * dot(n, worldTangent); // Gram-Schmidt: interpolation skews it
    if (length(t) < MinTangentLength)
        return n;
    t = normalize(t);
    vec3 b = cross(t, n); // +v: the vertex has no bitangent sign, so UV layouts are unmirrored
    vec3 mapped = SampleSlot(SlotNormal, texCoords).xyz * 2.0 - 1.0;
    return normalize(mat3(t, b, n) * mapped);
}

Surface LitSurface(vec3 albedo)
{
    Surface s;
    s.position = worldPosition;
    s.normal = ShadingNormal();
    s.toCamera = normalize(cameraPosition - worldPosition);
    s.albedo = albedo;
    s.metallic = clamp(materialValues.x, 0.0, 1.0);
    s.roughness = clamp(materialValues.y, 0.0, 1.0);
    s.occlusion = clamp(materialValues.z, 0.0, 1.0);
    return s;
}

#endif
