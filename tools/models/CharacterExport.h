// Builds the .x scenes of a character: the skinned model (with the one-tick bind clip that makes
// assimp read its weights) and clips made of poses sampled at every tick.
#pragma once

#include "tools/models/CharacterDesign.h"
#include "tools/models/ModelMesh.h"
#include "tools/models/Skinning.h"
#include "tools/models/XScene.h"

#include <glm/gtc/quaternion.hpp>

#include <functional>

// Local rotations relative to the bind pose (whose rotations are all identity), per bone id, and
// where the hips move from their bind position.
struct Pose {
    std::vector<glm::quat> rotation;
    glm::vec3 hipsOffset{0.0f};
};

class CharacterExport {
public:
    using PoseAt = std::function<Pose(float tick)>;

    static XScene Model(const CharacterDesign& design, const ModelMesh& mesh, const std::vector<VertexSkin>& skin);
    // `durationTicks` at 30 ticks per second; a pose is sampled at every whole tick.
    static XScene Clip(const CharacterDesign& design, const std::string& name, int durationTicks, const PoseAt& pose);
    static Pose BindPose(const Skeleton& skeleton);
    // World transforms of every bone for a pose (model space).
    static std::vector<glm::mat4> Globals(const Skeleton& skeleton, const Pose& pose);
};
