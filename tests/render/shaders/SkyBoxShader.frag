#version 450
layout(set = 0, binding = 1) uniform samplerCube skyBox;
layout(location = 0) in vec3 direction;
layout(location = 0) out vec4 outColour;
void main()
{
    outColour = vec4(pow(texture(skyBox, direction).rgb, vec3(1.0 / 2.2)), 1.0);
}
