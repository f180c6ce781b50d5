// The scene's store of loaded assets: textures, meshes, animation clips and shader components by
// their pack names, the texture indices the shaders select textures with, and the order in which
// the renderer visits the shaders.
#pragma once

#include "renderer/shader/ShaderBinding.h"
#include "renderer/shader/ShaderComponent.h"

#include <vulkan/vulkan.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class IRenderer;
class Texture;
struct DecodedImage;
class MeshComponent;
class Animation;

class AssetRegistry {
public:
    IRenderer* renderer = nullptr;
    std::unordered_map<std::string, std::shared_ptr<ShaderComponent>> shaders;
    std::unordered_map<std::string, std::shared_ptr<Texture>> textures;
    std::unordered_map<std::string, std::shared_ptr<MeshComponent>> meshes;
    std::unordered_map<std::string, std::shared_ptr<Animation>> animations;
    uint16_t textureCount = 0;             // the next texture index
    std::vector<std::string> textureNames; // position i names the texture whose index is i
    std::vector<std::string> shaderNames;  // creation order: the renderer draws in this order

    explicit AssetRegistry(IRenderer* renderer);
    AssetRegistry(const AssetRegistry&) = delete;
    AssetRegistry& operator=(const AssetRegistry&) = delete;

    // "Cant find shaders"; with allowMissing an empty pointer instead.
    std::shared_ptr<ShaderComponent> GetShader(const std::string& name, bool allowMissing = false) const;
    std::shared_ptr<Texture> GetTexture(const std::string& name) const;     // "Cant find Texture"
    std::shared_ptr<MeshComponent> GetMesh(const std::string& name) const;  // "Cant find Mesh"
    std::shared_ptr<Animation> GetAnimation(const std::string& name) const; // "Cant find Animations"

    // A 2D texture from the pack under its asset name, with the next texture index.
    void LoadTexture(const std::string& name, VkFormat format);
    // The same from the asset's image decoded beforehand (ImageBatch). Where the renderer keeps
    // textures from scene to scene, the one made before from this very image is taken again.
    void LoadTexture(const std::string& name, VkFormat format, std::shared_ptr<const DecodedImage> image);
    // A cube map from six faces decoded beforehand, in layer order, with the next texture index;
    // kept from scene to scene like the 2D textures.
    void LoadCubeMap(const std::string& name, std::vector<std::shared_ptr<const DecodedImage>> faces);
    // Stores a texture made with textureIndex == textureCount under `name` and advances the count
    // (a name stored twice keeps only the newer texture reachable, but both indices are used).
    void RegisterTexture(const std::string& name, std::shared_ptr<Texture> texture);
    void LoadMesh(const std::string& name);
    void LoadAnimation(const std::string& name, std::shared_ptr<MeshComponent> mesh);
    // Builds the component from the pack's "<name>vert" and "<name>frag" and stores it.
    void CreateShader(const std::string& name, const ShaderBinding& textureBinding,
                      const VkVertexInputBindingDescription& vertexBinding,
                      const std::vector<VkVertexInputAttributeDescription>& attributes, uint32_t pushConstantSize,
                      uint32_t pushConstantStages, PipelineKind pipelineKind);

    // Empties shaders, textures, meshes and animations, in that order.
    void Clear();

private:
    // The kept texture for these images, format and the next index, or make()'s, kept in turn.
    template <class Make>
    std::shared_ptr<Texture> KeptOrMade(const std::string& name, VkFormat format,
                                        std::vector<std::shared_ptr<const DecodedImage>> sources, Make make);
};

// The registry of the current scene; null between scenes.
extern AssetRegistry* assetRegistry;
