// What the lit vertex stages hand to the lit fragment stages. Define SURFACE_IO as `out` in a
// vertex stage and `in` in a fragment stage before including this.
#ifndef ZORBULON_SURFACE_VARYINGS_GLSL
#define ZORBULON_SURFACE_VARYINGS_GLSL

layout(location = 0) SURFACE_IO vec3 worldPosition;
layout(location = 1) SURFACE_IO vec3 worldNormal;
layout(location = 2) SURFACE_IO vec3 worldTangent;
layout(location = 3) SURFACE_IO vec2 texCoords;
// The actor's record, passed along so that only the vertex stage declares the per-actor block.
layout(location = 4) flat SURFACE_IO vec4 colourAndMetallic;
layout(location = 5) flat SURFACE_IO vec4 materialValues; // metallic, roughness, occlusion, opacity
layout(location = 6) flat SURFACE_IO vec3 cameraPosition;

#endif
