// Texture image decoding from damaged bytes: libspng for PNGs, stb_image for anything else. Either
// the decoder refuses with the texture loader's message, or it hands back a whole RGBA image of a
// size a texture can have; every pixel is read, so a short buffer is a finding.
#include "assets/ImageDecoder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<char> bytes(reinterpret_cast<const char*>(data), reinterpret_cast<const char*>(data) + size);
    DecodedImage image;
    try {
        image = DecodeTextureImage(bytes);
    } catch (const std::runtime_error& e) {
        if (std::strcmp(e.what(), "failed to load texture image!") != 0) {
            std::fprintf(stderr, "image_decode: unexpected failure \"%s\"\n", e.what());
            std::abort();
        }
        return 0;
    }
    if (!image.pixels || image.width == 0 || image.height == 0) {
        std::fprintf(stderr, "image_decode: %ux%u image without pixels\n", image.width, image.height);
        std::abort();
    }
    unsigned sum = 0;
    for (size_t i = 0; i < image.ByteSize(); ++i)
        sum += image.pixels.get()[i];
    volatile unsigned sink = sum;
    (void)sink;
    return 0;
}
