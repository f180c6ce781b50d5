// The frame's camera block and the clip-space helpers every vertex stage shares.
#ifndef ZORBULON_CAMERA_GLSL
#define ZORBULON_CAMERA_GLSL

layout(set = 0, binding = 0) uniform CameraBuffer {
    mat4 view;
    mat4 projection;
    // log2 of the render scale: a scene drawn smaller has larger texture-coordinate derivatives,
    // and this brings the chosen mip back to the one of a full-size frame.
    float mipBias;
    float pad0, pad1, pad2; // the record is a whole number of vec4s
} camera;

// The projection maps depth to OpenGL's [-1, 1]; Vulkan clips at 0, so without this the near
// half of the depth range would be lost and the near plane would sit at twice its distance.
vec4 ToVulkanDepth(vec4 clip)
{
    clip.z = 0.5 * (clip.z + clip.w);
    return clip;
}

// The view is a rotation times a translation, so the eye is -R^T t: no general inverse needed.
vec3 CameraPosition()
{
    mat3 rotation = mat3(camera.view);
    return -(transpose(rotation) * camera.view[3].xyz);
}

#endif
