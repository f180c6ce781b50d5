// The scene's images decode on several threads at once before any is uploaded. What the textures
// get must not depend on that: the same pixels for each name as decoding them one by one with
// stb_image (the decoder the textures used before PNGs went to libspng), in the order the names
// were given, and a failure thrown when its image is taken, with the message loading that image
// alone throws.
#include "assets/AssetPack.h"
#include "assets/DecodedImageCache.h"
#include "assets/ImageBatch.h"
#include "assets/ImageDecoder.h"
#include "support/MessageOf.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <spng.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The scene's 2D textures in registration order, then the sky's faces in layer order.
const std::vector<std::string> SceneImages = {
    "GroundTexture", "GroundNormalTexture", "GrassDiffuseTexture", "GrassNormalTexture", "GrassAlphaTexture",
    "MoonTexture",   "DrevikDiff",          "DrevikNormal",        "ZombieDiff",         "ZombieSpec",
    "ZombieNormal",  "BubblgunDiffuse",     "BubblgunNormal",      "SkyBoxpx",           "SkyBoxnx",
    "SkyBoxpy",      "SkyBoxny",            "SkyBoxpz",            "SkyBoxnz"};

// Compares sizes and every byte; reports the first differing byte rather than megabytes.
void ExpectSameImage(const DecodedImage& actual, const DecodedImage& expected, const std::string& what)
{
    ASSERT_EQ(actual.width, expected.width) << what;
    ASSERT_EQ(actual.height, expected.height) << what;
    ASSERT_TRUE(actual.pixels && expected.pixels) << what;
    const size_t size = expected.ByteSize();
    const auto* a = actual.pixels.get();
    const auto* b = expected.pixels.get();
    const auto mismatch = std::mismatch(a, a + size, b);
    EXPECT_EQ(mismatch.first, a + size) << what << ": byte " << (mismatch.first - a) << " is "
                                        << int(*mismatch.first) << ", stb_image gives " << int(*mismatch.second);
}

// A PNG in the given form, written by libspng's encoder from raw samples in the PNG's own layout.
std::vector<char> EncodePng(uint32_t width, uint32_t height, uint8_t colourType, uint8_t bitDepth,
                            uint8_t interlace, const spng_plte* palette, const spng_trns* transparency,
                            std::mt19937& random)
{
    const int channels = colourType == SPNG_COLOR_TYPE_TRUECOLOR         ? 3
                         : colourType == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA ? 4
                         : colourType == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA ? 2
                                                                         : 1;
    const size_t rowBytes = (size_t(width) * channels * bitDepth + 7) / 8;
    std::vector<uint8_t> samples(rowBytes * height);
    for (uint8_t& s : samples)
        s = uint8_t(random());
    if (palette) // indices inside the palette
        for (uint8_t& s : samples)
            s = uint8_t(s % palette->n_entries);

    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr header{width, height, bitDepth, colourType, 0, 0, interlace};
    int error = spng_set_ihdr(ctx, &header);
    if (!error && palette)
        error = spng_set_plte(ctx, const_cast<spng_plte*>(palette));
    if (!error && transparency)
        error = spng_set_trns(ctx, const_cast<spng_trns*>(transparency));
    if (!error)
        error = spng_encode_image(ctx, samples.data(), samples.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
    size_t length = 0;
    void* png = error ? nullptr : spng_get_png_buffer(ctx, &length, &error);
    spng_ctx_free(ctx);
    if (!png)
        throw std::runtime_error(std::string("encoding failed: ") + spng_strerror(error));
    std::vector<char> bytes(static_cast<char*>(png), static_cast<char*>(png) + length);
    std::free(png);
    return bytes;
}

// A pack of the given assets, each with its checksum line, in the working directory.
void WritePack(const TempWorkDir& dir, const std::vector<std::pair<std::string, std::vector<char>>>& assets)
{
    std::string pack, index;
    for (const auto& [name, bytes] : assets) {
        char crc[16];
        std::snprintf(crc, sizeof crc, "%08lx",
                      crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size())));
        index += "NAME: " + name + "\nstart: " + std::to_string(pack.size()) +
                 "\nend: " + std::to_string(pack.size() + bytes.size()) + "\ncrc32: " + crc + "\n";
        pack.append(bytes.data(), bytes.size());
    }
    dir.Write("Assets.bin", pack);
    dir.Write("AssetsOffsets.bin", index);
}

} // namespace

TEST(ImageDecoding, LibspngGivesStbImagesPixelsForEveryPngForm)
{
    std::mt19937 random(7);
    spng_plte palette{};
    palette.n_entries = 5;
    for (uint32_t i = 0; i < palette.n_entries; ++i)
        palette.entries[i] = {uint8_t(40 * i), uint8_t(255 - 30 * i), uint8_t(17 * i), 0};
    spng_trns paletteAlpha{};
    paletteAlpha.n_type3_entries = 3;
    paletteAlpha.type3_alpha[0] = 0;
    paletteAlpha.type3_alpha[1] = 128;
    paletteAlpha.type3_alpha[2] = 255;
    spng_trns greyKey{};
    greyKey.gray = 3;
    spng_trns colourKey{};
    colourKey.red = 1, colourKey.green = 2, colourKey.blue = 3;

    struct Form {
        const char* name;
        uint8_t colourType, bitDepth, interlace;
        const spng_plte* palette;
        const spng_trns* transparency;
    };
    const Form forms[] = {
        {"grey 8", SPNG_COLOR_TYPE_GRAYSCALE, 8, 0, nullptr, nullptr},
        {"grey 1", SPNG_COLOR_TYPE_GRAYSCALE, 1, 0, nullptr, nullptr},
        {"grey 4 with a transparent key", SPNG_COLOR_TYPE_GRAYSCALE, 4, 0, nullptr, &greyKey},
        {"grey 16", SPNG_COLOR_TYPE_GRAYSCALE, 16, 0, nullptr, nullptr},
        {"grey and alpha 8", SPNG_COLOR_TYPE_GRAYSCALE_ALPHA, 8, 0, nullptr, nullptr},
        {"RGB 8", SPNG_COLOR_TYPE_TRUECOLOR, 8, 0, nullptr, nullptr},
        {"RGB 8 with a transparent key", SPNG_COLOR_TYPE_TRUECOLOR, 8, 0, nullptr, &colourKey},
        {"RGB 16", SPNG_COLOR_TYPE_TRUECOLOR, 16, 0, nullptr, nullptr},
        {"RGBA 8", SPNG_COLOR_TYPE_TRUECOLOR_ALPHA, 8, 0, nullptr, nullptr},
        {"RGBA 8 interlaced", SPNG_COLOR_TYPE_TRUECOLOR_ALPHA, 8, 1, nullptr, nullptr},
        {"RGBA 16", SPNG_COLOR_TYPE_TRUECOLOR_ALPHA, 16, 0, nullptr, nullptr},
        {"palette 8 with alpha", SPNG_COLOR_TYPE_INDEXED, 8, 0, &palette, &paletteAlpha},
        {"palette 4", SPNG_COLOR_TYPE_INDEXED, 4, 0, &palette, nullptr},
    };
    // Odd sizes: partial bytes at the ends of rows, and the interlaced passes of unequal size.
    for (const Form& form : forms) {
        const std::vector<char> png =
            EncodePng(37, 11, form.colourType, form.bitDepth, form.interlace, form.palette, form.transparency, random);
        ExpectSameImage(DecodeTextureImage(png), DecodeTextureImageWithStb(png), form.name);
    }
}

TEST(ImageDecoding, BytesThatAreNoImageFailAsTheTextureLoaderReportsIt)
{
    std::mt19937 random(3);
    std::vector<char> png = EncodePng(64, 64, SPNG_COLOR_TYPE_TRUECOLOR, 8, 0, nullptr, nullptr, random);
    const std::vector<char> cut(png.begin(), png.begin() + long(png.size() / 2));
    const std::vector<char> headerOnly(png.begin(), png.begin() + 33);
    const std::vector<char> text = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    for (const auto* bytes : {&cut, &headerOnly, &text})
        EXPECT_EQ(MessageOf([&] { DecodeTextureImage(*bytes); }), "failed to load texture image!");
}

// The real pack, from the run directory the tests start in.
TEST(ImageBatch, DecodesEverySceneImageAsOneByOneDecodingDoesInTheGivenOrder)
{
    ImageBatch batch(SceneImages, 3);
    for (const std::string& name : SceneImages) {
        const DecodedImage serial = DecodeTextureImageWithStb(LoadAsset(name.c_str()));
        ExpectSameImage(*batch.Take(name), serial, name);
    }
    EXPECT_THROW(batch.Take("GroundTexture"), std::logic_error) << "an image is handed over once";
}

TEST(ImageBatch, ANameListedTwiceIsDecodedTwiceAndTakenInTurn)
{
    ImageBatch batch({"ZombieSpec", "GrassAlphaTexture", "ZombieSpec"}, 2);
    const auto first = batch.Take("ZombieSpec");
    const auto second = batch.Take("ZombieSpec");
    ExpectSameImage(*first, *second, "ZombieSpec");
    EXPECT_NE(first->pixels.get(), second->pixels.get());
    EXPECT_EQ(batch.Take("GrassAlphaTexture")->width, 512u);
}

TEST(ImageBatch, EachFailureIsThrownWhenItsImageIsTakenWithTheMessageOfLoadingItAlone)
{
    std::mt19937 random(11);
    const std::vector<char> good = EncodePng(16, 8, SPNG_COLOR_TYPE_TRUECOLOR, 8, 0, nullptr, nullptr, random);
    const std::vector<char> cut(good.begin(), good.begin() + long(good.size() - 20));
    TempWorkDir dir;
    WritePack(dir, {{"Good", good}, {"Cut", cut}, {"Text", {'x', 'y', 'z'}}});

    const std::vector<std::string> names = {"Cut", "Good", "Missing", "Text", "Good"};
    const std::string missing = "Big problem, the asset name you are passing in doesnt exist in offset file";
    const std::vector<std::string> expected = {"failed to load texture image!", "<no exception>", missing,
                                               "failed to load texture image!", "<no exception>"};
    for (unsigned threads : {1u, 4u}) {
        ImageBatch batch(names, threads);
        for (size_t i = 0; i < names.size(); ++i) {
            const std::string alone = MessageOf([&] { DecodeTextureImage(LoadAsset(names[i].c_str())); });
            EXPECT_EQ(alone, expected[i]) << names[i];
            EXPECT_EQ(MessageOf([&] { batch.Take(names[i]); }), alone) << names[i] << " on " << threads << " thread(s)";
        }
    }
}

TEST(ImageBatch, ADamagedPackFailsEveryImageWithThePacksMessage)
{
    std::mt19937 random(5);
    const std::vector<char> png = EncodePng(8, 8, SPNG_COLOR_TYPE_GRAYSCALE, 8, 0, nullptr, nullptr, random);
    TempWorkDir dir;
    WritePack(dir, {{"First", png}, {"Second", png}});
    // One flipped byte in the second asset, after its checksum was written.
    std::string pack(png.begin(), png.end());
    pack += std::string(png.begin(), png.end());
    pack[png.size() + 40] ^= 0x10;
    dir.Write("Assets.bin", pack);

    ImageBatch batch({"First", "Second"}, 2);
    for (const char* name : {"First", "Second"})
        EXPECT_EQ(MessageOf([&] { batch.Take(name); }), "Assets.bin is damaged: Second fails its checksum") << name;
}

// A restart's batch takes what the pack still holds unchanged from the cache and decodes the
// rest; the pack is read, and checked, every time.
TEST(ImageBatch, TheCacheServesOnlyImagesWhoseBytesAreUnchanged)
{
    std::mt19937 random(9);
    const std::vector<char> first = EncodePng(12, 6, SPNG_COLOR_TYPE_TRUECOLOR, 8, 0, nullptr, nullptr, random);
    const std::vector<char> second = EncodePng(6, 12, SPNG_COLOR_TYPE_GRAYSCALE, 8, 0, nullptr, nullptr, random);
    const std::vector<char> replaced = EncodePng(12, 6, SPNG_COLOR_TYPE_TRUECOLOR, 8, 0, nullptr, nullptr, random);
    ASSERT_NE(first, replaced);
    DecodedImageCache cache;
    TempWorkDir dir;
    WritePack(dir, {{"A", first}, {"B", second}});
    ImageBatch start({"A", "B"}, 2, &cache);
    const auto a = start.Take("A");
    const auto b = start.Take("B");

    ImageBatch again({"A", "B"}, 2, &cache);
    EXPECT_EQ(again.Take("A"), a);
    EXPECT_EQ(again.Take("B"), b);

    WritePack(dir, {{"A", replaced}, {"B", second}});
    ImageBatch afterReplacing({"A", "B"}, 2, &cache);
    const auto newA = afterReplacing.Take("A");
    EXPECT_NE(newA, a);
    ExpectSameImage(*newA, DecodeTextureImageWithStb(replaced), "the replaced image");
    EXPECT_EQ(afterReplacing.Take("B"), b);

    // Damage after the checksums were written: the cached images are not handed out.
    std::string pack(replaced.begin(), replaced.end());
    pack += std::string(second.begin(), second.end());
    pack[40] ^= 0x01;
    dir.Write("Assets.bin", pack);
    ImageBatch afterDamage({"A", "B"}, 2, &cache);
    EXPECT_EQ(MessageOf([&] { afterDamage.Take("B"); }), "Assets.bin is damaged: A fails its checksum");
}
