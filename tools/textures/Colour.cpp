#include "tools/textures/Colour.h"

#include "tools/textures/Noise.h"

#include <algorithm>
#include <cmath>

float SrgbToLinear(float c)
{
    // IEC 61966-2-1 transfer function.
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

float LinearToSrgb(float c)
{
    c = std::clamp(c, 0.0f, 1.0f);
    return c <= 0.0031308f ? c * 12.92f : 1.055f * std::pow(c, 1.0f / 2.4f) - 0.055f;
}

glm::vec3 FromSrgb(int r, int g, int b)
{
    return {SrgbToLinear(static_cast<float>(r) / 255.0f), SrgbToLinear(static_cast<float>(g) / 255.0f),
            SrgbToLinear(static_cast<float>(b) / 255.0f)};
}

uint8_t ToByte(float encoded, float dither)
{
    const float v = std::clamp(encoded, 0.0f, 1.0f) * 255.0f + dither;
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

uint8_t ToSrgbByte(float linear, float dither)
{
    return ToByte(LinearToSrgb(linear), dither);
}

float Dither(uint32_t a, uint32_t b, uint32_t c)
{
    return HashUnit(a, b, c, 0xD1u) + HashUnit(a, b, c, 0xD2u) - 1.0f;
}
