#version 450
layout(push_constant) uniform PushConstants {
    mat4 model;
    vec4 colour;
    vec4 pad[3];
} push;
layout(set = 0, binding = 1) uniform sampler2D textures[];
layout(location = 0) out vec4 outColour;
void main()
{
    outColour = push.colour;
}
