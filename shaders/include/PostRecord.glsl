// The full-screen passes' push constants (PostRecord in renderer/UpscalePass.h) and the clamped
// fetch they share.
#ifndef ZORBULON_POST_RECORD_GLSL
#define ZORBULON_POST_RECORD_GLSL

const int PostCopy = 0;     // the source at the target's size: each pixel as it is
const int PostBilinear = 1; // the hardware's bilinear filter
const int PostEdge = 2;     // the edge-adaptive filter

layout(push_constant) uniform PostRecord {
    vec2 sourceScale;  // source pixels per target pixel
    vec2 sourceSize;   // the source image's allocated size, for coordinates in [0, 1]
    vec2 sourceExtent; // the part of the source the frame was drawn into
    float sharpness;   // the largest share of a pixel's detail added back, the sharpening pass only
    int mode;          // PostCopy, PostBilinear or PostEdge, the upscale only
} post;

layout(set = 0, binding = 0) uniform sampler2D source;

// Pixels outside the drawn part hold another frame's leftovers: never read them.
vec3 Fetch(ivec2 p)
{
    return texelFetch(source, clamp(p, ivec2(0), ivec2(post.sourceExtent) - 1), 0).rgb;
}

#endif
