#version 450
// Contrast-adaptive sharpening of the upscaled scene: each pixel less a share of its four
// neighbours, the share set by the neighbourhood's headroom. Where the neighbourhood is flat or
// already spans black to white the share is small, so edges gain contrast without ringing or
// clipping, and noise in flat areas is not raised.
#extension GL_GOOGLE_include_directive : require

#include "PostRecord.glsl"

layout(location = 0) out vec4 outColour;

void main()
{
    const ivec2 p = ivec2(gl_FragCoord.xy);
    const vec3 centre = Fetch(p);
    const vec3 up = Fetch(p + ivec2(0, -1));
    const vec3 left = Fetch(p + ivec2(-1, 0));
    const vec3 right = Fetch(p + ivec2(1, 0));
    const vec3 down = Fetch(p + ivec2(0, 1));
    const vec3 low = min(centre, min(min(up, left), min(right, down)));
    const vec3 high = max(centre, max(max(up, left), max(right, down)));
    // Headroom to black and to white relative to the brightest neighbour, 0 to 1 per channel.
    const vec3 amount = sqrt(clamp(min(low, 1.0 - high) / max(high, vec3(1e-4)), 0.0, 1.0));
    // The neighbours' weight at full headroom: -1/16 is mild, -1/5 the strongest that keeps the
    // centre's weight (1) above the four neighbours' together.
    const vec3 w = amount * (-1.0 / mix(16.0, 5.0, post.sharpness));
    const vec3 sharpened = (centre + w * (up + left + right + down)) / (1.0 + 4.0 * w);
    outColour = vec4(clamp(sharpened, 0.0, 1.0), 1.0);
}
