// Static flame noise from position alone (no time uniform reaches the shaders).
#ifndef ZORBULON_FLAME_GLSL
#define ZORBULON_FLAME_GLSL

// Classic sine hash; inputs stay small (object space), where its precision is adequate.
float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(127.1, 311.7))) * 43758.5453);
}

float ValueNoise(vec2 p)
{
    vec2 cell = floor(p);
    vec2 f = fract(p);
    vec2 u = f * f * (3.0 - 2.0 * f); // smooth interpolation hides the lattice
    float a = Hash(cell);
    float b = Hash(cell + vec2(1.0, 0.0));
    float c = Hash(cell + vec2(0.0, 1.0));
    float d = Hash(cell + vec2(1.0, 1.0));
    return mix(mix(a, b, u.x), mix(c, d, u.x), u.y);
}

// Four octaves, each twice as fine and half as strong, sum to tongues with ragged edges; the
// rotation between octaves keeps them from lining up on the lattice. Result in [0, 1].
float FlameNoise(vec2 p)
{
    const mat2 turn = mat2(0.8, 0.6, -0.6, 0.8);
    float sum = 0.0;
    float amplitude = 0.5;
    for (int octave = 0; octave < 4; ++octave) {
        sum += amplitude * ValueNoise(p);
        p = turn * p * 2.0;
        amplitude *= 0.5;
    }
    return sum / 0.9375; // 0.5 + 0.25 + 0.125 + 0.0625
}

#endif
