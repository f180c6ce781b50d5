// Authoring poses for clips: per-bone turns in degrees about the model axes as the bone sees them
// in the bind pose (x: a bone pointing up leans forward, one pointing down swings back; y: turns
// to the body's left; z: a bone pointing up leans to the right), plus a move of the hips. Poses
// mix linearly, and a timeline eases from key to key.
#pragma once

#include "tools/models/CharacterExport.h"

#include <string>
#include <utility>
#include <vector>

class PoseKit {
public:
    explicit PoseKit(const Skeleton& skeleton);

    PoseKit& Turn(const std::string& bone, float x, float y = 0.0f, float z = 0.0f);
    PoseKit& Move(const glm::vec3& hipsOffset);
    Pose Build() const;
    static PoseKit Mix(const PoseKit& a, const PoseKit& b, float t);

private:
    const Skeleton* skeleton_;
    std::vector<glm::vec3> degrees_;
    glm::vec3 hips_{0.0f};
};

// Keys sorted by tick; before the first key the first holds, after the last the last holds.
class PoseTimeline {
public:
    PoseTimeline& Key(float tick, const PoseKit& pose);
    Pose At(float tick) const;

private:
    std::vector<std::pair<float, PoseKit>> keys_;
};
