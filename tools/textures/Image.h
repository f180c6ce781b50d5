// An 8-bit image in memory, rows top to bottom, channels interleaved, as PNG files store it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Image {
public:
    Image() = default;
    Image(int width, int height, int channels);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Channels() const { return channels_; }
    uint8_t* Pixel(int x, int y) { return pixels_.data() + Offset(x, y); }
    const uint8_t* Pixel(int x, int y) const { return pixels_.data() + Offset(x, y); }
    const std::vector<uint8_t>& Bytes() const { return pixels_; }

    // Throws std::runtime_error when the file cannot be written.
    void WritePng(const std::string& path) const;

private:
    size_t Offset(int x, int y) const
    {
        return (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) *
               static_cast<size_t>(channels_);
    }

    int width_ = 0;
    int height_ = 0;
    int channels_ = 0;
    std::vector<uint8_t> pixels_;
};
