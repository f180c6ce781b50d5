// Colour helpers for the generators: colours are mixed in linear light and stored as sRGB bytes
// with a small dither, so dark gradients (the night sky) do not band.
#pragma once

#include <glm/vec3.hpp>

#include <cstdint>

float SrgbToLinear(float c);
float LinearToSrgb(float c);

// An sRGB byte triple as a linear colour, for writing palette entries the way artists pick them.
glm::vec3 FromSrgb(int r, int g, int b);

// Linear [0, 1] value to an sRGB byte. `dither` in [-1, 1] moves the value by up to one step
// before rounding (triangular dither: pass the sum of two uniform values minus one).
uint8_t ToSrgbByte(float linear, float dither);
// Same for values that are already encoded (normal and alpha maps).
uint8_t ToByte(float encoded, float dither);

// Triangular dither in (-1, 1) for one pixel, a pure function of its arguments.
float Dither(uint32_t a, uint32_t b, uint32_t c = 0);
