// zorbulon_texture_tool <ground|grass|moon|sky> <output dir>
// Writes one group of the game's procedural textures as PNG files named after their assets.
#include "tools/textures/CubeMapFace.h"
#include "tools/textures/GrassGenerator.h"
#include "tools/textures/GroundGenerator.h"
#include "tools/textures/MoonGenerator.h"
#include "tools/textures/SkyGenerator.h"

#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

// Sizes: the ground is stretched over the whole 72 m arena and needs the most texels; the
// others are seen small or far away. Powers of two keep every mip level an exact halving.
constexpr int GroundSize = 1024;
constexpr int GrassSize = 512;
constexpr int MoonWidth = 1024; // equirectangular: twice as wide as high
constexpr int SkyFaceSize = 512;

void WriteGroup(const std::string& group, const std::filesystem::path& dir)
{
    const auto path = [&dir](const std::string& asset) { return (dir / (asset + ".png")).string(); };
    if (group == "ground") {
        const GroundTextures ground = GenerateGround(GroundSize);
        ground.colour.WritePng(path("GroundTexture"));
        ground.normal.WritePng(path("GroundNormalTexture"));
    } else if (group == "grass") {
        const GrassTextures grass = GenerateGrass(GrassSize);
        grass.diffuse.WritePng(path("GrassDiffuseTexture"));
        grass.normal.WritePng(path("GrassNormalTexture"));
        grass.alpha.WritePng(path("GrassAlphaTexture"));
    } else if (group == "moon") {
        GenerateMoon(MoonWidth, MoonWidth / 2).WritePng(path("MoonTexture"));
    } else if (group == "sky") {
        const std::vector<Star> stars = MakeStars();
        for (CubeFace face : AllCubeFaces)
            GenerateSkyFace(face, SkyFaceSize, stars).WritePng(path("SkyBox" + CubeFaceCode(face)));
    } else {
        throw std::invalid_argument("unknown texture group '" + group + "'");
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " <ground|grass|moon|sky> <output dir>\n";
        return 2;
    }
    try {
        std::filesystem::create_directories(argv[2]);
        WriteGroup(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "textures: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
