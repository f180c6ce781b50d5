#include "support/TempDir.h"
#include "tools/contactsheet/ContactSheet.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

constexpr int Tile = 32;

Image Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    Image image(w, h, 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = image.Pixel(x, y);
            p[0] = r, p[1] = g, p[2] = b, p[3] = 0; // alpha 0: the sheet must show the colour anyway
        }
    return image;
}

bool Is(const Image& sheet, int x, int y, uint8_t r, uint8_t g, uint8_t b)
{
    const uint8_t* p = sheet.Pixel(x, y);
    return p[0] == r && p[1] == g && p[2] == b;
}

} // namespace

TEST(TextureContactSheet, TilesKeepTheirOrderAspectAndPlaceholders)
{
    ContactSheet sheet(Tile, 2);
    sheet.AddTile("red", Solid(8, 8, 200, 10, 10));
    sheet.AddTile("missing", std::nullopt);
    sheet.AddTile("wide", Solid(64, 32, 10, 200, 10)); // third tile: wraps to a second row
    const Image out = sheet.Compose();
    const auto at = sheet.TileOrigins();
    ASSERT_EQ(at.size(), 3u);
    EXPECT_GT(at[1].x, at[0].x);
    EXPECT_EQ(at[1].y, at[0].y);
    EXPECT_EQ(at[2].x, at[0].x);
    EXPECT_GE(at[2].y, at[0].y + Tile);

    EXPECT_TRUE(Is(out, at[0].x + Tile / 2, at[0].y + Tile / 2, 200, 10, 10)); // enlarged to fill the tile
    EXPECT_TRUE(Is(out, at[0].x, at[0].y, 200, 10, 10));
    int magenta = 0;
    for (int y = 0; y < Tile; ++y)
        for (int x = 0; x < Tile; ++x)
            magenta += Is(out, at[1].x + x, at[1].y + y, 220, 0, 200) ? 1 : 0;
    EXPECT_GT(magenta, Tile * Tile / 4);
    // Twice as wide as high: centred, the top and bottom quarters of the tile stay background.
    EXPECT_TRUE(Is(out, at[2].x + Tile / 2, at[2].y + Tile / 2, 10, 200, 10));
    EXPECT_FALSE(Is(out, at[2].x + Tile / 2, at[2].y + 2, 10, 200, 10));
    EXPECT_FALSE(Is(out, at[2].x + Tile / 2, at[2].y + Tile - 3, 10, 200, 10));
}

// The unfolded cube must put faces that share an edge side by side: +Y over +Z, -Y under it,
// and -X, +Z, +X, -Z in a row.
TEST(TextureContactSheet, CubeCrossPlacesNeighbouringFacesTogether)
{
    ContactSheet sheet(Tile, 4);
    std::array<std::optional<Image>, 6> faces;
    for (size_t i = 0; i < faces.size(); ++i)
        faces[i] = Solid(16, 16, static_cast<uint8_t>(40 * i + 20), 90, 90);
    faces[3].reset();
    sheet.AddCubeCross("Sky", std::move(faces));
    const Image out = sheet.Compose();
    const auto at = sheet.TileOrigins();
    ASSERT_EQ(at.size(), 6u);
    enum { PX, NX, PY, NY, PZ, NZ };
    EXPECT_EQ(at[PY].x, at[PZ].x);
    EXPECT_EQ(at[PY].y + Tile, at[PZ].y);
    EXPECT_EQ(at[NY].x, at[PZ].x);
    EXPECT_EQ(at[NY].y, at[PZ].y + Tile);
    EXPECT_EQ(at[NX].x + Tile, at[PZ].x);
    EXPECT_EQ(at[PZ].x + Tile, at[PX].x);
    EXPECT_EQ(at[PX].x + Tile, at[NZ].x);
    for (int f : {PX, NX, PY, NZ, PZ})
        EXPECT_TRUE(Is(out, at[f].x + Tile - 2, at[f].y + Tile - 2, static_cast<uint8_t>(40 * f + 20), 90, 90)) << f;
    EXPECT_FALSE(Is(out, at[NY].x + Tile - 2, at[NY].y + Tile - 2, 140, 90, 90));
}

TEST(TextureContactSheet, DecodesPngBytesToRgbaAndRejectsGarbage)
{
    EXPECT_FALSE(DecodeImage({'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}));
    EXPECT_FALSE(DecodeImage({}));

    TempWorkDir dir;
    Image grey(5, 3, 1);
    grey.Pixel(4, 2)[0] = 77;
    grey.WritePng("grey.png");
    std::ifstream in("grey.png", std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::optional<Image> decoded = DecodeImage(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->Width(), 5);
    EXPECT_EQ(decoded->Height(), 3);
    EXPECT_EQ(decoded->Channels(), 4);
    EXPECT_EQ(decoded->Pixel(4, 2)[0], 77);
    EXPECT_EQ(decoded->Pixel(4, 2)[2], 77);
    EXPECT_EQ(decoded->Pixel(4, 2)[3], 255);
}
