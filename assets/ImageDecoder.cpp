#include "assets/ImageDecoder.h"

#include <spng.h>
#include <stb_image.h>
#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

// The largest side accepted: no GPU samples a larger 2D image, and a damaged header must not ask
// for gigabytes.
constexpr uint32_t MaxSide = 16384;

[[noreturn]] void Fail()
{
    throw std::runtime_error("failed to load texture image!");
}

bool IsPng(const std::vector<char>& bytes)
{
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    return bytes.size() >= sizeof signature && std::memcmp(bytes.data(), signature, sizeof signature) == 0;
}

// Room for a decoded image, freed with std::free. Images of 2 MiB and more go on 2 MiB boundaries
// with huge pages asked for: written once, front to back, each then costs the kernel a few page
// faults instead of a thousand (here 7 ms against 194 ms to first fill 72 MiB, a scene's worth).
unsigned char* AllocatePixels(size_t size)
{
    constexpr size_t HugePage = size_t(2) << 20;
    if (size < HugePage)
        return static_cast<unsigned char*>(std::malloc(size));
    const size_t rounded = (size + HugePage - 1) / HugePage * HugePage; // a multiple of the alignment
    void* pixels = std::aligned_alloc(HugePage, rounded);
    if (pixels)
        madvise(pixels, rounded, MADV_HUGEPAGE); // advice only: without huge pages it is plain memory
    return static_cast<unsigned char*>(pixels);
}

using SpngContext = std::unique_ptr<spng_ctx, decltype(&spng_ctx_free)>;

// Decoded as stb_image decodes a PNG: 16-bit samples narrowed to 8, palettes expanded, tRNS made
// alpha, no gamma applied, and checksums not verified (the pack verifies its own assets).
DecodedImage DecodePng(const std::vector<char>& bytes)
{
    SpngContext ctx(spng_ctx_new(SPNG_CTX_IGNORE_ADLER32), &spng_ctx_free);
    if (!ctx)
        Fail();
    spng_ihdr header{};
    size_t size = 0;
    if (spng_set_crc_action(ctx.get(), SPNG_CRC_USE, SPNG_CRC_USE) != 0 ||
        spng_set_image_limits(ctx.get(), MaxSide, MaxSide) != 0 ||
        spng_set_png_buffer(ctx.get(), bytes.data(), bytes.size()) != 0 || spng_get_ihdr(ctx.get(), &header) != 0 ||
        spng_decoded_image_size(ctx.get(), SPNG_FMT_RGBA8, &size) != 0)
        Fail();

    DecodedImage image;
    image.width = header.width;
    image.height = header.height;
    if (size != image.ByteSize())
        Fail();
    image.pixels.reset(AllocatePixels(size));
    if (!image.pixels || spng_decode_image(ctx.get(), image.pixels.get(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) != 0)
        Fail();
    return image;
}

} // namespace

DecodedImage DecodeTextureImageWithStb(const std::vector<char>& bytes)
{
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                            static_cast<int>(bytes.size()), &width, &height, &channels, STBI_rgb_alpha);
    if (!pixels)
        Fail();
    DecodedImage image;
    image.pixels = {pixels, &stbi_image_free};
    image.width = static_cast<uint32_t>(width);
    image.height = static_cast<uint32_t>(height);
    return image;
}

DecodedImage DecodeTextureImage(const std::vector<char>& bytes)
{
    return IsPng(bytes) ? DecodePng(bytes) : DecodeTextureImageWithStb(bytes);
}
