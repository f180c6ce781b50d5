#include "scene/components/Bone.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace {

// Segment i and blend factor for `time`: the first i with keys[i + 1] > time. Past the last key
// the last value is held; before the first key the first value is held.
template <class Key> bool FindSegment(const std::vector<Key>& keys, float time, size_t& index, float& factor)
{
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        if (keys[i + 1].timeStamp > time) {
            const float span = keys[i + 1].timeStamp - keys[i].timeStamp;
            factor = span > 0.0f ? (time - keys[i].timeStamp) / span : 0.0f;
            factor = factor < 0.0f ? 0.0f : (factor > 1.0f ? 1.0f : factor);
            index = i;
            return true;
        }
    }
    return false;
}

glm::quat Slerp(glm::quat q0, glm::quat q1, float factor)
{
    float c = glm::dot(q0, q1);
    // Take the short way round: q and -q are the same rotation.
    if (c < 0.0f) {
        q1 = -q1;
        c = -c;
    }
    glm::quat result;
    if (c > 0.9999f) {
        result = (1.0f - factor) * q0 + factor * q1; // nearly parallel: sin(a) ~ 0
    } else {
        const float a = std::acos(c);
        result = (std::sin((1.0f - factor) * a) * q0 + std::sin(factor * a) * q1) / std::sin(a);
    }
    return glm::normalize(result);
}

} // namespace

Bone::Bone() { ClearOverride(); }

Bone::Bone(std::string name, int32_t id, const glm::mat4& offset, std::vector<KeyPosition> positions,
           std::vector<KeyRotation> rotations, std::vector<KeyScale> scales)
    : positions(std::move(positions)), rotations(std::move(rotations)), scales(std::move(scales)), offset(offset),
      name(std::move(name)), id(id)
{
    numPositions = static_cast<int32_t>(this->positions.size());
    numRotations = static_cast<int32_t>(this->rotations.size());
    numScalings = static_cast<int32_t>(this->scales.size());
    ClearOverride();
}

void Bone::ClearOverride()
{
    overrideTransform = glm::mat4(1.0f);
    overrideTransform[0][0] = NoOverride;
}

void Bone::Update(float time)
{
    glm::vec3 position(0.0f);
    if (!positions.empty()) {
        size_t i = 0;
        float f = 0.0f;
        position = FindSegment(positions, time, i, f)
                       ? positions[i].position + f * (positions[i + 1].position - positions[i].position)
                       : positions.back().position;
    }
    glm::quat rotation(1.0f, 0.0f, 0.0f, 0.0f);
    if (!rotations.empty()) {
        size_t i = 0;
        float f = 0.0f;
        rotation = FindSegment(rotations, time, i, f) ? Slerp(rotations[i].orientation, rotations[i + 1].orientation, f)
                                                      : glm::normalize(rotations.back().orientation);
    }
    glm::vec3 scale(1.0f);
    if (!scales.empty()) {
        size_t i = 0;
        float f = 0.0f;
        scale = FindSegment(scales, time, i, f) ? scales[i].scale + f * (scales[i + 1].scale - scales[i].scale)
                                                : scales.back().scale;
    }
    localTransform = glm::translate(glm::mat4(1.0f), position) * glm::mat4_cast(rotation) *
                     glm::scale(glm::mat4(1.0f), scale);
}
