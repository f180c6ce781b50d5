#version 450
// The scene, drawn at a fraction of the window's size, brought up to the window: a copy at full
// scale, bilinear, or an edge-adaptive filter. The edge-adaptive one weighs the 4x4 texels round
// the sample point with a two-lobed (Lanczos-like) kernel that is stretched along the local edge
// and kept narrow across it: edges stay crisp without stair steps, flat areas keep their detail.
// The result is clamped to the four nearest texels, so the negative lobe cannot ring; away from
// edges it fades to the bilinear estimate.
#extension GL_GOOGLE_include_directive : require

#include "PostRecord.glsl"

layout(location = 0) out vec4 outColour;

float Luma(vec3 c)
{
    return dot(c, vec3(0.299, 0.587, 0.114)); // Rec. 601 weights: the eye's sensitivity
}

// A two-lobed windowed sinc as a polynomial in x squared (no sine, no division, no square root):
// 1 at 0, zero at 1 and at 2, a negative lobe between. The window (1 - x^2/4)^2 ends it at 2.
float Kernel(float x2)
{
    x2 = min(x2, 4.0);
    float window = 0.25 * x2 - 1.0;
    window *= window;
    float base = 0.4 * x2 - 1.0;
    base = 1.5625 * base * base - 0.5625; // 25/16 (2/5 x^2 - 1)^2 - 9/16: zero at x = 1
    return base * window;
}

vec3 EdgeAdaptive(vec2 p)
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

    // The luma gradient at p: central differences at the four inner texels, weighed bilinearly.
    vec2 gradient = vec2(0.0);
    for (int y = 1; y < 3; ++y)
        for (int x = 1; x < 3; ++x) {
            const int i = y * 4 + x;
            const float w = (x == 1 ? 1.0 - f.x : f.x) * (y == 1 ? 1.0 - f.y : f.y);
            gradient += w * vec2(luma[i + 1] - luma[i - 1], luma[i + 4] - luma[i - 4]);
        }
    const float strength = length(gradient);
    const vec2 across = strength > 1e-5 ? gradient / strength : vec2(1.0, 0.0);
    const vec2 along = vec2(-across.y, across.x);
    // A difference of a quarter of the luma range over two texels is a clear edge: the kernel
    // is then twice as long along it. Gentle gradients keep a round kernel.
    const float edge = clamp(strength * 4.0, 0.0, 1.0);
    const float alongScale = 1.0 / (1.0 + edge);

    vec3 sum = vec3(0.0);
    float weights = 0.0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const vec2 d = vec2(x - 1, y - 1) - f;
            const float a = dot(d, across);
            const float b = dot(d, along) * alongScale;
            const float w = Kernel(a * a + b * b);
            sum += w * colour[y * 4 + x];
            weights += w;
        }
    const vec3 c11 = colour[5], c21 = colour[6], c12 = colour[9], c22 = colour[10];
    const vec3 low = min(min(c11, c21), min(c12, c22));
    const vec3 high = max(max(c11, c21), max(c12, c22));
    // Away from edges the two-lobed kernel only sharpens the aliasing of fine detail the small
    // frame could not hold (stars, grass): there the smooth bilinear estimate is the closer one.
    const vec3 bilinear = mix(mix(c11, c21, f.x), mix(c12, c22, f.x), f.y);
    return mix(bilinear, clamp(sum / weights, low, high), edge);
}

void main()
{
    const vec2 target = gl_FragCoord.xy;
    vec3 colour;
    if (post.mode == PostCopy) {
        colour = Fetch(ivec2(target));
    } else {
        // The pixel centre's place in the source, kept inside the drawn part.
        const vec2 p = clamp(target * post.sourceScale, vec2(0.5), post.sourceExtent - 0.5);
        colour = post.mode == PostBilinear ? texture(source, p / post.sourceSize).rgb : EdgeAdaptive(p);
    }
    outColour = vec4(colour, 1.0);
}
