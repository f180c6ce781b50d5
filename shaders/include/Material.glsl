// Per-draw material inputs of the default pipelines: the pushed colour and texture slots, and
// the renderer's whole texture registry as one runtime-sized array.
#ifndef ZORBULON_MATERIAL_GLSL
#define ZORBULON_MATERIAL_GLSL

#extension GL_EXT_nonuniform_qualifier : require

#include "Camera.glsl"

// Slot numbers of the game's materials.
const int SlotDiffuse = 0;
const int SlotNormal = 1;
const int SlotAlphaMask = 7;
const int EmptySlot = -1;

// 64 bytes, fragment stage only: the pipeline layout's range covers nothing else.
layout(push_constant) uniform PushConstants {
    vec4 colour;
    int textureIndices[8];
    uint pointLightCount;      // the draw's own point lights: those whose reach touches it
    uint pointLightIndices[3]; // light n in byte n % 4 of word n / 4, ascending
} push;

layout(set = 0, binding = 1) uniform sampler2D textures[];

bool HasTexture(int slot)
{
    return push.textureIndices[slot] != EmptySlot;
}

// The index comes from push constants, so it is the same for the whole draw (dynamically
// uniform) and needs no nonuniformEXT.
vec4 SampleSlot(int slot, vec2 uv)
{
    return texture(textures[push.textureIndices[slot]], uv, camera.mipBias);
}

#endif
