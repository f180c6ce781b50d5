#version 450
// Collision volumes as wireframes: a flat debug colour.
#extension GL_GOOGLE_include_directive : require

#include "Display.glsl"

layout(push_constant) uniform PushConstants {
    mat4 model;
    vec4 colour;
    vec4 padding[3];
} push;

layout(location = 0) out vec4 outColour;

void main()
{
    outColour = vec4(GammaEncode(push.colour.rgb), 1.0);
}
