#include "tools/textures/NormalMap.h"

#include "tools/textures/Colour.h"

#include <glm/geometric.hpp>

glm::vec3 DecodeNormal(const uint8_t* rgb)
{
    return glm::vec3(rgb[0], rgb[1], rgb[2]) * (2.0f / 255.0f) - 1.0f;
}

void StoreNormal(uint8_t* rgb, glm::vec3 n)
{
    n = glm::normalize(n);
    for (int i = 0; i < 3; ++i)
        rgb[i] = ToByte(n[i] * 0.5f + 0.5f, 0.0f);
}

Image NormalMapFromHeights(const HeightField& heights, float strength)
{
    Image map(heights.width, heights.height, 3);
    for (int y = 0; y < heights.height; ++y) {
        for (int x = 0; x < heights.width; ++x) {
            // Central differences across the wrap keep the seams of a tiled map invisible.
            const float dx = 0.5f * (heights.Wrapped(x + 1, y) - heights.Wrapped(x - 1, y)) * strength;
            const float dy = 0.5f * (heights.Wrapped(x, y + 1) - heights.Wrapped(x, y - 1)) * strength;
            StoreNormal(map.Pixel(x, y), glm::vec3(-dx, -dy, 1.0f));
        }
    }
    return map;
}
