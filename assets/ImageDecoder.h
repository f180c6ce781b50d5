// Decoding of pack images to 8-bit RGBA, rows top to bottom, whatever the file's own channel
// count. PNGs go through libspng (the faster decoder of the two on the pack's images, see
// bench/image_decode_bench); anything else through stb_image. Safe to call from several threads
// at once.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

struct DecodedImage {
    // Freed by whichever decoder made it.
    std::unique_ptr<unsigned char, void (*)(void*)> pixels{nullptr, &std::free};
    uint32_t width = 0;
    uint32_t height = 0;

    size_t ByteSize() const { return size_t(width) * height * 4; }
};

// Throws std::runtime_error "failed to load texture image!" for bytes that do not decode.
DecodedImage DecodeTextureImage(const std::vector<char>& bytes);
// The same through stb_image for every format: the decoder for non-PNG files, and the reference
// the PNG decoder is compared with.
DecodedImage DecodeTextureImageWithStb(const std::vector<char>& bytes);
