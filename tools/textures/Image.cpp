#include "tools/textures/Image.h"

#include <stb_image_write.h>

#include <stdexcept>

Image::Image(int width, int height, int channels)
    : width_(width), height_(height), channels_(channels),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(channels))
{
    if (width <= 0 || height <= 0 || channels < 1 || channels > 4)
        throw std::invalid_argument("image needs a positive size and 1 to 4 channels");
}

void Image::WritePng(const std::string& path) const
{
    if (!stbi_write_png(path.c_str(), width_, height_, channels_, pixels_.data(), width_ * channels_))
        throw std::runtime_error("cannot write " + path);
}
