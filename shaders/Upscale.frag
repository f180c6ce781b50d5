#version 450
// The scene, drawn at a fraction of the window's size, brought up to the window: a copy at full
// scale, bilinear, or an edge-directed filter. The edge-directed one reads the 4x4 texels round
// the sample point and finds the local edge from their luma structure tensor. On a clear,
// coherent edge it interpolates along the edge over three texels (no stair steps) and a little
// narrower than bilinear across it (a crisper edge), clamped to the four nearest texels so it
// cannot overshoot. Flat areas, and high-frequency detail without one direction (stars, wet
// ground's glints, grass the small frame could not hold), keep the bilinear estimate: any
// sharper guess there is further from the full-size picture. The edge weight goes out in alpha
// for the sharpening pass.
#extension GL_GOOGLE_include_directive : require

#include "PostRecord.glsl"

layout(location = 0) out vec4 outColour;

float Luma(vec3 c)
{
    return dot(c, vec3(0.299, 0.587, 0.114)); // Rec. 601 weights: the eye's sensitivity
}

vec3 EdgeDirected(vec2 p, out float edge)
{
    const vec2 corner = floor(p - 0.5); // the upper-left texel of the 2x2 round p
    const vec2 f = p - 0.5 - corner;    // p within that 2x2
    const ivec2 origin = ivec2(corner) - 1;
    vec3 colour[16];
    float luma[16];
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            colour[y * 4 + x] = Fetch(origin + ivec2(x, y));
            luma[y * 4 + x] = Luma(colour[y * 4 + x]);
        }

    // The structure tensor (gx^2, gy^2, gx gy) of the luma gradients of the 3x3 cells of 2x2
    // texels, weighed by a tent round p that reaches the outer cells.
    vec3 tensor = vec3(0.0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            const int i = y * 4 + x;
            const float a = luma[i], b = luma[i + 1], c = luma[i + 4], d = luma[i + 5];
            const vec2 g = 0.5 * vec2(b - a + d - c, c - a + d - b);
            const vec2 o = abs(vec2(x, y) - 0.5 - f); // p to the cell's centre, in texels
            const float w = max(0.0, 1.5 - o.x) * max(0.0, 1.5 - o.y);
            tensor += w * vec3(g.x * g.x, g.y * g.y, g.x * g.y);
        }
    const float trace = tensor.x + tensor.y;
    const float spread = sqrt((tensor.x - tensor.y) * (tensor.x - tensor.y) + 4.0 * tensor.z * tensor.z);
    // 1 where every gradient points one way (an edge), 0 where they point every way (noise).
    const float coherence = spread / max(trace, 1e-8);
    vec2 across = vec2(tensor.x - tensor.y + spread, 2.0 * tensor.z); // the major eigenvector
    const float acrossLength = length(across);
    across = acrossLength > 1e-8 ? across / acrossLength : vec2(1.0, 0.0);
    const vec2 along = vec2(-across.y, across.x);
    // The cell weights sum to 4 to 6.25, so this is about the gradient's length in luma per
    // texel: a step of an eighth of the range per texel is a clear edge.
    const float strength = sqrt(trace * 0.25);
    edge = clamp(strength * 8.0, 0.0, 1.0) * coherence;

    // A tent three texels long along the edge, 0.8 texels wide across it.
    const float alongLength = 1.0 + 2.0 * edge;
    vec3 sum = vec3(0.0);
    float weights = 0.0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const vec2 d = vec2(x - 1, y - 1) - f;
            const float a = abs(dot(d, across)) * 1.25;
            const float b = abs(dot(d, along)) / alongLength;
            const float w = max(0.0, 1.0 - a) * max(0.0, 1.0 - b);
            sum += w * colour[y * 4 + x];
            weights += w;
        }
    const vec3 c11 = colour[5], c21 = colour[6], c12 = colour[9], c22 = colour[10];
    const vec3 low = min(min(c11, c21), min(c12, c22));
    const vec3 high = max(max(c11, c21), max(c12, c22));
    const vec3 bilinear = mix(mix(c11, c21, f.x), mix(c12, c22, f.x), f.y);
    // The texel nearest p always has weight, so the sum is never empty.
    return mix(bilinear, clamp(sum / max(weights, 1e-5), low, high), edge);
}

void main()
{
    const vec2 target = gl_FragCoord.xy;
    vec3 colour;
    float edge = 0.0;
    if (post.mode == PostCopy) {
        colour = Fetch(ivec2(target));
    } else {
        // The pixel centre's place in the source, kept inside the drawn part.
        const vec2 p = clamp(target * post.sourceScale, vec2(0.5), post.sourceExtent - 0.5);
        colour = post.mode == PostBilinear ? texture(source, p / post.sourceSize).rgb : EdgeDirected(p, edge);
    }
    outColour = vec4(colour, post.mode == PostEdge ? edge : 1.0);
}
