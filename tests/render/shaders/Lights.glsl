struct PointLight {
    vec4 position;
    vec4 colour;
    vec4 ambient;
    vec4 specular;
    float constant;
    float linear;
    float quadratic;
    float pad;
};

struct SpotLight {
    vec4 position;
    vec4 direction;
    vec4 colour;
    vec4 ambient;
    vec4 specular;
    float constant;
    float linear;
    float quadratic;
    float cutOff;
    float outerCutOff;
    float pad0;
    float pad1;
    float pad2;
};

struct DirectionalLight {
    vec4 direction;
    vec4 colour;
    vec4 ambient;
    vec4 specular;
};

layout(set = 0, binding = 3) uniform PointLightsBuffer {
    PointLight pointLights[10];
} points;

layout(set = 0, binding = 4) uniform SpotLightsBuffer {
    SpotLight spotLight;
} spot;

layout(set = 0, binding = 5) uniform DirectionalLightsBuffer {
    DirectionalLight directionalLights[1];
} directional;

vec3 Lit(vec3 albedo, vec3 position, vec3 normal)
{
    vec3 n = normalize(normal);
    DirectionalLight sun = directional.directionalLights[0];
    vec3 light = sun.ambient.rgb + sun.colour.rgb * max(dot(n, -normalize(sun.direction.xyz)), 0.0);
    for (int i = 0; i < 10; ++i) {
        PointLight p = points.pointLights[i];
        vec3 toLight = p.position.xyz - position;
        float d = length(toLight);
        float attenuation = 1.0 / max(p.constant + p.linear * d + p.quadratic * d * d, 1e-3);
        light += p.colour.rgb * max(dot(n, toLight / max(d, 1e-4)), 0.0) * attenuation;
    }
    vec3 toSpot = spot.spotLight.position.xyz - position;
    float theta = dot(normalize(toSpot), -normalize(spot.spotLight.direction.xyz));
    float cone = clamp((theta - spot.spotLight.outerCutOff) /
                           max(spot.spotLight.cutOff - spot.spotLight.outerCutOff, 1e-4), 0.0, 1.0);
    light += spot.spotLight.colour.rgb * cone * max(dot(n, normalize(toSpot)), 0.0) * 0.2;
    return albedo * light;
}

vec4 Display(vec3 linear, float alpha)
{
    vec3 mapped = linear / (linear + vec3(1.0));
    return vec4(pow(mapped, vec3(1.0 / 2.2)), alpha);
}
