#include "tools/contactsheet/ContactSheet.h"

#include <stb_easy_font.h>
#include <stb_image.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int TextScale = 2; // the bitmap font is about 7 pixels high; doubled it reads at a glance

void FillRect(Image& sheet, int x0, int y0, int x1, int y1, const uint8_t rgb[3])
{
    for (int y = std::max(y0, 0); y < std::min(y1, sheet.Height()); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, sheet.Width()); ++x)
            std::copy(rgb, rgb + 3, sheet.Pixel(x, y));
}

void DrawText(Image& sheet, int x, int y, const std::string& text)
{
    struct Vertex {
        float x, y, z;
        unsigned char colour[4];
    };
    std::vector<Vertex> quads(text.size() * 80); // stb_easy_font uses about 270 bytes per character
    std::string mutableText = text;
    const int count = stb_easy_font_print(0.0f, 0.0f, mutableText.data(), nullptr, quads.data(),
                                          static_cast<int>(quads.size() * sizeof(Vertex)));
    static const uint8_t ink[3] = {225, 225, 215};
    for (int q = 0; q < count; ++q) {
        const Vertex& a = quads[static_cast<size_t>(q) * 4];
        const Vertex& c = quads[static_cast<size_t>(q) * 4 + 2];
        FillRect(sheet, x + static_cast<int>(a.x) * TextScale, y + static_cast<int>(a.y) * TextScale,
                 x + static_cast<int>(c.x) * TextScale, y + static_cast<int>(c.y) * TextScale, ink);
    }
}

// Magenta and black stripes with a word in the middle: nobody mistakes it for a texture.
void DrawPlaceholder(Image& sheet, int x0, int y0, int size)
{
    static const uint8_t magenta[3] = {220, 0, 200};
    static const uint8_t black[3] = {20, 0, 20};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            std::copy_n(((x + y) / 16) % 2 ? magenta : black, 3, sheet.Pixel(x0 + x, y0 + y));
    if (size < 120) // the word needs about 104 x 28 pixels; smaller tiles keep only the stripes
        return;
    FillRect(sheet, x0 + size / 2 - 52, y0 + size / 2 - 14, x0 + size / 2 + 52, y0 + size / 2 + 14, black);
    DrawText(sheet, x0 + size / 2 - 40, y0 + size / 2 - 8, "MISSING");
}

// Box-filters (or repeats, when enlarging) the image into a size x size square, aspect kept,
// centred; alpha is dropped so the colour under transparent texels stays visible.
void DrawScaled(Image& sheet, int x0, int y0, int size, const Image& image)
{
    const float scale = static_cast<float>(size) / static_cast<float>(std::max(image.Width(), image.Height()));
    const int w = std::max(1, static_cast<int>(static_cast<float>(image.Width()) * scale));
    const int h = std::max(1, static_cast<int>(static_cast<float>(image.Height()) * scale));
    const int ox = x0 + (size - w) / 2, oy = y0 + (size - h) / 2;
    for (int y = 0; y < h; ++y) {
        const int sy0 = y * image.Height() / h, sy1 = std::max(sy0 + 1, (y + 1) * image.Height() / h);
        for (int x = 0; x < w; ++x) {
            const int sx0 = x * image.Width() / w, sx1 = std::max(sx0 + 1, (x + 1) * image.Width() / w);
            int sum[3] = {0, 0, 0};
            for (int sy = sy0; sy < sy1; ++sy) {
                for (int sx = sx0; sx < sx1; ++sx) {
                    const uint8_t* p = image.Pixel(sx, sy);
                    for (int c = 0; c < 3; ++c)
                        sum[c] += image.Channels() >= 3 ? p[c] : p[0];
                }
            }
            const int n = (sy1 - sy0) * (sx1 - sx0);
            uint8_t* d = sheet.Pixel(ox + x, oy + y);
            for (int c = 0; c < 3; ++c)
                d[c] = static_cast<uint8_t>((sum[c] + n / 2) / n);
        }
    }
}

} // namespace

ContactSheet::ContactSheet(int tileSize, int columns) : tileSize_(tileSize), columns_(columns) {}

void ContactSheet::AddTile(const std::string& label, std::optional<Image> image)
{
    if (column_ == columns_)
        NewRow();
    const int x = Gap + column_ * (tileSize_ + Gap);
    const int y = rowTop_ + Gap + LabelHeight;
    tiles_.push_back({x, y, label, std::move(image)});
    rowBottom_ = std::max(rowBottom_, y + tileSize_);
    ++column_;
}

void ContactSheet::NewRow()
{
    if (column_ == 0)
        return;
    rowTop_ = rowBottom_;
    column_ = 0;
}

void ContactSheet::AddCubeCross(const std::string& label, std::array<std::optional<Image>, 6> faces)
{
    NewRow();
    // Cross cell (column, row) of each face in layer order +X, -X, +Y, -Y, +Z, -Z.
    static const int cells[6][2] = {{2, 1}, {0, 1}, {1, 0}, {1, 2}, {1, 1}, {3, 1}};
    static const char* const codes[6] = {"px", "nx", "py", "ny", "pz", "nz"};
    const int top = rowTop_ + Gap + LabelHeight;
    texts_.push_back({Gap, top - LabelHeight + 2, label});
    for (size_t i = 0; i < faces.size(); ++i) {
        // Face tiles touch, so the seams between faces can be judged; each names its face inside.
        const int x = Gap + cells[i][0] * tileSize_;
        const int y = top + cells[i][1] * tileSize_;
        tiles_.push_back({x, y, "", std::move(faces[i])});
        texts_.push_back({x + 4, y + 4, codes[i]});
    }
    rowTop_ = rowBottom_ = top + 3 * tileSize_;
    column_ = 0;
}

std::vector<ContactSheet::Placement> ContactSheet::TileOrigins() const
{
    std::vector<Placement> origins;
    for (const Tile& t : tiles_)
        origins.push_back({t.x, t.y});
    return origins;
}

Image ContactSheet::Compose() const
{
    int width = Gap + std::max(columns_ * (tileSize_ + Gap), 4 * tileSize_ + Gap);
    int height = rowBottom_ + Gap;
    Image sheet(width, height, 3);
    static const uint8_t background[3] = {34, 36, 40};
    FillRect(sheet, 0, 0, width, height, background);
    for (const Tile& t : tiles_) {
        if (t.image)
            DrawScaled(sheet, t.x, t.y, tileSize_, *t.image);
        else
            DrawPlaceholder(sheet, t.x, t.y, tileSize_);
    }
    for (const Tile& t : tiles_)
        DrawText(sheet, t.x, t.y - LabelHeight + 2, t.label);
    for (const Text& t : texts_)
        DrawText(sheet, t.x, t.y, t.text);
    return sheet;
}

std::optional<Image> DecodeImage(const std::vector<char>& bytes)
{
    int w = 0, h = 0, channels = 0;
    std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> pixels(
        stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()), &w, &h,
                              &channels, STBI_rgb_alpha),
        &stbi_image_free);
    if (!pixels)
        return std::nullopt;
    Image image(w, h, 4);
    std::copy_n(pixels.get(), static_cast<size_t>(w) * static_cast<size_t>(h) * 4, image.Pixel(0, 0));
    return image;
}
