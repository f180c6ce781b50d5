// The sky drawn as the game draws it, cube map and sampler included, across the edges where two
// of its faces meet: the seams must not show.
#include "ShaderRenderScene.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace shader_render;

namespace {

constexpr uint32_t FaceSize = 64;
constexpr uint8_t Bright = 200;
constexpr uint8_t Dark = 20;

// Bright within a quarter face of any edge and dark inside: the same on both sides of every seam,
// while a filter that reaches into a face's middle from its edge pulls in the dark.
std::vector<std::shared_ptr<const DecodedImage>> FramedFaces()
{
    std::vector<std::shared_ptr<const DecodedImage>> faces;
    for (int face = 0; face < 6; ++face) {
        auto image = std::make_shared<DecodedImage>();
        image->width = image->height = FaceSize;
        image->pixels.reset(static_cast<unsigned char*>(std::malloc(image->ByteSize())));
        for (uint32_t y = 0; y < FaceSize; ++y) {
            for (uint32_t x = 0; x < FaceSize; ++x) {
                const uint32_t toEdge = std::min({x, y, FaceSize - 1 - x, FaceSize - 1 - y});
                unsigned char* texel = image->pixels.get() + (y * FaceSize + x) * 4;
                std::memset(texel, toEdge < FaceSize / 4 ? Bright : Dark, 3);
                texel[3] = 255;
            }
        }
        faces.push_back(std::move(image));
    }
    return faces;
}

class ShaderRenderSky : public ShaderRender {
protected:
    static constexpr uint32_t Size = 96;
    static constexpr uint32_t Mid = Size / 2;
    ShaderRenderSky() : ShaderRender(Size) {}

    // The darkest pixel of the window [x0, x1) x [y0, y1) with the camera turned by `yaw` about +Y,
    // then raised by `pitch` (degrees).
    float DarkestLooking(float yaw, float pitch, uint32_t x0, uint32_t x1, uint32_t y0, uint32_t y1)
    {
        const glm::mat4 turn = glm::rotate(glm::mat4(1.0f), glm::radians(yaw), {0, 1, 0}) *
                               glm::rotate(glm::mat4(1.0f), glm::radians(pitch), {1, 0, 0});
        ShaderDraw sky;
        sky.program = "SkyBoxShader";
        sky.vertices = Cube();
        sky.blocks["CameraBuffer"] = BytesOf(Camera(glm::inverse(turn)));
        const RenderedFrame frame = harness.Render({sky});
        float darkest = 1.0f;
        for (uint32_t y = y0; y < y1; ++y)
            for (uint32_t x = x0; x < x1; ++x)
                darkest = std::min(darkest, frame.Pixel(x, y).g);
        return darkest;
    }
};

} // namespace

TEST_F(ShaderRenderSky, FaceEdgesShowNoLine)
{
    harness.SetGameSkyBox(FramedFaces());
    // The faces are sRGB and the shader encodes with the display gamma again: about what was painted.
    const float bright = Bright / 255.0f - Tolerance;
    // Derivatives come from 2 x 2 pixel quads: an edge that runs between two quads hides what a
    // quad straddling it shows. Turned one pixel short of the edge, it crosses the quads of
    // columns Mid and Mid + 1, or rows Mid - 2 and Mid - 1.
    const float onePixel = glm::degrees(std::atan(1.0f / (Mid * GameProjection()[0][0])));
    // Turned right toward the +X / -Z edge: it runs down the view; the bright frame spans about 20
    // columns either side of it.
    EXPECT_GT(DarkestLooking(-45.0f + onePixel, 0.0f, Mid - 8, Mid + 8, 8, Size - 8), bright) << "+X / -Z edge";
    // Facing +X and looking up toward the +X / +Y edge: it runs across the view.
    EXPECT_GT(DarkestLooking(-90.0f, 45.0f - onePixel, 8, Size - 8, Mid - 8, Mid + 8), bright) << "+X / +Y edge";
}
