// One animated channel of a clip: position, rotation and scale keys of one bone, sampled into
// its local transform.
#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include <cstdint>
#include <string>
#include <vector>

struct KeyPosition {
    glm::vec3 position;
    float timeStamp;
};

struct KeyRotation {
    glm::quat orientation; // w, x, y, z
    float timeStamp;
};

struct KeyScale {
    glm::vec3 scale;
    float timeStamp;
};

class Bone {
public:
    std::vector<KeyPosition> positions;
    std::vector<KeyRotation> rotations;
    std::vector<KeyScale> scales;
    int32_t numPositions = 0;
    int32_t numRotations = 0;
    int32_t numScalings = 0;
    glm::mat4 localTransform{1.0f};
    glm::mat4 offset{1.0f};
    glm::mat4 overrideTransform; // element [0][0] = -10 marks "no override"
    std::string name;
    int32_t id = 0;

    static constexpr float NoOverride = -10.0f;

    Bone();
    Bone(std::string name, int32_t id, const glm::mat4& offset, std::vector<KeyPosition> positions,
         std::vector<KeyRotation> rotations, std::vector<KeyScale> scales);

    bool HasOverride() const { return overrideTransform[0][0] != NoOverride; }
    void ClearOverride();

    // Samples the keys at `time` (ticks): localTransform = T x R x S.
    void Update(float time);
};
