#version 450
// Unlit, self-lit surfaces: the moon's texture (slot 0) or a light marker's pushed colour.
#extension GL_GOOGLE_include_directive : require

#include "Material.glsl"
#include "Display.glsl"

layout(location = 0) in vec2 texCoords;

layout(location = 0) out vec4 outColour;

void main()
{
    // The sRGB view returns linear texels; gamma encoding gives back the image as painted.
    vec3 colour = HasTexture(SlotDiffuse) ? SampleSlot(SlotDiffuse, texCoords).rgb : push.colour.rgb;
    outColour = vec4(GammaEncode(ClampPreservingHue(colour)), 1.0);
}
