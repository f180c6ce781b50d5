layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec3 inNormal;
layout(location = 2) in vec2 inTexCoords;
layout(location = 3) in ivec4 inBoneIds;
layout(location = 4) in vec4 inWeights;
layout(location = 5) in vec3 inTangent;
