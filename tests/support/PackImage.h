// An image asset as the game gets it: bytes from the pack in the working directory, decoded by
// stb_image to 8-bit RGBA whatever the file's own channels, exactly as the texture loader does.
#pragma once

#include "assets/AssetPack.h"

#include <stb_image.h>

#include <glm/vec3.hpp>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct PackImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    const uint8_t* At(int x, int y) const
    {
        return &pixels[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4];
    }
    float Luma(int x, int y) const
    {
        const uint8_t* p = At(x, y);
        return 0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2];
    }
    // A tangent-space normal map texel as a vector.
    glm::vec3 Normal(int x, int y) const { return glm::vec3(At(x, y)[0], At(x, y)[1], At(x, y)[2]) / 127.5f - 1.0f; }
};

// Throws std::runtime_error when the asset is missing or does not decode.
inline PackImage LoadPackImage(const std::string& name)
{
    const std::vector<char> bytes = LoadAsset(name.c_str());
    PackImage image;
    int channels = 0;
    std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> decoded(
        stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()),
                              &image.width, &image.height, &channels, STBI_rgb_alpha),
        &stbi_image_free);
    if (!decoded)
        throw std::runtime_error(name + " does not decode");
    image.pixels.assign(decoded.get(), decoded.get() + static_cast<size_t>(image.width) * image.height * 4);
    return image;
}
