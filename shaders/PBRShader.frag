#version 450
// Static lit meshes: metallic-roughness shading under the arena's lights, tone mapped.
#extension GL_GOOGLE_include_directive : require

#include "OpaqueLitMain.glsl"
