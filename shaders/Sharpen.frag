#version 450
// Contrast-limited sharpening of the upscaled scene, on the edges the upscale found: each pixel
// moves away from the mean of its four neighbours by a share of the difference, but never past
// the brightest or darkest of the five, so edges steepen without a halo and a lone bright or
// dark pixel (a star, a glint) is left as it is. The upscale's edge weight (in alpha) scales
// the share: noise and texture the small frame could not hold are not raised.
#extension GL_GOOGLE_include_directive : require

#include "PostRecord.glsl"

layout(location = 0) out vec4 outColour;

void main()
{
    const ivec2 p = ivec2(gl_FragCoord.xy);
    const vec4 centreAndEdge = texelFetch(source, p, 0);
    const vec3 centre = centreAndEdge.rgb;
    const vec3 up = Fetch(p + ivec2(0, -1));
    const vec3 left = Fetch(p + ivec2(-1, 0));
    const vec3 right = Fetch(p + ivec2(1, 0));
    const vec3 down = Fetch(p + ivec2(0, 1));
    const vec3 low = min(centre, min(min(up, left), min(right, down)));
    const vec3 high = max(centre, max(max(up, left), max(right, down)));
    const vec3 detail = centre - 0.25 * (up + left + right + down);
    // Room to move, per channel: up to the brightest when above the mean, down to the darkest below.
    const vec3 room = mix(centre - low, high - centre, step(0.0, detail));
    const vec3 share = min(vec3(post.sharpness * centreAndEdge.a), room / max(abs(detail), vec3(1e-5)));
    outColour = vec4(centre + share * detail, 1.0);
}
