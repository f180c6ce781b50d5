#include "scene/components/AnimationComponent.h"

#include <cmath>

namespace {

// Samples each animated bone (unless it is overridden) and writes final = global x offset.
void ComputeBoneTransforms(Animation& clip, const NodeData& node, const glm::mat4& parent, float time,
                           glm::mat4* finals)
{
    glm::mat4 local = node.transformation;
    Bone* bone = node.boneId >= 0 ? clip.FindBone(node.boneId) : nullptr;
    if (bone) {
        if (bone->HasOverride()) {
            local = bone->overrideTransform;
        } else {
            bone->Update(time);
            local = bone->localTransform;
        }
    }
    const glm::mat4 global = parent * local;
    // Ids past the matrix array have nowhere to go.
    if (bone && node.boneId < MaxBones)
        finals[node.boneId] = global * bone->offset;
    for (const NodeData& child : node.children)
        ComputeBoneTransforms(clip, child, global, time, finals);
}

} // namespace

AnimationComponent::AnimationComponent(std::shared_ptr<Animation> clip, float speed)
    : currentAnimation(std::move(clip)), speed(speed)
{
    for (glm::mat4& m : finalBoneMatrices)
        m = glm::mat4(1.0f);
}

void AnimationComponent::PlayAnimation(std::shared_ptr<Animation> clip, bool loop, float speed)
{
    currentAnimation = std::move(clip);
    currentTime = 0.0f;
    this->loop = loop;
    finished = false;
    this->speed = speed;
}

void AnimationComponent::Update(bool skipBones, float dt)
{
    if (!currentAnimation)
        return;
    Animation& clip = *currentAnimation;
    currentTime += static_cast<float>(clip.ticksPerSecond) * dt * speed;
    if (loop) {
        // A clip without length has nowhere to wrap to.
        if (clip.duration > 0.0f)
            currentTime = static_cast<float>(std::fmod(static_cast<double>(currentTime), static_cast<double>(clip.duration)));
    } else if (currentTime >= clip.duration) {
        finished = true;
        currentTime = clip.duration - 1.0f;
        return;
    }
    if (skipBones)
        return;
    ComputeBoneTransforms(clip, clip.rootNode, glm::mat4(1.0f), currentTime, finalBoneMatrices);
}
