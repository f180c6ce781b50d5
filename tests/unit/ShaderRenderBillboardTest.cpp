// The blended billboard program drawn on a real Vulkan device: grass, bubble spray and the
// burning puddle faded by their opacity and mask.
#include "ShaderRenderScene.h"

#include <gtest/gtest.h>

using namespace shader_render;

TEST_F(ShaderRender, BillboardsBlendByOpacityDiscardTheFaintAndThePuddleGlows)
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

    glm::vec4 puddle = render(Material(glm::vec3(1.0f, 0.0f, 0.5f), 0.0f, 0.05f, 1.0f, 0.7f)).Pixel(Mid, Mid);
    EXPECT_GT(puddle.r, 0.3f) << "the burning liquid glows in the dark";
    EXPECT_GT(puddle.r, puddle.g);

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
