// A float height per pixel, rows top to bottom, for the relief behind the normal maps.
#pragma once

#include <cstddef>
#include <vector>

struct HeightField {
    int width = 0;
    int height = 0;
    std::vector<float> values;

    HeightField(int w, int h) : width(w), height(h), values(Index(w, h, 0, h), 0.0f) {}
    float& At(int x, int y) { return values[Index(width, height, x, y)]; }
    // Reads across the edges as the tiled texture would.
    float Wrapped(int x, int y) const
    {
        return values[Index(width, height, ((x % width) + width) % width, ((y % height) + height) % height)];
    }

private:
    static std::size_t Index(int w, int, int x, int y)
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x);
    }
};
