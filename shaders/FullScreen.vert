#version 450
// One triangle that covers the whole target, made from the vertex index alone: the full-screen
// passes (upscale, sharpening) draw three vertices without a vertex buffer.

void main()
{
    const vec2 corner = vec2((gl_VertexIndex << 1) & 2, gl_VertexIndex & 2);
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
