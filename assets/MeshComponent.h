// A model from the pack: all meshes flattened into one vertex and one index list, the skeleton's
// bones with their offsets, up to four bone influences per vertex, and (Vulkan backend only)
// device-local vertex and index buffers.
#pragma once

#include "assets/BoneInfo.h"
#include "assets/Component.h"
#include "assets/SubMesh.h"
#include "assets/Vertex.h"

#include <vulkan/vulkan.h>

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class IRenderer;
struct aiMesh;
struct aiNode;
struct aiScene;

class MeshComponent : public Component {
public:
    std::vector<std::unique_ptr<SubMesh>> meshes;
    std::vector<Vertex> vertices;
    std::vector<uint32_t> indices;
    std::vector<BoneInfo> bones;
    std::unordered_map<std::string, BoneInfo> boneInfoMap;
    int32_t boneCounter = 0;
    bool isAnimated = false;
    IRenderer* renderer = nullptr;
    VkBuffer vertexBuffer = VK_NULL_HANDLE;
    VkDeviceMemory vertexBufferMemory = VK_NULL_HANDLE;
    VkBuffer indexBuffer = VK_NULL_HANDLE;
    VkDeviceMemory indexBufferMemory = VK_NULL_HANDLE;

    // Imports the asset; throws "ERROR LOADING A MODEL" + the importer's message on failure.
    MeshComponent(IRenderer* renderer, const char* assetName);
    // Imports a model file already in memory, with the same checks and messages; a null renderer
    // (or another backend than Vulkan) makes no GPU buffers.
    MeshComponent(IRenderer* renderer, const char* data, size_t size);
    ~MeshComponent() override;
    MeshComponent(const MeshComponent&) = delete;
    MeshComponent& operator=(const MeshComponent&) = delete;

    // Binds the shared buffers and records one indexed draw per mesh.
    void Draw(VkCommandBuffer* commandBuffer);

private:
    void Import(const char* data, size_t size);
    // Frees the sub-meshes and GPU buffers made so far; safe to run twice.
    void Release();

    // Made over a Vulkan backend: the buffers are this mesh's to free.
    bool ownsGpuObjects = false;
};
