#version 450
#include "Material.glsl"
#include "Lights.glsl"
layout(location = 0) in vec3 worldPosition;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;
layout(location = 3) in vec3 colour;
layout(location = 0) out vec4 outColour;
void main()
{
    outColour = Display(Lit(BaseColour(uv, colour), worldPosition, normal), 1.0);
}
