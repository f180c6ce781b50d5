#include "renderer/AssetRegistry.h"

#include "app/IRenderer.h"
#include "assets/MeshComponent.h"
#include "assets/Texture.h"
#include "assets/TextureCache.h"
#include "scene/components/Animation.h"

#include <algorithm>
#include <stdexcept>

AssetRegistry* assetRegistry = nullptr;

namespace {

template <class Map> typename Map::mapped_type Find(const Map& map, const std::string& name, const char* message)
{
    auto found = map.find(name);
    if (found == map.end())
        throw std::runtime_error(message);
    return found->second;
}

} // namespace

AssetRegistry::AssetRegistry(IRenderer* renderer) : renderer(renderer) {}

std::shared_ptr<ShaderComponent> AssetRegistry::GetShader(const std::string& name, bool allowMissing) const
{
    auto found = shaders.find(name);
    if (found != shaders.end())
        return found->second;
    if (allowMissing)
        return nullptr;
    throw std::runtime_error("Cant find shaders");
}

std::shared_ptr<Texture> AssetRegistry::GetTexture(const std::string& name) const
{
    return Find(textures, name, "Cant find Texture");
}

std::shared_ptr<MeshComponent> AssetRegistry::GetMesh(const std::string& name) const
{
    return Find(meshes, name, "Cant find Mesh");
}

std::shared_ptr<Animation> AssetRegistry::GetAnimation(const std::string& name) const
{
    return Find(animations, name, "Cant find Animations");
}

void AssetRegistry::LoadTexture(const std::string& name, VkFormat format)
{
    RegisterTexture(name, std::make_shared<Texture>(renderer, name, textureCount, format));
}

template <class Make>
std::shared_ptr<Texture> AssetRegistry::KeptOrMade(const std::string& name, VkFormat format,
                                                   std::vector<std::shared_ptr<const DecodedImage>> sources, Make make)
{
    TextureCache* kept = renderer ? renderer->KeptTextures() : nullptr;
    if (!kept)
        return make();
    if (std::shared_ptr<Texture> texture = kept->Find(name, format, textureCount, sources))
        return texture;
    std::shared_ptr<Texture> texture = make();
    kept->Store(name, std::move(sources), texture);
    return texture;
}

void AssetRegistry::LoadTexture(const std::string& name, VkFormat format, std::shared_ptr<const DecodedImage> image)
{
    const DecodedImage& pixels = *image;
    RegisterTexture(name, KeptOrMade(name, format, {std::move(image)}, [&] {
                        return std::make_shared<Texture>(renderer, pixels, textureCount, format);
                    }));
}

void AssetRegistry::LoadCubeMap(const std::string& name, std::vector<std::shared_ptr<const DecodedImage>> faces)
{
    const auto make = [&] { return std::make_shared<Texture>(renderer, faces, textureCount); };
    // A cube map is always made in the one format its constructor gives it.
    RegisterTexture(name, KeptOrMade(name, VK_FORMAT_R8G8B8A8_SRGB, faces, make));
}

void AssetRegistry::RegisterTexture(const std::string& name, std::shared_ptr<Texture> texture)
{
    textures[name] = std::move(texture);
    textureNames.push_back(name);
    ++textureCount;
}

void AssetRegistry::LoadMesh(const std::string& name)
{
    meshes[name] = std::make_shared<MeshComponent>(renderer, name.c_str());
}

void AssetRegistry::LoadAnimation(const std::string& name, std::shared_ptr<MeshComponent> mesh)
{
    animations[name] = std::make_shared<Animation>(name.c_str(), std::move(mesh));
}

void AssetRegistry::CreateShader(const std::string& name, const ShaderBinding& textureBinding,
                                 const VkVertexInputBindingDescription& vertexBinding,
                                 const std::vector<VkVertexInputAttributeDescription>& attributes,
                                 uint32_t pushConstantSize, uint32_t pushConstantStages, PipelineKind pipelineKind)
{
    shaders[name] =
        std::make_shared<ShaderComponent>(renderer, name + "vert", name + "frag", textureBinding, vertexBinding,
                                          attributes, pushConstantSize, pushConstantStages, pipelineKind);
    // A replaced shader keeps its place: listed twice it would be packed and drawn twice a frame.
    if (std::find(shaderNames.begin(), shaderNames.end(), name) == shaderNames.end())
        shaderNames.push_back(name);
}

void AssetRegistry::Clear()
{
    shaders.clear();
    textures.clear();
    meshes.clear();
    animations.clear();
}
