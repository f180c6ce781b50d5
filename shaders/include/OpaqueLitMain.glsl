// The opaque lit fragment stage shared by the static and the skinned PBR programs.
#ifndef ZORBULON_OPAQUE_LIT_MAIN_GLSL
#define ZORBULON_OPAQUE_LIT_MAIN_GLSL

#include "LitSurface.glsl"

layout(location = 0) out vec4 outColour;

void main()
{
    Surface s = LitSurface(BaseColour());
    // Opaque pipelines do not blend, and the ground's opacity value is 0: write alpha 1.
    outColour = vec4(ToDisplay(ShadeSurface(s)), 1.0);
}

#endif
