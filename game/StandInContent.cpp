#include "game/StandInContent.h"

#include "app/IRenderer.h"
#include "assets/AssetPack.h"
#include "assets/AssetRegistry.h"
#include "assets/VertexLayout.h"
#include "game/SkyBox.h"

#include <stdexcept>
#include <utility>
#include <vector>

bool AssetInPack(const std::string& name)
{
    try {
        FindAssetRange(name.c_str());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

namespace {

bool AllInPack(const std::vector<std::string>& names)
{
    for (const std::string& name : names)
        if (!AssetInPack(name))
            return false;
    return true;
}

const std::pair<const char*, VkFormat> Textures[] = {
    {"GroundTexture", VK_FORMAT_R8G8B8A8_SRGB},       {"GroundNormalTexture", VK_FORMAT_R8G8B8A8_UNORM},
    {"GrassDiffuseTexture", VK_FORMAT_R8G8B8A8_SRGB}, {"GrassNormalTexture", VK_FORMAT_R8G8B8A8_UNORM},
    {"GrassAlphaTexture", VK_FORMAT_R8G8B8A8_UNORM},  {"MoonTexture", VK_FORMAT_R8G8B8A8_SRGB},
    {"DrevikDiff", VK_FORMAT_R8G8B8A8_SRGB},          {"DrevikNormal", VK_FORMAT_R8G8B8A8_UNORM},
    {"ZombieDiff", VK_FORMAT_R8G8B8A8_SRGB},          {"ZombieSpec", VK_FORMAT_R8G8B8A8_UNORM},
    {"ZombieNormal", VK_FORMAT_R8G8B8A8_UNORM},       {"BubblgunDiffuse", VK_FORMAT_R8G8B8A8_SRGB},
    {"BubblgunNormal", VK_FORMAT_R8G8B8A8_UNORM},
};

const char* const Meshes[] = {"Cube",   "Sphere",    "Cylinder", "HalfSphere", "Triangle",
                              "Drevik", "BubbleGun", "Zombie",   "Plane",      "Grass"};

const std::pair<const char*, const char*> Clips[] = {
    {"DrevikDeath", "Drevik"},   {"DrevikWalk", "Drevik"},  {"DrevikIdle", "Drevik"},   {"ZombieIdle", "Zombie"},
    {"ZombieWalking", "Zombie"}, {"ZombieDeath", "Zombie"}, {"ZombieAttack", "Zombie"}, {"ZombieRun", "Zombie"},
};

} // namespace

void LoadStandInAssets(AssetRegistry& registry)
{
    for (const auto& [name, format] : Textures)
        if (AssetInPack(name))
            registry.LoadTexture(name, format);
    for (const char* name : Meshes)
        if (AssetInPack(name))
            registry.LoadMesh(name);
    for (const auto& [clip, mesh] : Clips)
        if (registry.meshes.count(mesh) && AssetInPack(clip))
            registry.LoadAnimation(clip, registry.GetMesh(mesh));
    if (AllInPack(SkyBoxFaceNames()))
        CreateSkyBox(registry);
}

void CreateStandInShaders(AssetRegistry& registry)
{
    if (!registry.renderer || registry.renderer->backend != RendererBackend::Vulkan)
        return;

    ShaderBinding sky;
    sky.name = "SkyBox";
    sky.binding = 1;
    sky.descriptorType = VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER;
    sky.descriptorCount = 1;
    sky.stageFlags = VK_SHADER_STAGE_FRAGMENT_BIT;

    // Every texture registered so far, as one array indexed by textureIndex.
    ShaderBinding array = sky;
    array.name = "d";
    array.descriptorCount = registry.textureCount;
    array.textures = &registry.textureNames;

    struct ShaderPlan {
        const char* name;
        const ShaderBinding& binding;
        uint32_t pushSize;
        VkShaderStageFlags pushStages;
        PipelineKind kind;
    };
    // Default kind: 48 bytes of colour and texture indices; wireframe: 128 bytes with the model.
    const ShaderPlan plans[] = {
        {"SkyBoxShader", sky, 0, 0, PipelineKind::SkyBox},
        {"BaseShader", array, 48, VK_SHADER_STAGE_FRAGMENT_BIT, PipelineKind::Default},
        {"PBRShader", array, 48, VK_SHADER_STAGE_FRAGMENT_BIT, PipelineKind::Default},
        {"AnimPBRShader", array, 48, VK_SHADER_STAGE_FRAGMENT_BIT, PipelineKind::Default},
        {"CollisionShader", array, 128, VK_SHADER_STAGE_VERTEX_BIT | VK_SHADER_STAGE_FRAGMENT_BIT,
         PipelineKind::CollisionWireframe},
        {"BillBoardPBRShader", array, 48, VK_SHADER_STAGE_FRAGMENT_BIT, PipelineKind::Default},
    };
    const bool skyDrawable = registry.textures.count("SkyBox") && registry.meshes.count("Cube");
    for (const ShaderPlan& plan : plans) {
        const std::string name = plan.name;
        if (name == "SkyBoxShader" && !skyDrawable)
            continue;
        if (!AssetInPack(name + "vert") || !AssetInPack(name + "frag"))
            continue;
        registry.CreateShader(name, plan.binding, VertexBindingDescription(), VertexAttributeDescriptions(),
                              plan.pushSize, plan.pushStages, plan.kind);
    }
    if (auto billboard = registry.GetShader("BillBoardPBRShader", true))
        billboard->usesSortedList = true;
}
