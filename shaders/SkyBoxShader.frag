#version 450
// The night sky's cube map, shown as painted.

layout(set = 0, binding = 1) uniform samplerCube skyBox;

layout(location = 0) in vec3 direction;

layout(location = 0) out vec4 outColour;

// The faces are sRGB images sampled linear; encoding with the display gamma restores them.
const float DisplayGamma = 2.2;

void main()
{
    vec3 sky = texture(skyBox, direction).rgb;
    outColour = vec4(pow(clamp(sky, 0.0, 1.0), vec3(1.0 / DisplayGamma)), 1.0);
}
