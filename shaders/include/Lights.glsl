// The scene's light records, copied byte for byte from the C++ structs in app/Lights.h: every
// member is a vec4 or a float, so std140 adds no padding of its own.
#ifndef ZORBULON_LIGHTS_GLSL
#define ZORBULON_LIGHTS_GLSL

const int MaxPointLights = 10;

struct PointLight {
    vec4 position; // w = 1
    vec4 colour;
    vec4 ambient;
    vec4 specular;
    float constant;
    float linear;
    float quadratic;
    float padding;
};

struct SpotLight {
    vec4 position;
    vec4 direction; // the way the light points
    vec4 colour;
    vec4 ambient;
    vec4 specular;
    float constant;
    float linear;
    float quadratic;
    float cutOff;      // cosine of the inner half-angle: full strength inside it
    float outerCutOff; // cosine of the outer half-angle: dark outside it
    float padding0;
    float padding1;
    float padding2;
};

struct DirectionalLight {
    vec4 direction; // the way the light travels (the moon shines along it)
    vec4 colour;
    vec4 ambient;
    vec4 specular;
};

layout(set = 0, binding = 3) uniform PointLightsBuffer {
    PointLight pointLights[MaxPointLights];
} pointLightBlock;

layout(set = 0, binding = 4) uniform SpotLightsBuffer {
    SpotLight spotLight;
} spotLightBlock;

layout(set = 0, binding = 5) uniform DirectionalLightsBuffer {
    DirectionalLight directionalLights[1];
} directionalLightBlock;

// Floor of the attenuation denominator: a zero-filled light record would otherwise give
// 1 / 0 = inf, and inf times its zero colour is NaN.
const float MinAttenuationDenominator = 1e-4;

float Attenuation(float constant, float linear, float quadratic, float range)
{
    float denominator = constant + linear * range + quadratic * range * range;
    return 1.0 / max(denominator, MinAttenuationDenominator);
}

// Smooth fall-off from the inner cone (1) to the outer cone (0); the floor on the width keeps
// a hard-edged cone (cutOff == outerCutOff) from dividing by zero.
float SpotCone(SpotLight light, vec3 towardsLight)
{
    float cosAngle = dot(-towardsLight, normalize(light.direction.xyz));
    float width = max(light.cutOff - light.outerCutOff, 1e-4);
    return smoothstep(0.0, 1.0, (cosAngle - light.outerCutOff) / width);
}

#endif
