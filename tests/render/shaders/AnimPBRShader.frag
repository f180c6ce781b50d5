#version 450
#include "Material.glsl"
#include "Lights.glsl"
layout(set = 0, binding = 2) uniform DYN_AnimPBRShader {
    vec4 colourAndMetallic;
    vec4 values;
} object;
layout(location = 0) in vec3 worldPosition;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;
layout(location = 0) out vec4 outColour;
void main()
{
    outColour = Display(Lit(BaseColour(uv, object.colourAndMetallic.rgb), worldPosition, normal), 1.0);
}
