// The blended billboard program drawn on a real Vulkan device: grass and bubble spray stay plain
// lit surfaces faded by opacity and mask, and the burning puddle is a feathered, glowing pool cut
// out of its square, graded from a hot core through its colour to smoky edges.
#include "ShaderRenderScene.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace shader_render;

namespace {

// The puddle as the player builds it: the "Plane" mesh scaled (2, 0.1, 2), magenta, opacity 0.7.
const glm::vec3 PuddleScale(2.0f, 0.1f, 2.0f);
const glm::vec3 PuddleColour(1.0f, 0.0f, 0.5f);
constexpr float PuddleOpacity = 0.7f;

constexpr uint32_t PuddleView = 128;   // pixels: the fringe spans several of them
constexpr float PuddleDistance = 4.0f; // the 4-unit square fills most of the view, corners inside
constexpr float PuddleMid = PuddleView / 2.0f;

// The "Plane" mesh: y = 0, x and z in [-1, 1], counter-clockwise seen from +y, its UVs tiled twelve
// times (the same mesh is the ground), so nothing about the pool can come from them.
std::vector<Vertex> PlaneMesh()
{
    auto corner = [](float x, float z) {
        Vertex v;
        v.position = glm::vec3(x, 0.0f, z);
        v.normal = glm::vec3(0, 1, 0);
        v.tangent = glm::vec3(1, 0, 0);
        v.texCoords = glm::vec2(x + 1.0f, z + 1.0f) * 6.0f;
        return v;
    };
    return {corner(-1, 1), corner(1, 1), corner(1, -1), corner(-1, 1), corner(1, -1), corner(-1, -1)};
}

// Stood up to face the camera: object +z points down the screen, object +x to the right.
PbrRecord PuddleRecord(float opacity)
{
    PbrRecord record = Material(PuddleColour, 0.0f, 0.05f, 1.0f, opacity);
    record.model = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, -PuddleDistance)) *
                   glm::rotate(glm::mat4(1.0f), glm::radians(90.0f), glm::vec3(1, 0, 0)) *
                   glm::scale(glm::mat4(1.0f), PuddleScale);
    record.normalMatrix = glm::transpose(glm::inverse(record.model));
    return record;
}

// Pixels per object-space unit of the puddle plane at its distance (70 degree field of view).
float PixelsPerUnit()
{
    return PuddleMid * PuddleScale.x / (PuddleDistance * std::tan(glm::radians(35.0f)));
}

float Brightest(glm::vec3 c)
{
    return std::max({c.r, c.g, c.b});
}

float Saturation(glm::vec3 c)
{
    float peak = Brightest(c);
    return peak > 0.0f ? (peak - std::min({c.r, c.g, c.b})) / peak : 0.0f;
}

// The puddle over black and over white: their difference is what shows through, so coverage
// and the puddle's own colour come apart whatever that colour is.
struct PuddleLayers {
    RenderedFrame overBlack;
    RenderedFrame overWhite;

    static glm::ivec2 PixelAt(glm::vec2 object)
    {
        return glm::ivec2(glm::floor(glm::vec2(PuddleMid) + object * PixelsPerUnit()));
    }
    float Alpha(glm::vec2 object) const
    {
        glm::ivec2 p = PixelAt(object);
        glm::vec3 through = glm::vec3(overWhite.Pixel(p.x, p.y) - overBlack.Pixel(p.x, p.y));
        return 1.0f - (through.r + through.g + through.b) / 3.0f;
    }
    glm::vec3 Own(glm::vec2 object) const
    {
        glm::ivec2 p = PixelAt(object);
        return glm::vec3(overBlack.Pixel(p.x, p.y)) / std::max(Alpha(object), 1e-3f);
    }
};

// Samples one pixel apart along a ray from the centre out to the square's side.
std::vector<glm::vec2> Ray(float degrees)
{
    glm::vec2 direction(std::cos(glm::radians(degrees)), std::sin(glm::radians(degrees)));
    std::vector<glm::vec2> points;
    for (float r = 0.0f; r <= 0.97f; r += 1.0f / PixelsPerUnit())
        points.push_back(direction * r);
    return points;
}

class ShaderRenderPuddle : public ShaderRender {
protected:
    ShaderRenderPuddle() : ShaderRender(PuddleView) {}

    // In the dark: whatever shows is the puddle's own light.
    PuddleLayers Draw(float opacity = PuddleOpacity)
    {
        ShaderDraw puddle = LitDraw("BillBoardPBRShader", PlaneMesh(), PuddleRecord(opacity), Lights{});
        ShaderDraw white;
        white.program = "BaseShader";
        white.vertices = Quad(-10.0f, 10.0f);
        white.blocks["CameraBuffer"] = BytesOf(Camera());
        white.blocks["DYN_BaseShader"] = BytesOf(BaseRecord{});
        white.pushConstants = BytesOf(PushConstantRecord{glm::vec4(1.0f), {-1, -1, -1, -1, -1, -1, -1, -1}});
        return {harness.Render({puddle}), harness.Render({white, puddle})};
    }
};

} // namespace

TEST_F(ShaderRenderPuddle, PoolIsRoundedWithASoftEdgeAndTheSquareNeverShows)
{
    PuddleLayers puddle = Draw();
    EXPECT_NEAR(puddle.Alpha({0, 0}), PuddleOpacity, 0.03f) << "blended by its opacity at the centre";

    for (glm::vec2 rim :
         {glm::vec2(-0.95f, -0.95f), glm::vec2(0.95f, -0.95f), glm::vec2(-0.95f, 0.95f), glm::vec2(0.95f, 0.95f),
          glm::vec2(0.0f, 0.95f), glm::vec2(0.95f, 0.0f), glm::vec2(0.0f, -0.95f), glm::vec2(-0.95f, 0.0f)}) {
        glm::ivec2 p = PuddleLayers::PixelAt(rim);
        EXPECT_EQ(puddle.overBlack.Pixel(p.x, p.y), glm::vec4(0, 0, 0, 1))
            << "corner or side at " << rim.x << ", " << rim.y << ": nothing drawn";
        EXPECT_EQ(puddle.overWhite.Pixel(p.x, p.y), glm::vec4(1)) << "the background shows through";
    }

    // Along each of 16 rays the coverage falls from the opacity to nothing over several pixels,
    // never in one step; where it passes half the opacity wanders with the angle (a ragged pool,
    // not a circle) but stays well inside the square.
    float nearest = 1.0f, farthest = 0.0f;
    for (int i = 0; i < 16; ++i) {
        float degrees = 22.5f * static_cast<float>(i);
        std::vector<glm::vec2> ray = Ray(degrees);
        int fringe = 0;
        float steepest = 0.0f, previous = puddle.Alpha(ray.front()), halfway = 1.0f;
        for (glm::vec2 point : ray) {
            float alpha = puddle.Alpha(point);
            fringe += alpha > 0.05f && alpha < PuddleOpacity - 0.1f ? 1 : 0;
            steepest = std::max(steepest, previous - alpha);
            if (alpha < PuddleOpacity / 2.0f && halfway == 1.0f)
                halfway = glm::length(point);
            previous = alpha;
        }
        EXPECT_GE(fringe, 3) << "ray at " << degrees << " degrees: a gradient, not a cut";
        EXPECT_LT(steepest, PuddleOpacity / 2.0f) << "ray at " << degrees << " degrees: a cut drops it all at once";
        EXPECT_LT(puddle.Alpha(ray.back()), 1.0f / 255.0f) << "ray at " << degrees << " degrees";
        nearest = std::min(nearest, halfway);
        farthest = std::max(farthest, halfway);
    }
    EXPECT_GT(nearest, 0.35f);
    EXPECT_LT(farthest, 0.85f);
    EXPECT_GT(farthest - nearest, 0.15f) << "the outline is irregular";
}

TEST_F(ShaderRenderPuddle, HotBrightCoreGradesThroughItsColourToSmokyEdgesAndGlowsInTheDark)
{
    PuddleLayers puddle = Draw();
    glm::vec3 core = puddle.Own({0, 0});
    EXPECT_GT(Brightest(core), 0.85f) << "bright with no light at all";
    EXPECT_GT(Saturation(core), 0.4f) << "a coloured flame, not white";
    EXPECT_EQ(Brightest(core), core.r) << "the hot core leans to red";

    // Through the middle band the liquid shows its own magenta-pink; the faint fringe is smoke,
    // much darker than the core; and the flames mottle it: brightness varies around a circle.
    int magenta = 0;
    float smoke = 0.0f, smokeSamples = 0.0f, dimmest = 1.0f, brightest = 0.0f;
    for (int i = 0; i < 16; ++i) {
        float degrees = 22.5f * static_cast<float>(i);
        for (glm::vec2 point : Ray(degrees)) {
            float alpha = puddle.Alpha(point);
            glm::vec3 own = puddle.Own(point);
            if (alpha > 0.5f && own.r > 0.6f && own.b > own.g + 0.3f)
                ++magenta;
            if (alpha > 0.08f && alpha < 0.3f) {
                smoke += Brightest(own);
                smokeSamples += 1.0f;
            }
        }
        float ring =
            Brightest(puddle.Own(glm::vec2(std::cos(glm::radians(degrees)), std::sin(glm::radians(degrees))) * 0.3f));
        dimmest = std::min(dimmest, ring);
        brightest = std::max(brightest, ring);
    }
    EXPECT_GE(magenta, 16) << "the liquid's colour shows between core and edge";
    ASSERT_GT(smokeSamples, 0.0f);
    EXPECT_LT(smoke / smokeSamples, 0.5f * Brightest(core)) << "the edges are dark smoke";
    EXPECT_GT(brightest - dimmest, 0.08f) << "flame mottling";

    // A fainter puddle is fainter everywhere, the pool's shape unchanged.
    PuddleLayers faint = Draw(PuddleOpacity / 2.0f);
    EXPECT_NEAR(faint.Alpha({0, 0}), PuddleOpacity / 2.0f, 0.03f);
    EXPECT_NEAR(faint.Alpha({0.4f, 0.3f}), puddle.Alpha({0.4f, 0.3f}) / 2.0f, 0.03f);
}

TEST_F(ShaderRender, BillboardsBlendByOpacityDiscardTheFaintAndMaskTheGrass)
{
    auto render = [&](const PbrRecord& record, const std::vector<uint8_t>& push = {}, const Lights& lights = {}) {
        ShaderDraw draw = LitDraw("BillBoardPBRShader", Quad(-2.0f, 3.0f), record, lights);
        draw.pushConstants = push;
        return harness.Render({draw});
    };
    // Blended over the cleared alpha 1: a * a + (1 - a).
    glm::vec4 spray = render(Material(glm::vec3(0.4f), 0.0f, 0.1f, 0.9f, 0.6f)).Pixel(Mid, Mid);
    EXPECT_NEAR(spray.a, 0.6f * 0.6f + 0.4f, Tolerance);
    EXPECT_LT(spray.r, Tolerance) << "a grey particle does not glow";

    EXPECT_EQ(render(Material(glm::vec3(0.4f), 0.0f, 0.1f, 0.9f, 0.05f)).Pixel(Mid, Mid).a, 1.0f)
        << "an almost transparent fragment is discarded";

    // The grass mask in slot 7, under the moon: left texel masks out, right texel lets through.
    Lights moonlit;
    moonlit.moon.colour = glm::vec4(1.0f);
    moonlit.moon.direction = glm::vec4(0.0f, 0.0f, -1.0f, 0.0f);
    int32_t grass = harness.AddTexture(1, 1, {60, 120, 40, 255}, VK_FORMAT_R8G8B8A8_SRGB);
    int32_t mask = harness.AddTexture(2, 1, {0, 0, 0, 255, 255, 255, 255, 255}, VK_FORMAT_R8G8B8A8_UNORM);
    RenderedFrame tuft =
        render(Material(glm::vec3(0.0f), 0.0f, 0.0f, 1.0f, 1.0f),
               BytesOf(PushConstantRecord{glm::vec4(0.0f), {grass, -1, -1, -1, -1, -1, -1, mask}}), moonlit);
    EXPECT_EQ(tuft.Pixel(4, Mid), glm::vec4(0.0f, 0.0f, 0.0f, 1.0f)) << "masked out: untouched";
    glm::vec4 blade = tuft.Pixel(2 * Mid - 4, Mid);
    EXPECT_GT(blade.g, blade.r) << "let through: the green diffuse texture, lit";
    EXPECT_GT(blade.g, 0.2f);
}

// Only an untextured billboard in a strongly saturated colour burns; every other one is the
// opaque program's lit surface, faded by its opacity, all over its quad (which lies far outside
// where a pool would be cut: its object-space z is -2).
TEST_F(ShaderRender, OnlyTheUntexturedSaturatedBillboardBurns)
{
    Lights moonlit;
    moonlit.moon.colour = glm::vec4(1.0f);
    moonlit.moon.direction = glm::vec4(0.3f, -0.4f, -1.0f, 0.0f);
    moonlit.moon.ambient = glm::vec4(0.09f, 0.09f, 0.09f, 0.0f);
    int32_t grass = harness.AddTexture(1, 1, {60, 120, 40, 255}, VK_FORMAT_R8G8B8A8_SRGB);
    int32_t open = harness.AddTexture(1, 1, {255, 255, 255, 255}, VK_FORMAT_R8G8B8A8_UNORM);
    auto draw = [&](const std::string& program, const PbrRecord& record, const PushConstantRecord& push) {
        ShaderDraw d = LitDraw(program, Quad(-2.0f, 3.0f), record, moonlit);
        d.pushConstants = BytesOf(push);
        return harness.Render({d});
    };
    const PushConstantRecord untextured{};
    const PushConstantRecord grassMaterial{glm::vec4(0.0f), {grass, -1, -1, -1, -1, -1, -1, open}};
    struct Case {
        const char* what;
        PbrRecord record;
        PushConstantRecord push;
    };
    // The bubble spray, a pale blue sphere (less saturated than the puddle), a grass tuft, and a
    // textured billboard whose colour (unused) is the puddle's.
    for (const Case& c : {Case{"grey spray", Material(glm::vec3(0.4f), 0.0f, 0.1f, 0.9f, 0.6f), untextured},
                          Case{"pale blue", Material(glm::vec3(0.4f, 0.6f, 1.0f), 0.0f, 0.1f, 0.9f, 0.6f), untextured},
                          Case{"grass", Material(glm::vec3(0.0f), 0.0f, 0.0f, 1.0f, 1.0f), grassMaterial},
                          Case{"textured magenta", Material(PuddleColour, 0.0f, 0.05f, 1.0f, 1.0f), grassMaterial}}) {
        RenderedFrame blended = draw("BillBoardPBRShader", c.record, c.push);
        RenderedFrame opaque = draw("PBRShader", c.record, c.push);
        const float opacity = c.record.values.w;
        for (glm::uvec2 p : {glm::uvec2(Mid, Mid), glm::uvec2(3, 3), glm::uvec2(2 * Mid - 3, 2 * Mid - 3)}) {
            glm::vec4 got = blended.Pixel(p.x, p.y), lit = opaque.Pixel(p.x, p.y);
            EXPECT_GT(lit.r + lit.g + lit.b, 0.1f) << c.what << ": the reference is lit";
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(got[k], opacity * lit[k], Tolerance) << c.what << " at " << p.x << ", " << p.y;
        }
    }

    // The puddle's colour on the same quad burns: its square lies outside the pool, so nothing shows.
    RenderedFrame burning = draw("BillBoardPBRShader", Material(PuddleColour, 0.0f, 0.05f, 1.0f, 0.7f), untextured);
    EXPECT_EQ(burning.Pixel(Mid, Mid), glm::vec4(0, 0, 0, 1));
}
