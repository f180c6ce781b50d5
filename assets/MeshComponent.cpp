#include "assets/MeshComponent.h"

#include "app/GpuContext.h"
#include "app/GpuResources.h"
#include "app/IRenderer.h"
#include "app/StagingBuffer.h"
#include "assets/AssetPack.h"
#include "assets/AssimpConversions.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cstring>
#include <stdexcept>

namespace {

// Validation runs before the other steps: they index vertices by face without checking, so a face
// index past its mesh's vertices (the .x importer never makes one; other formats assimp reads
// from memory can) would have them read and write outside the mesh's arrays.
constexpr unsigned ImportFlags = aiProcess_ValidateDataStructure | aiProcess_CalcTangentSpace | aiProcess_Triangulate |
                                 aiProcess_GenSmoothNormals | aiProcess_FlipUVs;

// Upload through `staging` into a device-local buffer with the given usage.
void UploadDeviceLocal(StagingBuffer& staging, const void* data, VkDeviceSize size, VkBufferUsageFlags usage,
                       VkBuffer& buffer, VkDeviceMemory& memory)
{
    std::memcpy(staging.Reserve(size), data, static_cast<size_t>(size));
    CreateBuffer(size, VK_BUFFER_USAGE_TRANSFER_DST_BIT | usage, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT, buffer, memory);
    CopyBuffer(staging.Buffer(), buffer, size);
}

class MeshImport {
public:
    MeshImport(MeshComponent& mesh, const aiScene& scene) : mesh_(mesh), scene_(scene) {}

    // Depth first: a node's own meshes before its children's.
    void Walk(const aiNode& node)
    {
        for (unsigned i = 0; i < node.mNumMeshes; ++i)
            mesh_.meshes.push_back(Process(*scene_.mMeshes[node.mMeshes[i]]));
        for (unsigned i = 0; i < node.mNumChildren; ++i)
            Walk(*node.mChildren[i]);
    }

private:
    std::unique_ptr<SubMesh> Process(const aiMesh& source)
    {
        auto sub = std::make_unique<SubMesh>();
        sub->baseVertex = static_cast<int32_t>(mesh_.vertices.size());
        sub->firstIndex = static_cast<uint32_t>(mesh_.indices.size());

        std::vector<Vertex> vertices(source.mNumVertices);
        for (unsigned i = 0; i < source.mNumVertices; ++i) {
            Vertex& v = vertices[i];
            v.position = ToGlm(source.mVertices[i]);
            // The import generates normals; tangents exist only where there are UVs.
            if (source.mNormals)
                v.normal = ToGlm(source.mNormals[i]);
            if (source.mTangents)
                v.tangent = ToGlm(source.mTangents[i]);
            if (source.mTextureCoords[0])
                v.texCoords = glm::vec2(source.mTextureCoords[0][i].x, source.mTextureCoords[0][i].y);
        }

        for (unsigned f = 0; f < source.mNumFaces; ++f) {
            const aiFace& face = source.mFaces[f];
            for (unsigned k = 0; k < face.mNumIndices; ++k) {
                mesh_.indices.push_back(face.mIndices[k]);
                sub->indices.push_back(face.mIndices[k]);
            }
        }

        if (mesh_.isAnimated)
            ExtractBoneWeights(vertices, source);

        mesh_.vertices.insert(mesh_.vertices.end(), vertices.begin(), vertices.end());
        sub->vertices = std::move(vertices);
        // Count what was appended: a point or line face left by the import has fewer than three.
        sub->indexCount = static_cast<uint32_t>(sub->indices.size());
        return sub;
    }

    void ExtractBoneWeights(std::vector<Vertex>& vertices, const aiMesh& source)
    {
        for (unsigned b = 0; b < source.mNumBones; ++b) {
            const aiBone& bone = *source.mBones[b];
            const std::string name = bone.mName.C_Str();
            int32_t id = -1;
            for (const BoneInfo& info : mesh_.bones)
                if (info.name == name) {
                    id = info.id;
                    break;
                }
            if (id < 0) {
                id = mesh_.boneCounter++;
                mesh_.bones.push_back({name, id, ToGlm(bone.mOffsetMatrix)});
            }
            for (unsigned w = 0; w < bone.mNumWeights; ++w) {
                const aiVertexWeight& weight = bone.mWeights[w];
                if (weight.mVertexId >= vertices.size())
                    continue; // a weight for a vertex the mesh does not have
                Vertex& v = vertices[weight.mVertexId];
                // First free slot; a fifth influence is dropped.
                for (int slot = 0; slot < MaxBoneInfluence; ++slot)
                    if (v.boneIds[slot] < 0) {
                        v.boneIds[slot] = id;
                        v.weights[slot] = weight.mWeight;
                        break;
                    }
            }
        }
        for (const BoneInfo& info : mesh_.bones)
            mesh_.boneInfoMap[info.name] = info;
    }

    MeshComponent& mesh_;
    const aiScene& scene_;
};

} // namespace

MeshComponent::MeshComponent(IRenderer* renderer, const char* assetName)
    : renderer(renderer), ownsGpuObjects(renderer && renderer->backend == RendererBackend::Vulkan)
{
    // The destructor of a half-built mesh never runs: a failed import or upload frees here the
    // sub-meshes and buffers made so far.
    try {
        const std::vector<char> bytes = LoadAsset(assetName);
        Import(bytes.data(), bytes.size());
    } catch (...) {
        Release();
        throw;
    }
}

MeshComponent::MeshComponent(IRenderer* renderer, const char* data, size_t size)
    : renderer(renderer), ownsGpuObjects(renderer && renderer->backend == RendererBackend::Vulkan)
{
    try {
        Import(data, size);
    } catch (...) {
        Release();
        throw;
    }
}

void MeshComponent::Import(const char* data, size_t size)
{
    {
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFileFromMemory(data, size, ImportFlags, "");
        if (!scene || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !scene->mRootNode)
            throw std::runtime_error(std::string("ERROR LOADING A MODEL") + importer.GetErrorString());
        // Bone weights are read only for files that hold animations (or skeletons).
        isAnimated =
            (scene->mSkeletons && scene->mNumSkeletons > 0) || (scene->mAnimations && scene->mNumAnimations > 0);
        MeshImport(*this, *scene).Walk(*scene->mRootNode);
    }

    if (ownsGpuObjects && !vertices.empty() && !indices.empty()) {
        StagingBuffer ownStaging; // where the renderer keeps no shared one; freed on the way out
        StagingBuffer& staging = StagingFor(renderer, ownStaging);
        UploadDeviceLocal(staging, vertices.data(), vertices.size() * sizeof(Vertex), VK_BUFFER_USAGE_VERTEX_BUFFER_BIT,
                          vertexBuffer, vertexBufferMemory);
        UploadDeviceLocal(staging, indices.data(), indices.size() * sizeof(uint32_t), VK_BUFFER_USAGE_INDEX_BUFFER_BIT,
                          indexBuffer, indexBufferMemory);
    }
}

MeshComponent::~MeshComponent()
{
    Release();
}

void MeshComponent::Release()
{
    meshes.clear();
    // Not the renderer, which may be gone by now; without the device, the buffers went with it.
    if (ownsGpuObjects && gpu.device != VK_NULL_HANDLE) {
        DestroyBuffer(vertexBuffer, vertexBufferMemory);
        DestroyBuffer(indexBuffer, indexBufferMemory);
    }
}

void MeshComponent::Draw(VkCommandBuffer* commandBuffer)
{
    const VkDeviceSize offset = 0;
    vkCmdBindVertexBuffers(*commandBuffer, 0, 1, &vertexBuffer, &offset);
    vkCmdBindIndexBuffer(*commandBuffer, indexBuffer, 0, VK_INDEX_TYPE_UINT32);
    for (const auto& sub : meshes)
        vkCmdDrawIndexed(*commandBuffer, sub->indexCount, 1, sub->firstIndex, sub->baseVertex, 0);
}
