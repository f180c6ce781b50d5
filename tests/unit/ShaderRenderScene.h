// Scene pieces shared by the drawing tests of the pack's shaders: the game's camera, simple
// geometry, its lights and materials, and a fixture that skips without a Vulkan device and fails
// on any validation message.
#pragma once

#include "ShaderRenderHarness.h"

#include "app/Lights.h"
#include "renderer/UniformRecords.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace shader_render {

inline constexpr float Tolerance = 6.0f / 255.0f; // a few steps of 8-bit output

// The game camera's projection for a square window: 70 degree field of view, near 0.08,
// far 10000, OpenGL depth range, Y flipped for Vulkan.
inline glm::mat4 GameProjection()
{
    const float f = 1.0f / std::tan(0.6108651161193848f);
    glm::mat4 p(0.0f);
    p[0][0] = f;
    p[1][1] = -f;
    p[2][2] = -1.0000160f;
    p[2][3] = -1.0f;
    p[3][2] = -0.16000128f;
    return p;
}

inline CameraRecord Camera(const glm::mat4& view = glm::mat4(1.0f))
{
    return {view, GameProjection()};
}

// A square facing +z at depth z, counter-clockwise seen from the camera at the origin, with
// texture coordinates whose origin is the top-left corner, as the imported meshes have them.
inline std::vector<Vertex> Quad(float z, float halfSize, glm::vec2 centre = glm::vec2(0.0f))
{
    auto corner = [&](float x, float y) {
        Vertex v;
        v.position = glm::vec3(centre + glm::vec2(x, y) * halfSize, z);
        v.normal = glm::vec3(0, 0, 1);
        v.tangent = glm::vec3(1, 0, 0);
        v.texCoords = glm::vec2((x + 1.0f) * 0.5f, (1.0f - y) * 0.5f);
        return v;
    };
    return {corner(-1, -1), corner(1, -1), corner(1, 1), corner(-1, -1), corner(1, 1), corner(-1, 1)};
}

// The unit cube, outward counter-clockwise like the "Cube" model.
inline std::vector<Vertex> Cube()
{
    std::vector<Vertex> vertices;
    const glm::vec3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const glm::vec3& n : normals) {
        glm::vec3 u = std::abs(n.y) > 0.5f ? glm::vec3(1, 0, 0) : glm::vec3(0, 1, 0);
        glm::vec3 v = glm::cross(n, u);
        glm::vec3 c[4] = {n - u - v, n + u - v, n + u + v, n - u + v};
        for (int i : {0, 1, 2, 0, 2, 3}) {
            Vertex vertex;
            vertex.position = c[i];
            vertex.normal = n;
            vertices.push_back(vertex);
        }
    }
    return vertices;
}

inline PointLight GamePointLight(glm::vec3 position, glm::vec3 colour)
{
    PointLight light;
    light.position = glm::vec4(position, 1.0f);
    light.colour = glm::vec4(colour, 1.0f);
    light.constant = 1.0f; // the scene's attenuation terms
    light.linear = 0.09f;
    light.quadratic = 0.032f;
    return light;
}

struct Lights {
    std::array<PointLight, MaxPointLights> points{}; // zero-filled: must add nothing, and no NaN
    SpotLight spot{};
    DirectionalLight moon{};
};

inline PbrRecord Material(glm::vec3 colour, float metallic, float roughness, float occlusion, float opacity)
{
    PbrRecord record;
    record.colourAndMetallic = glm::vec4(colour, metallic);
    record.values = glm::vec4(metallic, roughness, occlusion, opacity);
    return record;
}

inline ShaderDraw LitDraw(const std::string& program, std::vector<Vertex> vertices, const PbrRecord& record,
                          const Lights& lights)
{
    ShaderDraw draw;
    draw.program = program;
    draw.vertices = std::move(vertices);
    draw.blocks["CameraBuffer"] = BytesOf(Camera());
    draw.blocks["DYN_" + program] = BytesOf(record);
    draw.blocks["PointLightsBuffer"] = BytesOf(lights.points);
    draw.blocks["SpotLightsBuffer"] = BytesOf(lights.spot);
    draw.blocks["DirectionalLightsBuffer"] = BytesOf(lights.moon);
    return draw;
}

// Independent reference for a white, fully rough dielectric seen head-on and lit head-on:
// Lambert with (1 - F0) of the light refracted, plus GGX at alpha = 1 (D = 1/pi, G = 1),
// then the ACES fit and the 2.2 display gamma.
inline float HeadOnDisplayValue(float radiance)
{
    const float pi = 3.14159265f;
    float linear = radiance * ((1.0f - 0.04f) / pi + (1.0f / pi) * 0.04f / 4.0f);
    float aces = linear * (2.51f * linear + 0.03f) / (linear * (2.43f * linear + 0.59f) + 0.14f);
    return std::pow(aces, 1.0f / 2.2f);
}

inline constexpr uint32_t Mid = ShaderRenderHarness::DefaultSize / 2;

class ShaderRender : public ::testing::Test {
protected:
    explicit ShaderRender(uint32_t size = ShaderRenderHarness::DefaultSize) : harness(size, size) {}

    void SetUp() override
    {
        if (!harness.UnavailableReason().empty())
            GTEST_SKIP() << "no Vulkan device: " << harness.UnavailableReason();
    }
    void TearDown() override
    {
        for (const std::string& error : harness.ValidationErrors())
            ADD_FAILURE() << "validation: " << error;
    }
    ShaderRenderHarness harness;
};

} // namespace shader_render
