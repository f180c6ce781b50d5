// One skeletal clip from the pack, bound to the model whose skeleton it moves.
#pragma once

#include "scene/components/Bone.h"
#include "scene/components/NodeData.h"

#include <cstddef>
#include <memory>
#include <unordered_map>

class MeshComponent;

inline constexpr int MaxBones = 100;

class Animation {
public:
    std::shared_ptr<MeshComponent> model;
    std::unordered_map<int, Bone> bones; // by bone id
    float duration = 0.0f;               // ticks
    int32_t ticksPerSecond = 0;
    NodeData rootNode;

    // Imports the clip; a file without animations, a tick rate outside 0..INT32_MAX or a failed
    // import throws like a model import.
    Animation(const char* assetName, std::shared_ptr<MeshComponent> model);
    // Imports a clip file already in memory; `name` stands for it in the messages.
    Animation(const char* name, const char* data, size_t size, std::shared_ptr<MeshComponent> model);
    // A clip built in code (tools and tests): the node tree and channels as given.
    Animation(std::shared_ptr<MeshComponent> model, float duration, int32_t ticksPerSecond, NodeData rootNode,
              std::unordered_map<int, Bone> bones);

    Bone* FindBone(int id);

private:
    void Import(const char* name, const char* data, size_t size);
};
