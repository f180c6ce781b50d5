// zorbulon_contact_sheet <output.png>, run in the game's run directory: reads every texture the
// scene loads from the pack, as the game does, and writes them side by side in one PNG.
// Order: the thirteen 2D textures of the scene in its load order, then two views for judging the
// look (the ground tiled 2 x 2, the grass composited over its alpha mask), then the sky as a cross.
// Textures the pack lacks or cannot decode become striped placeholders and are listed on stderr.
#include "assets/AssetPack.h"
#include "tools/contactsheet/ContactSheet.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <string>

namespace {

const char* const SceneTextures[] = {
    "GroundTexture", "GroundNormalTexture", "GrassDiffuseTexture", "GrassNormalTexture", "GrassAlphaTexture",
    "MoonTexture",   "DrevikDiff",          "DrevikNormal",        "ZombieDiff",         "ZombieSpec",
    "ZombieNormal",  "BubblgunDiffuse",     "BubblgunNormal"};
const char* const SkyFaces[] = {"SkyBoxpx", "SkyBoxnx", "SkyBoxpy", "SkyBoxny", "SkyBoxpz", "SkyBoxnz"};
constexpr int TileSize = 256;
constexpr int Columns = 5;

// Counts into `problems` every texture that ends up a placeholder.
std::optional<Image> Load(const std::string& name, int& problems)
{
    std::vector<char> bytes;
    try {
        bytes = LoadAsset(name.c_str());
    } catch (const std::exception& e) {
        std::cerr << "contact sheet: " << name << ": not in the pack (" << e.what() << ")\n";
        ++problems;
        return std::nullopt;
    }
    std::optional<Image> image = DecodeImage(bytes);
    if (!image) {
        std::cerr << "contact sheet: " << name << ": cannot be decoded\n";
        ++problems;
    }
    return image;
}

// The image repeated 2 x 2 at its own size: a seam shows as a cross through the middle.
Image Tiled(const Image& image)
{
    Image out(image.Width() * 2, image.Height() * 2, image.Channels());
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x)
            std::copy_n(image.Pixel(x % image.Width(), y % image.Height()), image.Channels(), out.Pixel(x, y));
    return out;
}

// The grass as the billboard shows it: diffuse where the mask is opaque, a night-blue backdrop elsewhere.
Image Composited(const Image& diffuse, const Image& mask)
{
    Image out(diffuse.Width(), diffuse.Height(), 3);
    const uint8_t backdrop[3] = {20, 26, 44};
    for (int y = 0; y < out.Height(); ++y) {
        for (int x = 0; x < out.Width(); ++x) {
            const int a = mask.Pixel(x % mask.Width(), y % mask.Height())[0];
            for (int c = 0; c < 3; ++c)
                out.Pixel(x, y)[c] = static_cast<uint8_t>((diffuse.Pixel(x, y)[c] * a + backdrop[c] * (255 - a)) / 255);
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " <output.png>  (run where Assets.bin is)\n";
        return 2;
    }
    int problems = 0;
    try {
        ContactSheet sheet(TileSize, Columns);
        std::optional<Image> ground, grassDiffuse, grassAlpha;
        for (const char* name : SceneTextures) {
            std::optional<Image> image = Load(name, problems);
            const std::string n = name;
            if (n == "GroundTexture")
                ground = image;
            else if (n == "GrassDiffuseTexture")
                grassDiffuse = image;
            else if (n == "GrassAlphaTexture")
                grassAlpha = image;
            sheet.AddTile(n, std::move(image));
        }
        sheet.AddTile("Ground tiled 2x2", ground ? std::optional<Image>(Tiled(*ground)) : std::nullopt);
        sheet.AddTile("Grass over its mask", grassDiffuse && grassAlpha
                                                 ? std::optional<Image>(Composited(*grassDiffuse, *grassAlpha))
                                                 : std::nullopt);
        std::array<std::optional<Image>, 6> faces;
        for (size_t i = 0; i < faces.size(); ++i)
            faces[i] = Load(SkyFaces[i], problems);
        sheet.AddCubeCross("SkyBox", std::move(faces));
        sheet.Compose().WritePng(argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "contact sheet: " << e.what() << "\n";
        return 1;
    }
    if (problems)
        std::cerr << "contact sheet: " << problems << " texture(s) shown as placeholders\n";
    return 0;
}
