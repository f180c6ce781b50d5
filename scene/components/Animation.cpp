#include "scene/components/Animation.h"

#include "assets/AssetPack.h"
#include "assets/AssimpConversions.h"
#include "assets/MeshComponent.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <limits>
#include <stdexcept>

namespace {

int32_t FindModelBone(const MeshComponent& model, const std::string& name)
{
    for (const BoneInfo& info : model.bones)
        if (info.name == name)
            return info.id;
    return -1;
}

void ReadNodeTree(NodeData& dest, const aiNode& src, const MeshComponent& model)
{
    dest.transformation = ToGlm(src.mTransformation);
    dest.boneId = FindModelBone(model, src.mName.C_Str());
    dest.childrenCount = static_cast<int32_t>(src.mNumChildren);
    dest.children.resize(src.mNumChildren);
    for (unsigned i = 0; i < src.mNumChildren; ++i)
        ReadNodeTree(dest.children[i], *src.mChildren[i], model);
}

Bone ReadChannel(const aiNodeAnim& channel, MeshComponent& model)
{
    const std::string name = channel.mNodeName.C_Str();
    int32_t id = FindModelBone(model, name);
    if (id < 0) {
        // A channel for a node the skin does not use: the model learns it with an identity offset.
        id = model.boneCounter++;
        model.bones.push_back({name, id, glm::mat4(1.0f)});
        model.boneInfoMap[name] = model.bones.back();
    }
    std::vector<KeyPosition> positions;
    positions.reserve(channel.mNumPositionKeys);
    for (unsigned i = 0; i < channel.mNumPositionKeys; ++i)
        positions.push_back(
            {ToGlm(channel.mPositionKeys[i].mValue), static_cast<float>(channel.mPositionKeys[i].mTime)});
    std::vector<KeyRotation> rotations;
    rotations.reserve(channel.mNumRotationKeys);
    for (unsigned i = 0; i < channel.mNumRotationKeys; ++i)
        rotations.push_back(
            {ToGlm(channel.mRotationKeys[i].mValue), static_cast<float>(channel.mRotationKeys[i].mTime)});
    std::vector<KeyScale> scales;
    scales.reserve(channel.mNumScalingKeys);
    for (unsigned i = 0; i < channel.mNumScalingKeys; ++i)
        scales.push_back({ToGlm(channel.mScalingKeys[i].mValue), static_cast<float>(channel.mScalingKeys[i].mTime)});
    return Bone(name, id, model.boneInfoMap[name].offset, std::move(positions), std::move(rotations),
                std::move(scales));
}

} // namespace

Animation::Animation(const char* assetName, std::shared_ptr<MeshComponent> model) : model(std::move(model))
{
    const std::vector<char> bytes = LoadAsset(assetName);
    Import(assetName, bytes.data(), bytes.size());
}

Animation::Animation(const char* name, const char* data, size_t size, std::shared_ptr<MeshComponent> model)
    : model(std::move(model))
{
    Import(name, data, size);
}

void Animation::Import(const char* name, const char* data, size_t size)
{
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(data, size, aiProcess_Triangulate, "");
    if (!scene || !scene->mRootNode)
        throw std::runtime_error(std::string("ERROR LOADING AN ANIMATION") + importer.GetErrorString());
    if (!scene->mAnimations || scene->mNumAnimations == 0)
        throw std::runtime_error(std::string("ERROR LOADING AN ANIMATION: no animation in ") + name);

    const aiAnimation& clip = *scene->mAnimations[0];
    // The rate is kept as an int, and converting a double outside its range is undefined.
    if (!(clip.mTicksPerSecond >= 0.0 && clip.mTicksPerSecond <= std::numeric_limits<int32_t>::max()))
        throw std::runtime_error(std::string("ERROR LOADING AN ANIMATION: tick rate out of range in ") + name);
    duration = static_cast<float>(clip.mDuration);
    ticksPerSecond = static_cast<int32_t>(clip.mTicksPerSecond);

    // The node tree is read before the channels, so it links only to bones the model already knew.
    ReadNodeTree(rootNode, *scene->mRootNode, *this->model);
    bones.reserve(clip.mNumChannels);
    for (unsigned i = 0; i < clip.mNumChannels; ++i) {
        Bone bone = ReadChannel(*clip.mChannels[i], *this->model);
        const int id = bone.id;
        bones.insert_or_assign(id, std::move(bone));
    }
}

Animation::Animation(std::shared_ptr<MeshComponent> model, float duration, int32_t ticksPerSecond, NodeData rootNode,
                     std::unordered_map<int, Bone> bones)
    : model(std::move(model)), bones(std::move(bones)), duration(duration), ticksPerSecond(ticksPerSecond),
      rootNode(std::move(rootNode))
{}

Bone* Animation::FindBone(int id)
{
    auto it = bones.find(id);
    return it == bones.end() ? nullptr : &it->second;
}
