#version 450
// Skinned characters: the same metallic-roughness shading as the static meshes.
#extension GL_GOOGLE_include_directive : require

#include "OpaqueLitMain.glsl"
