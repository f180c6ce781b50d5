#version 450
#include "Common.glsl"
#include "VertexInputs.glsl"
layout(location = 0) out vec3 direction;
void main()
{
    direction = inPosition;
    vec4 clip = camera.projection * mat4(mat3(camera.view)) * vec4(inPosition, 1.0);
    gl_Position = clip.xyww; // on the far plane
}
