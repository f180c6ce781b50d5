// Light records, uploaded byte for byte: the shaders' light blocks declare these layouts.
#pragma once

#include <glm/glm.hpp>

inline constexpr int MaxPointLights = 10;

struct PointLight {
    glm::vec4 position{0.0f}; // w = 1
    glm::vec4 colour{0.0f};   // w = 1
    glm::vec4 ambient{0.0f};
    glm::vec4 specular{0.0f};
    float constant = 0.0f;
    float linear = 0.0f;
    float quadratic = 0.0f;
    float padding = 0.0f;
};
static_assert(sizeof(PointLight) == 80);

struct SpotLight {
    glm::vec4 position{0.0f};
    glm::vec4 direction{0.0f};
    glm::vec4 colour{0.0f};
    glm::vec4 ambient{0.0f};
    glm::vec4 specular{0.0f};
    float constant = 0.0f;
    float linear = 0.0f;
    float quadratic = 0.0f;
    float cutOff = 0.0f;      // cosine of the inner half-angle
    float outerCutOff = 0.0f; // cosine of the outer half-angle
    float padding[3] = {};
};
static_assert(sizeof(SpotLight) == 112);

struct DirectionalLight {
    glm::vec4 direction{0.0f};
    glm::vec4 colour{0.0f};
    glm::vec4 ambient{0.0f};
    glm::vec4 specular{0.0f};
};
static_assert(sizeof(DirectionalLight) == 64);
