#version 450
// The night sky: the unit cube around the eye, pushed to the far plane.
#extension GL_GOOGLE_include_directive : require

#include "Camera.glsl"

layout(location = 0) in vec3 inPosition;

layout(location = 0) out vec3 direction;

void main()
{
    direction = inPosition; // the cube's corner directions are the cube map's lookup vectors
    // Rotation only, so the sky never comes closer; z = w puts every fragment at depth 1,
    // which passes LESS_OR_EQUAL against the cleared 1.0 and loses to anything drawn.
    vec4 clip = camera.projection * mat4(mat3(camera.view)) * vec4(inPosition, 1.0);
    gl_Position = clip.xyww;
}
