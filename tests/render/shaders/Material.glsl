#extension GL_EXT_nonuniform_qualifier : require

layout(push_constant) uniform PushConstants {
    vec4 colour;
    int textureIndices[8];
} push;

layout(set = 0, binding = 1) uniform sampler2D textures[];

vec3 BaseColour(vec2 uv, vec3 fallback)
{
    return push.textureIndices[0] >= 0 ? texture(textures[push.textureIndices[0]], uv).rgb : fallback;
}

float AlphaMask(vec2 uv)
{
    return push.textureIndices[7] >= 0 ? texture(textures[push.textureIndices[7]], uv).r : 1.0;
}
