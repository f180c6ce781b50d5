#version 450
#include "Material.glsl"
layout(location = 0) in vec2 uv;
layout(location = 0) out vec4 outColour;
void main()
{
    outColour = vec4(pow(BaseColour(uv, push.colour.rgb), vec3(1.0 / 2.2)), 1.0);
}
