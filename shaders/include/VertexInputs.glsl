// The mesh vertex record (76 bytes, binding 0) as the pipelines feed it to every vertex stage.
#ifndef ZORBULON_VERTEX_INPUTS_GLSL
#define ZORBULON_VERTEX_INPUTS_GLSL

layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec3 inNormal;
layout(location = 2) in vec2 inTexCoords;
layout(location = 3) in ivec4 inBoneIds; // -1 marks an empty influence
layout(location = 4) in vec4 inWeights;
layout(location = 5) in vec3 inTangent;

#endif
