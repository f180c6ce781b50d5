// Bone look-ups the game actors share: where a skeleton bone is in the world this frame.
#pragma once

#include <glm/glm.hpp>

class MeshComponent;

// Inverse of the offset matrix of the model's bone `id`; throws when the model lacks it.
glm::mat4 InverseBoneOffset(const MeshComponent& mesh, int id);

// World position of a bone: translation of model x final skinning matrix x inverse offset.
glm::vec3 BoneWorldPosition(const glm::mat4& model, const glm::mat4& finalBone, const glm::mat4& inverseOffset);
