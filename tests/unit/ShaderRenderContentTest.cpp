// The pack's shaders drawn on a real Vulkan device (lavapipe where there is no GPU) under the
// game's camera, pipelines and records: what they compute, not only what they declare.
#include "ShaderRenderScene.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>

using namespace shader_render;

TEST_F(ShaderRender, SkyIsUprightAtTheFarPlaneAndIgnoresTheCameraPosition)
{
    // Each face one colour, except -Z: red over blue, to tell up from down.
    const std::vector<uint8_t> red = {200, 0, 0, 255}, blue = {0, 0, 200, 255};
    std::array<std::vector<uint8_t>, 6> faces;
    for (int i = 0; i < 6; ++i)
        faces[i] = {uint8_t(40 * i), 100, uint8_t(250 - 40 * i), 255, uint8_t(40 * i), 100, uint8_t(250 - 40 * i), 255,
                    uint8_t(40 * i), 100, uint8_t(250 - 40 * i), 255, uint8_t(40 * i), 100, uint8_t(250 - 40 * i), 255};
    faces[5] = red;
    faces[5].insert(faces[5].end(), red.begin(), red.end());
    faces[5].insert(faces[5].end(), blue.begin(), blue.end());
    faces[5].insert(faces[5].end(), blue.begin(), blue.end());
    harness.SetSkyBox(2, faces);

    ShaderDraw sky;
    sky.program = "SkyBoxShader";
    sky.vertices = Cube();
    // Standing far from the origin must not move the sky.
    sky.blocks["CameraBuffer"] = BytesOf(Camera(glm::translate(glm::mat4(1.0f), glm::vec3(-50, -3, 20))));
    RenderedFrame frame = harness.Render({sky});
    EXPECT_NEAR(frame.Pixel(Mid, 4).r, 200 / 255.0f, Tolerance) << "top of the view shows the top of the face";
    EXPECT_NEAR(frame.Pixel(Mid, 27).b, 200 / 255.0f, Tolerance);
    EXPECT_LT(frame.Pixel(Mid, 27).r, Tolerance);

    // At the far plane the sky loses to anything already drawn, even something 100 away.
    ShaderDraw wall;
    wall.program = "BaseShader";
    wall.vertices = Quad(-100.0f, 10.0f);
    wall.blocks["DYN_BaseShader"] = BytesOf(BaseRecord{});
    wall.pushConstants = BytesOf(PushConstantRecord{glm::vec4(0, 1, 0, 0), {-1, -1, -1, -1, -1, -1, -1, -1}});
    wall.blocks["CameraBuffer"] = BytesOf(Camera());
    frame = harness.Render({wall, sky});
    EXPECT_EQ(frame.Pixel(Mid, Mid), glm::vec4(0, 1, 0, 1));
    EXPECT_NEAR(frame.Pixel(Mid, 0).r, 200 / 255.0f, Tolerance) << "the sky still fills the rest";

    // Turning 90 degrees about +Y looks along +X.
    sky.blocks["CameraBuffer"] = BytesOf(Camera(glm::rotate(glm::mat4(1.0f), glm::radians(90.0f), {0, 1, 0})));
    frame = harness.Render({sky});
    EXPECT_NEAR(frame.Pixel(Mid, Mid).b, 250 / 255.0f, Tolerance);
    EXPECT_NEAR(frame.Pixel(Mid, Mid).g, 100 / 255.0f, Tolerance);
}

TEST_F(ShaderRender, DepthUsesVulkansWholeRangeSoTheNearPlaneStaysNear)
{
    ShaderDraw marker;
    marker.program = "BaseShader";
    marker.blocks["CameraBuffer"] = BytesOf(Camera());
    marker.blocks["DYN_BaseShader"] = BytesOf(BaseRecord{}); // identity model
    marker.pushConstants = BytesOf(PushConstantRecord{glm::vec4(1.0f), {-1, -1, -1, -1, -1, -1, -1, -1}});
    marker.vertices = Quad(-2.0f, 3.0f);
    RenderedFrame frame = harness.Render({marker});
    // z_ndc = (1.0000160 * 2 - 0.16000128) / 2, moved from [-1, 1] to [0, 1].
    const float expected = ((1.0000160f * 2.0f - 0.16000128f) / 2.0f + 1.0f) * 0.5f;
    EXPECT_NEAR(frame.Depth(Mid, Mid), expected, 1e-5f);

    // 0.12 away: inside the 0.08 near plane's frustum, but lost if depth stayed in [-1, 1].
    marker.vertices = Quad(-0.12f, 1.0f);
    frame = harness.Render({marker});
    EXPECT_GT(frame.Pixel(Mid, Mid).r, 0.9f);
}

TEST_F(ShaderRender, BaseShowsTheMarkerHueOrTheMoonTexture)
{
    ShaderDraw marker;
    marker.program = "BaseShader";
    marker.vertices = Quad(-2.0f, 3.0f);
    marker.blocks["CameraBuffer"] = BytesOf(Camera());
    marker.blocks["DYN_BaseShader"] = BytesOf(BaseRecord{}); // identity model
    marker.pushConstants =
        BytesOf(PushConstantRecord{glm::vec4(2.0f, 1.0f, 0.5f, 0.0f), {-1, -1, -1, -1, -1, -1, -1, -1}});
    glm::vec4 hue = harness.Render({marker}).Pixel(Mid, Mid);
    // Scaled to the brightest channel, (1, 0.5, 0.25), then gamma encoded.
    EXPECT_NEAR(hue.r, 1.0f, Tolerance);
    EXPECT_NEAR(hue.g, std::pow(0.5f, 1 / 2.2f), Tolerance);
    EXPECT_NEAR(hue.b, std::pow(0.25f, 1 / 2.2f), Tolerance);

    int32_t moon = harness.AddTexture(1, 1, {180, 170, 150, 255}, VK_FORMAT_R8G8B8A8_SRGB);
    marker.pushConstants = BytesOf(PushConstantRecord{glm::vec4(0.0f), {moon, -1, -1, -1, -1, -1, moon, -1}});
    glm::vec4 texel = harness.Render({marker}).Pixel(Mid, Mid);
    EXPECT_NEAR(texel.r, 180 / 255.0f, Tolerance);
    EXPECT_NEAR(texel.g, 170 / 255.0f, Tolerance);
    EXPECT_NEAR(texel.b, 150 / 255.0f, Tolerance);
}

TEST_F(ShaderRender, PointLightFollowsTheSceneAttenuationAndZeroLightsAddNothing)
{
    Lights lights;
    lights.points[3] = GamePointLight({0.0f, 0.0f, -1.5f}, {2.0f, 0.0f, 0.0f});
    const PbrRecord white = Material(glm::vec3(1.0f), 0.0f, 1.0f, 1.0f, 1.0f);
    RenderedFrame frame = harness.Render({LitDraw("PBRShader", Quad(-2.0f, 3.0f), white, lights)});

    // Half a unit from the wall: 2 / (1 + 0.09 * 0.5 + 0.032 * 0.25).
    const float radiance = 2.0f / (1.0f + 0.09f * 0.5f + 0.032f * 0.25f);
    EXPECT_NEAR(frame.Pixel(Mid, Mid).r, HeadOnDisplayValue(radiance), 0.02f);
    EXPECT_LT(frame.Pixel(Mid, Mid).g, Tolerance) << "the other nine lights are zero records";
    EXPECT_LT(frame.Pixel(0, 0).r, frame.Pixel(Mid, Mid).r - 0.2f) << "falls off away from the light";
}

TEST_F(ShaderRender, MoonShinesAlongItsDirectionAndSpotLightStaysInItsCone)
{
    const PbrRecord white = Material(glm::vec3(1.0f), 0.0f, 1.0f, 1.0f, 1.0f);
    Lights lights;
    lights.moon.colour = glm::vec4(1.0f);
    lights.moon.direction = glm::vec4(0.0f, 0.0f, -1.0f, 0.0f); // travelling into the wall
    EXPECT_NEAR(harness.Render({LitDraw("PBRShader", Quad(-2.0f, 3.0f), white, lights)}).Pixel(Mid, Mid).r,
                HeadOnDisplayValue(1.0f), 0.02f);
    lights.moon.direction = glm::vec4(0.0f, 0.0f, 1.0f, 0.0f); // from behind the wall
    EXPECT_LT(harness.Render({LitDraw("PBRShader", Quad(-2.0f, 3.0f), white, lights)}).Pixel(Mid, Mid).r, Tolerance);

    Lights spotLit;
    spotLit.spot.position = glm::vec4(0.0f, 0.0f, -1.0f, 1.0f);
    spotLit.spot.direction = glm::vec4(0.0f, 0.0f, -1.0f, 1.0f);
    spotLit.spot.colour = glm::vec4(2.0f, 2.0f, 2.0f, 1.0f);
    spotLit.spot.constant = 1.0f;
    spotLit.spot.linear = 0.09f;
    spotLit.spot.quadratic = 0.032f;
    spotLit.spot.cutOff = std::cos(glm::radians(10.0f));
    spotLit.spot.outerCutOff = std::cos(glm::radians(15.0f));
    RenderedFrame frame = harness.Render({LitDraw("PBRShader", Quad(-2.0f, 3.0f), white, spotLit)});
    EXPECT_GT(frame.Pixel(Mid, Mid).r, 0.5f);
    EXPECT_LT(frame.Pixel(Mid + 8, Mid).r, Tolerance) << "35 degrees off the axis is outside the cone";

    // Where the scene parks it: 100 below the ground, pointing down.
    spotLit.spot.position = glm::vec4(0.0f, -100.0f, 0.0f, 1.0f);
    spotLit.spot.direction = glm::vec4(0.0f, -1.0f, 0.0f, 1.0f);
    frame = harness.Render({LitDraw("PBRShader", Quad(-2.0f, 3.0f), white, spotLit)});
    EXPECT_LT(frame.Pixel(Mid, Mid).r, Tolerance);
}

TEST_F(ShaderRender, NormalMapGreenTiltsTheSurfaceDownTheImage)
{
    // Tangent-space normal (0, 0.6, 0.8), encoded as (n + 1) / 2.
    int32_t normalMap = harness.AddTexture(1, 1, {128, 204, 230, 255}, VK_FORMAT_R8G8B8A8_UNORM);
    const PbrRecord white = Material(glm::vec3(1.0f), 0.0f, 1.0f, 1.0f, 1.0f);
    auto litFrom = [&](float y) {
        Lights lights;
        lights.points[0] = GamePointLight({0.0f, y, -1.5f}, {2.0f, 2.0f, 2.0f});
        ShaderDraw draw = LitDraw("PBRShader", Quad(-2.0f, 3.0f), white, lights);
        draw.pushConstants = BytesOf(PushConstantRecord{glm::vec4(0.0f), {-1, normalMap, -1, -1, -1, -1, -1, -1}});
        return harness.Render({draw}).Pixel(Mid, Mid).r;
    };
    // The normal maps' y runs along +v, down the image; the quad's image has its top (v = 0) at
    // +y, so a normal tilted along +v faces down and catches a light below.
    EXPECT_GT(litFrom(-3.0f), litFrom(3.0f) + 0.2f);
}

TEST_F(ShaderRender, SkinnedVerticesFollowTheBonesOfTheDrawsInstanceRecord)
{
    std::vector<Vertex> quad = Quad(-2.0f, 0.3f);
    for (Vertex& v : quad) {
        v.boneIds[0] = 7;
        v.weights[0] = 1.0f;
    }
    std::vector<AnimStorageRecord> records(2);
    records[0].bones[7] = glm::translate(glm::mat4(1.0f), glm::vec3(-1.0f, 0.0f, 0.0f));
    records[1].bones[7] = glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, 0.0f, 0.0f));
    std::vector<uint8_t> storage(sizeof(AnimStorageRecord) * records.size());
    std::memcpy(storage.data(), records.data(), storage.size());

    Lights lights;
    lights.moon.colour = glm::vec4(1.0f);
    lights.moon.direction = glm::vec4(0.0f, 0.0f, -1.0f, 0.0f);
    ShaderDraw draw = LitDraw("AnimPBRShader", quad, {}, lights);
    draw.blocks.erase("DYN_AnimPBRShader");
    AnimRecord white{glm::vec4(1.0f, 1.0f, 1.0f, 0.0f), glm::vec4(0.0f, 1.0f, 1.0f, 1.0f)};
    draw.blocks["DYN_AnimPBRShader"] = BytesOf(white);
    draw.blocks["SSBO_AnimPBRShader"] = storage;
    draw.firstInstance = 1;
    RenderedFrame frame = harness.Render({draw});
    // x = +1 at depth 2 lands at 1 / (2 tan 35) of the half-width right of centre.
    const uint32_t right = Mid + static_cast<uint32_t>(Mid / (2.0f * std::tan(glm::radians(35.0f))));
    EXPECT_GT(frame.Pixel(right, Mid).r, 0.3f) << "record 1 moves the quad right";
    EXPECT_LT(frame.Pixel(Mid, Mid).r, Tolerance);
    EXPECT_LT(frame.Pixel(2 * Mid - right, Mid).r, Tolerance) << "record 0 is another actor's";
}
