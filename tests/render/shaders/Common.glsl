// Test-only stand-ins for the game's shaders: the same blocks, bindings and records as the
// shader contract, with the plainest lighting that shows lit geometry.
layout(set = 0, binding = 0) uniform CameraBuffer {
    mat4 view;
    mat4 projection;
} camera;
